#pragma once

// Small builders for the rows of the class records, so that each class's
// table reads as its list of members.

#include "HostServices.h"

#include <lxframework/plugin.h>

#include <cstddef>
#include <cstring>
#include <span>

namespace lx3d {

template <class F> LxFunction Fn(F* function) { return reinterpret_cast<LxFunction>(function); }

// A property the host reads and writes itself at a field of the instance data.
inline LxPropertyRow FieldProperty(const char* name, const char* type, std::size_t offset)
{
    return { nullptr, name, type, 0, LxFieldAccessor, LxFieldAccessor, static_cast<intptr_t>(offset) };
}

// A property read from its field and written through a function.
inline LxPropertyRow FieldGetProperty(const char* name, const char* type, std::size_t offset, LxFunction setter)
{
    return { nullptr, name, type, 0, LxFieldAccessor, setter, static_cast<intptr_t>(offset) };
}

inline LxPropertyRow AccessorProperty(
    const char* name, const char* type, LxFunction getter, LxFunction setter, intptr_t param = 0)
{
    return { nullptr, name, type, 0, getter, setter, param };
}

// A Double property kept as a float at `offset` in the instance data that
// `DataOfObject` gives, read and written through these two functions.
template <auto DataOfObject> double GetFloatField(LxObject* self, intptr_t offset)
{
    float value = 0;
    std::memcpy(&value, reinterpret_cast<char*>(DataOfObject(self)) + offset, sizeof value);
    return value;
}

template <auto DataOfObject> void SetFloatField(LxObject* self, intptr_t offset, double value)
{
    float stored = float(value);
    std::memcpy(reinterpret_cast<char*>(DataOfObject(self)) + offset, &stored, sizeof stored);
}

template <auto DataOfObject> LxPropertyRow FloatProperty(const char* name, std::size_t offset)
{
    return AccessorProperty(name, "Double", Fn(&GetFloatField<DataOfObject>), Fn(&SetFloatField<DataOfObject>),
        static_cast<intptr_t>(offset));
}

inline LxMethodRow Method(LxFunction function, const char* declaration, LxFunction assign = nullptr)
{
    return { function, assign, declaration, 0 };
}

struct ClassRows {
    std::span<LxPropertyRow> properties {};
    std::span<LxMethodRow> methods {};
    std::span<LxEventRow> events {};
    std::span<LxEventInstanceRow> eventInstances {};
};

inline LxClassRecord ClassRecord(const char* name, const char* superName, std::size_t dataSize,
    LxConstructor constructor, LxDestructor destructor, ClassRows rows)
{
    return {
        .version = LxRecordVersion,
        .name = name,
        .superName = superName,
        .dataSize = static_cast<uint32_t>(dataSize),
        .dataOffset = 0,
        .constructor = constructor,
        .destructor = destructor,
        .properties = rows.properties.data(),
        .propertyCount = static_cast<uint32_t>(rows.properties.size()),
        .methods = rows.methods.data(),
        .methodCount = static_cast<uint32_t>(rows.methods.size()),
        .events = rows.events.data(),
        .eventCount = static_cast<uint32_t>(rows.events.size()),
        .eventInstances = rows.eventInstances.data(),
        .eventInstanceCount = static_cast<uint32_t>(rows.eventInstances.size()),
    };
}

// The instance data of a class, typed; null objects give null.
template <class T> T* DataOf(LxObject* object, const LxClassRecord& record)
{
    return object ? static_cast<T*>(ClassData(object, record)) : nullptr;
}

// Takes a reference to the new object before dropping the old one, so that
// storing the object a slot already holds never frees it.
inline void ReplaceReference(LxObject*& slot, LxObject* value)
{
    if (value)
        VANTLockObject(value);
    LxObject* old = slot;
    slot = value;
    if (old)
        VANTUnlockObject(old);
}

inline void DropReference(LxObject*& slot)
{
    if (slot) {
        VANTUnlockObject(slot);
        slot = nullptr;
    }
}

}
