// GameObject: the root of every scene class, the scene lists and the two
// per-frame passes. Owns objectList (owning), destroyQueue and textList
// (see TextLabel.h). States create objects with AddObject in Load or Init, run
// UpdateScene and DrawScene every frame, and call FreeAllObjects in Free.
#pragma once

#include <cstdint>
#include <list>
#include <string>

#include <LEMath.h>
#include <src/LEMesh.h>
#include <src/LETexture.h>

struct Camera2D;
struct AnimationSheet;

// The unit quad shows a picture upright when its object is turned a quarter turn.
constexpr float QUARTER_TURN = 1.5707964f;

struct GameObject {
    uint32_t id = 0;              // sort key and draw order: lower ids are drawn first
    std::string name;
    bool active = false;          // Update runs while alive and active
    bool alive = false;           // false once destroyed
    bool visible = false;         // Draw runs while alive and visible
    Transform transform;          // centre, drawn size (unit quad), rotation
    LEMesh* mesh = nullptr;       // not owned; null draws nothing
    LETexture* texture = nullptr; // not owned; null draws vertex colours
    bool useModColor = false;
    uint32_t modColor = 0xFFFFFFFF;

    virtual ~GameObject() = default;
    // Acquires the object's resources and sets its starting state.
    virtual void Load() {}
    // Releases what Load acquired; always called before the object is deleted.
    virtual void Unload() {}
    virtual void Update() {}
    // Draws with `parent` (the camera's view matrix, or null) in front of the
    // object's own transform.
    virtual void Draw(const Matrix3* parent);
};

// A GameObject that plays a sprite-sheet animation (the hero's base).
struct Sprite : GameObject {
    AnimationSheet* sheet = nullptr;
    uint32_t frame = 0;
    float frameElapsed = 0.0f;
    float playSpeed = 1.0f;
    bool loop = true;
    bool playing = false;
    bool finished = false;
    Matrix3 textureMatrix;  // selects the current frame's cell of the sheet

    void Draw(const Matrix3* parent) override;
};

// A picture behind the whole field (a level's background), drawn before anything
// else: its finished frame is kept and copied while nothing about it changes,
// instead of filtering the picture again every frame.
struct Backdrop : GameObject {
    void Draw(const Matrix3* parent) override;
};

extern std::list<GameObject*> objectList;
extern std::list<GameObject*> destroyQueue;
// Objects drawn over every object of the scene and under the labels, in every
// state (the credits pages). Not owned: whoever adds an object removes it
// before deleting it.
extern std::list<GameObject*> overlayList;

// Sets the flags, moves the object to the end of `list` and places it. Null is ignored.
GameObject* AddObject(std::list<GameObject*>& list, GameObject* object, uint32_t id, const char* name,
                      float x, float y, float scaleX, float scaleY, float rotation, LEMesh* mesh,
                      LETexture* texture);
// Loads every object (including ones added while loading), then sorts by id, stably.
void LoadAllObjects();
// Puts objectList in draw order: ascending id, stably. Objects added since the
// last sort are otherwise drawn after all the others.
void SortObjectsById();
// Takes a live object out of play without deleting it: it is no longer updated
// or drawn, every SceneIndex forgets it and every ObjectRef to it lets go. It
// stays in objectList until FreeAllObjects (a killed enemy, for one).
void LeaveScene(GameObject* object);
// Takes a live object out of play, unloads it and queues it for deletion at the
// next flush.
void DestroyObject(GameObject* object);
void FlushDestroyQueue();
// Flushes, then unloads and deletes every object from the back of the list.
void FreeAllObjects();
// The first object with this name, or null.
GameObject* FindObject(const std::string& name);

// The side-1 quad centred on the origin that nearly every object draws. Its
// texture coordinates run u along y and v along x.
LEMesh* CreateUnitQuadMesh(uint32_t color);

// Flushes the destroy queue, then updates every live active object.
void UpdateScene();
// Letterboxes through the camera, draws every live visible object, then every
// visible text label, then the visible overlays.
void DrawScene(Camera2D* camera);

// A non-owning list of objects of one kind (enemies, towers) kept in step with
// objectList: a deleted object leaves every such list, and FreeAllObjects empties
// them. Define each one where its element type is complete.
struct SceneIndexBase {
    SceneIndexBase();
    virtual ~SceneIndexBase();
    virtual void Forget(const GameObject* object) = 0;
    virtual void Clear() = 0;
};

template <class T>
struct SceneIndex : SceneIndexBase, std::list<T*> {
    void Forget(const GameObject* object) override
    {
        this->remove_if([object](T* entry) { return static_cast<const GameObject*>(entry) == object; });
    }
    void Clear() override { this->clear(); }
};
