// ObjectRef: a non-owning pointer from one scene object to another (a tower's
// target, its projectile) that lets go by itself. Every live reference is linked
// into one intrusive list; when an object leaves the scene (GameObject.cpp's
// LeaveScene, DestroyObject, the flush and FreeAllObjects) every reference to it
// becomes null, so none can outlive its object. Read it like a pointer.
#pragma once

struct GameObject;

class ObjectRefBase {
public:
    ObjectRefBase(const ObjectRefBase& other);
    ObjectRefBase& operator=(const ObjectRefBase& other);

protected:
    explicit ObjectRefBase(GameObject* object = nullptr);
    ~ObjectRefBase();

    GameObject* object;

private:
    ObjectRefBase* previous = nullptr;
    ObjectRefBase* next = nullptr;

    friend void ReleaseObjectRefs(const GameObject* object);
};

template <class T>
class ObjectRef : public ObjectRefBase {
public:
    ObjectRef(T* object = nullptr) : ObjectRefBase(object) {}
    ObjectRef& operator=(T* target)
    {
        object = target;
        return *this;
    }
    T* Get() const { return static_cast<T*>(object); }
    operator T*() const { return Get(); }
    T* operator->() const { return Get(); }
};

// Every reference to `object` becomes null. The scene calls this whenever an
// object leaves it; nothing else needs to.
void ReleaseObjectRefs(const GameObject* object);
