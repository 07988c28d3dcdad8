#pragma once

#include <q3/Q3.h>

#include <span>
#include <utility>

namespace q3 {

class View;

// The base of every library object: a reference count, an id for the
// framework's 32-bit world, and the chain of type codes that type tests walk.
class Object {
public:
    Object();
    virtual ~Object();

    Object(const Object&) = delete;
    Object& operator=(const Object&) = delete;

    // The type codes from the most general to the object's own.
    virtual std::span<const TQ3ObjectType> TypeChain() const = 0;

    // Adds the object to the view's current loop. Objects that are never drawn
    // (cameras, lights, storage) have nothing to add.
    virtual TQ3Status Submit(View&) { return kQ3Success; }

    bool IsType(TQ3ObjectType type) const;
    TQ3ObjectType LeafType() const { return TypeChain().back(); }

    void Retain() { ++mReferences; }
    void Release();

    TQ3Uns32 Id() const { return mId; }

private:
    int mReferences { 1 };
    TQ3Uns32 mId { 0 };
    // The next object waiting to be deleted, while this one waits.
    Object* mNextDeleted { nullptr };
};

// Records an error unless one is already waiting to be read.
void PostError(TQ3Error error);

// What a creator hands out: the new object, or null while its type is
// refused (Q3Debug_RefuseNew).
Object* Created(Object* object);
template <typename T> T* Created(T* object) { return static_cast<T*>(Created(static_cast<Object*>(object))); }

// Takes a reference to `object` (which may be null) and drops the one `slot` held.
void Assign(TQ3Object& slot, TQ3Object object);

// Drops the reference `slot` holds and clears it.
void Clear(TQ3Object& slot);

// The object behind a handle if it is of the given type, else null (posting
// an error for a non-null handle of another type).
template <typename T> T* Cast(TQ3Object object)
{
    if (!object)
        return nullptr;
    if (!object->IsType(T::Type)) {
        PostError(kQ3ErrorInvalidObjectType);
        return nullptr;
    }
    return static_cast<T*>(object);
}

// Holds one reference to an object, or none.
template <typename T = Object> class Ref {
public:
    Ref() = default;
    // Takes a reference of its own.
    explicit Ref(T* object)
        : mObject(object)
    {
        if (mObject)
            mObject->Retain();
    }
    Ref(const Ref& other)
        : Ref(other.mObject)
    {
    }
    Ref& operator=(const Ref& other)
    {
        Ref copy(other);
        std::swap(mObject, copy.mObject);
        return *this;
    }
    ~Ref()
    {
        if (mObject)
            mObject->Release();
    }

    // Takes over the creator's first reference.
    static Ref Adopt(T* object)
    {
        Ref ref;
        ref.mObject = object;
        return ref;
    }

    T* Get() const { return mObject; }
    T* operator->() const { return mObject; }
    explicit operator bool() const { return mObject != nullptr; }

private:
    T* mObject { nullptr };
};

}
