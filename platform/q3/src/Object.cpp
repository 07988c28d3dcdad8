#include "Object.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <utility>

namespace q3 {

namespace {

    // Live objects by id. Ids count up and are never reused, so a stale id
    // held by the framework can only resolve to null.
    struct Registry {
        std::unordered_map<TQ3Uns32, Object*> objects;
        TQ3Uns32 lastId { 0 };
    };

    Registry& TheRegistry()
    {
        static Registry registry;
        return registry;
    }

    TQ3Error s_firstError { kQ3ErrorNone };
    TQ3Error s_lastError { kQ3ErrorNone };
    bool s_initialized { false };
    TQ3Uns32 s_initializeCount { 0 };
    TQ3ObjectType s_refusedType { 0 };

    // Objects whose last reference went while another was being deleted,
    // the last of them first.
    Object* s_waitingDeletion { nullptr };
    // How many deletions are under way inside one another, and the most
    // since tests last asked.
    TQ3Uns32 s_deletionDepth { 0 };
    TQ3Uns32 s_deepestDeletion { 0 };

}

Object::Object()
{
    auto& registry = TheRegistry();
    do
        ++registry.lastId;
    while (registry.lastId == 0 || registry.objects.contains(registry.lastId));
    mId = registry.lastId;
    registry.objects.emplace(mId, this);
}

Object::~Object() { TheRegistry().objects.erase(mId); }

bool Object::IsType(TQ3ObjectType type) const
{
    auto chain = TypeChain();
    return std::find(chain.begin(), chain.end(), type) != chain.end();
}

void Object::Release()
{
    if (--mReferences > 0)
        return;
    // Deleting an object releases what it holds, whose deletion would
    // release what they hold in turn, one level of the thread's stack for
    // each level of a structure. Objects freed while a deletion is under way
    // wait instead, and the outermost release deletes them one after
    // another, so that a structure however deep is deleted at a fixed depth.
    mNextDeleted = s_waitingDeletion;
    s_waitingDeletion = this;
    if (s_deletionDepth > 0)
        return;
    while (Object* next = s_waitingDeletion) {
        s_waitingDeletion = next->mNextDeleted;
        s_deepestDeletion = std::max(s_deepestDeletion, ++s_deletionDepth);
        delete next;
        --s_deletionDepth;
    }
}

void PostError(TQ3Error error)
{
    if (s_firstError == kQ3ErrorNone)
        s_firstError = error;
    s_lastError = error;
}

Object* Created(Object* object)
{
    if (s_refusedType == 0 || !object->IsType(s_refusedType))
        return object;
    object->Release();
    PostError(kQ3ErrorOutOfMemory);
    return nullptr;
}

void Assign(TQ3Object& slot, TQ3Object object)
{
    if (object)
        object->Retain();
    TQ3Object old = slot;
    slot = object;
    if (old)
        old->Release();
}

void Clear(TQ3Object& slot) { Assign(slot, nullptr); }

}

using namespace q3;

TQ3Status Q3Initialize(void)
{
    s_initialized = true;
    ++s_initializeCount;
    return kQ3Success;
}

TQ3Uns32 Q3Debug_InitializeCount(void) { return s_initializeCount; }

void Q3Debug_RefuseNew(TQ3ObjectType type) { s_refusedType = type; }

TQ3Uns32 Q3Debug_DeepestDeletion(void) { return std::exchange(s_deepestDeletion, 0); }

TQ3Boolean Q3IsInitialized(void) { return s_initialized ? kQ3True : kQ3False; }

TQ3Error Q3Error_Get(TQ3Error* firstError)
{
    if (firstError)
        *firstError = s_firstError;
    TQ3Error last = s_lastError;
    s_firstError = kQ3ErrorNone;
    s_lastError = kQ3ErrorNone;
    return last;
}

TQ3Status Q3Object_Dispose(TQ3Object object)
{
    if (!object)
        return kQ3Failure;
    object->Release();
    return kQ3Success;
}

TQ3SharedObject Q3Shared_GetReference(TQ3SharedObject object)
{
    if (object)
        object->Retain();
    return object;
}

TQ3Boolean Q3Object_IsType(TQ3Object object, TQ3ObjectType type)
{
    return object && object->IsType(type) ? kQ3True : kQ3False;
}

TQ3ObjectType Q3Object_GetLeafType(TQ3Object object) { return object ? object->LeafType() : 0; }

TQ3Uns32 Q3Object_GetId(TQ3Object object) { return object ? object->Id() : 0; }

TQ3Object Q3Object_FromId(TQ3Uns32 id)
{
    auto& objects = TheRegistry().objects;
    auto found = objects.find(id);
    return found == objects.end() ? nullptr : found->second;
}

TQ3Uns32 Q3Object_LiveCount(void) { return static_cast<TQ3Uns32>(TheRegistry().objects.size()); }

TQ3Uns32 Q3Object_LiveCountOfType(TQ3ObjectType type)
{
    const auto& objects = TheRegistry().objects;
    return static_cast<TQ3Uns32>(std::count_if(
        objects.begin(), objects.end(), [type](const auto& entry) { return entry.second->IsType(type); }));
}
