// GameObject: object draw, the scene lists and passes (see GameObject.h).
#include "GameObject.h"

#include <algorithm>  // Required for: std::find

#include <src/LEBackdrop.h>
#include <src/LEGraphicsOGL.h>

#include "AnimationSheet.h"
#include "Camera2D.h"
#include "ObjectRef.h"
#include "TextLabel.h"

std::list<GameObject*> objectList;
std::list<GameObject*> destroyQueue;
std::list<GameObject*> overlayList;

static std::list<SceneIndexBase*>& SceneIndices()
{
    static std::list<SceneIndexBase*> indices;  // built on first use: indices are globals too
    return indices;
}

SceneIndexBase::SceneIndexBase() { SceneIndices().push_back(this); }
SceneIndexBase::~SceneIndexBase() { SceneIndices().remove(this); }

// The renderer's per-draw state for one object: picture, tint and transform.
static void SetDrawState(const GameObject& object, const Matrix3* parent)
{
    LEGraphicsSetTexture(object.texture);
    LEGraphicsSetTintEnabled(object.useModColor);
    LEGraphicsSetTint(object.modColor);
    Matrix3 m = TransformObjectMatrix(object.transform);
    if (parent) Matrix3MultiplyInto(m, *parent, m);
    LEGraphicsSetTransform(m);
}

void GameObject::Draw(const Matrix3* parent)
{
    if (!mesh) return;
    SetDrawState(*this, parent);
    LEMeshDraw(mesh);
}

void Backdrop::Draw(const Matrix3* parent)
{
    if (!mesh) return;
    SetDrawState(*this, parent);
    LEBackdropDraw(mesh);
}

// Advances the animation, draws the current cell, then leaves the renderer's
// texture matrix as it found it for the objects drawn after.
void Sprite::Draw(const Matrix3* parent)
{
    AdvanceAnimation(this);
    if (sheet) LEGraphicsSetTextureTransform(textureMatrix);
    GameObject::Draw(parent);
    LEGraphicsSetTextureTransform(Matrix3Identity());
}

GameObject* AddObject(std::list<GameObject*>& list, GameObject* object, uint32_t id, const char* name,
                      float x, float y, float scaleX, float scaleY, float rotation, LEMesh* mesh,
                      LETexture* texture)
{
    if (!object) return nullptr;
    object->active = object->alive = object->visible = true;
    list.remove(object);
    list.push_back(object);
    object->name = name ? name : "";
    object->id = id;
    object->transform = TransformMakeValues(x, y, scaleX, scaleY, rotation);
    object->mesh = mesh;
    object->texture = texture;
    return object;
}

void LoadAllObjects()
{
    // Iterators of std::list stay valid while Load appends, so new objects are reached too.
    for (GameObject* object : objectList) object->Load();
    SortObjectsById();
}

void SortObjectsById()
{
    objectList.sort([](const GameObject* a, const GameObject* b) { return a->id < b->id; });
}

static void ForgetEverywhere(const GameObject* object)
{
    for (SceneIndexBase* index : SceneIndices()) index->Forget(object);
    ReleaseObjectRefs(object);
}

void LeaveScene(GameObject* object)
{
    if (!object || !object->alive) return;
    object->alive = false;
    ForgetEverywhere(object);
}

void DestroyObject(GameObject* object)
{
    if (!object || !object->alive) return;
    LeaveScene(object);
    object->Unload();
    destroyQueue.push_back(object);
}

void FlushDestroyQueue()
{
    while (!destroyQueue.empty()) {
        GameObject* object = destroyQueue.back();
        destroyQueue.pop_back();
        if (!object) continue;
        objectList.remove(object);
        ForgetEverywhere(object);  // again: a reference may have been taken since
        delete object;
    }
}

void FreeAllObjects()
{
    FlushDestroyQueue();
    // Everything goes now: an Unload that destroys an object it owns (a turret's
    // projectile) must not queue what this loop deletes anyway.
    for (GameObject* object : objectList) object->alive = false;
    // From the back: objects a constructor added stand before their owner and must
    // outlive it.
    while (!objectList.empty()) {
        GameObject* object = objectList.back();
        object->Unload();
        ReleaseObjectRefs(object);
        delete object;
        objectList.pop_back();
    }
    for (SceneIndexBase* index : SceneIndices()) index->Clear();
}

GameObject* FindObject(const std::string& name)
{
    const auto it = std::find_if(objectList.begin(), objectList.end(),
                                 [&name](const GameObject* o) { return o->name == name; });
    return it == objectList.end() ? nullptr : *it;
}

LEMesh* CreateUnitQuadMesh(uint32_t color)
{
    LEMeshBegin();
    LEMeshAddTriangle(-0.5f, -0.5f, color, 0, 0, -0.5f, 0.5f, color, 1, 0, 0.5f, -0.5f, color, 0, 1);
    LEMeshAddTriangle(0.5f, 0.5f, color, 1, 1, -0.5f, 0.5f, color, 1, 0, 0.5f, -0.5f, color, 0, 1);
    return LEMeshEnd();
}

void UpdateScene()
{
    FlushDestroyQueue();
    for (GameObject* object : objectList)
        if (object->alive && object->active) object->Update();
}

void DrawScene(Camera2D* camera)
{
    UpdateCameraViewport(camera);
    LEGraphicsSetViewport(camera->viewport[0], camera->viewport[1], camera->viewport[2], camera->viewport[3]);
    const Matrix3 view = CameraViewMatrix(camera);
    for (GameObject* object : objectList)
        if (object->alive && object->visible) object->Draw(&view);
    for (GameObject* overlay : overlayList)
        if (overlay->alive && overlay->visible) overlay->Draw(&view);
    for (TextLabel* label : textList)
        if (label->visible) DrawTextLabel(label, &view);
}
