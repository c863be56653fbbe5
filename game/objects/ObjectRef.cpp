// ObjectRef: the list of live references and their release (see ObjectRef.h).
#include "ObjectRef.h"

// The head of the list of every live reference. References are few (a tower's
// target and projectile, a hero's last target), so a release walks them all.
static ObjectRefBase* firstRef = nullptr;

ObjectRefBase::ObjectRefBase(GameObject* object) : object(object), next(firstRef)
{
    if (firstRef) firstRef->previous = this;
    firstRef = this;
}

ObjectRefBase::ObjectRefBase(const ObjectRefBase& other) : ObjectRefBase(other.object) {}

ObjectRefBase& ObjectRefBase::operator=(const ObjectRefBase& other)
{
    object = other.object;
    return *this;
}

ObjectRefBase::~ObjectRefBase()
{
    if (previous) previous->next = next;
    if (next) next->previous = previous;
    if (firstRef == this) firstRef = next;
}

void ReleaseObjectRefs(const GameObject* object)
{
    for (ObjectRefBase* ref = firstRef; ref; ref = ref->next)
        if (ref->object == object) ref->object = nullptr;
}
