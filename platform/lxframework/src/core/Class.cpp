#include "Internal.h"

#include <lxframework/Class.h>
#include <lxframework/Object.h>
#include <lxframework/Runtime.h>

#include <cstdlib>
#include <cstring>

namespace lx {

namespace {
    constexpr std::size_t ObjectAlignment = 16;

    std::size_t RoundUp(std::size_t size) { return (size + ObjectAlignment - 1) / ObjectAlignment * ObjectAlignment; }
}

Class::Class(std::string name)
    : mName(std::move(name))
{
}

bool Class::IsSubclassOf(const Class& other) const
{
    for (const Class* cls = this; cls; cls = cls->mSuper) {
        if (cls == &other)
            return true;
    }
    return false;
}

bool Class::IsComplete() const
{
    for (const Class* cls = this; cls; cls = cls->mSuper) {
        if (cls->mKind == Kind::Stub)
            return false;
    }
    return true;
}

std::size_t Class::PrefixSize() const
{
    std::size_t size = 0;
    for (const Class* cls = this; cls; cls = cls->mSuper)
        size += cls->mBlockSize;
    return size;
}

LxFunction Class::Behaviour(int slot) const
{
    if (!mControlRecord || !mControlRecord->behaviour || slot < 0 || slot >= LxBehaviourSlotCount)
        return nullptr;
    return mControlRecord->behaviour->slots[slot];
}

Ref<Object> Class::NewInstance() const
{
    if (!IsComplete() || !mFactory) {
        DebugLog("cannot make an object of the incomplete class " + mName);
        return nullptr;
    }
    std::size_t prefix = PrefixSize();
    std::size_t size = RoundUp(prefix + mObjectSize);
    void* allocation = std::aligned_alloc(ObjectAlignment, size);
    if (!allocation) {
        DebugLog("out of memory for an object of class " + mName);
        return nullptr;
    }
    // Plug-in constructors set only the fields whose defaults are not zero.
    std::memset(allocation, 0, size);
    void* where = static_cast<char*>(allocation) + prefix;
    BeginConstruction(*this);
    Object* object = nullptr;
    try {
        object = mFactory(where);
    } catch (...) {
        TakeConstructingClass();
        std::free(allocation);
        throw;
    }
    if (static_cast<void*>(object) != where)
        FatalError("Object must be the first base of every framework class");
    return Ref<Object>::Adopt(object);
}

const Property* Class::FindProperty(std::string_view name) const
{
    for (const Class* cls = this; cls; cls = cls->mSuper) {
        for (const auto& property : cls->mProperties) {
            if (property->name == name)
                return property.get();
        }
    }
    return nullptr;
}

const EventDefinition* Class::FindEvent(std::string_view name) const
{
    for (const Class* cls = this; cls; cls = cls->mSuper) {
        for (const auto& event : cls->mEvents) {
            if (event->name == name)
                return event.get();
        }
    }
    return nullptr;
}

void Class::ImplementEvent(std::string_view eventName, EventHandler handler)
{
    mImplementations.insert_or_assign(std::string(eventName), std::move(handler));
}

const EventHandler* Class::FindImplementation(std::string_view eventName) const
{
    auto found = mImplementations.find(eventName);
    return found == mImplementations.end() ? nullptr : &found->second;
}

LxFunction Class::FindPluginImplementation(std::string_view eventName) const
{
    auto found = mPluginImplementations.find(eventName);
    return found == mPluginImplementations.end() ? nullptr : found->second;
}

void Class::AddIntegerProperty(std::string name, std::function<int32_t(Object&)> getter)
{
    mIntegerProperties.insert_or_assign(std::move(name), std::move(getter));
}

const std::function<int32_t(Object&)>* Class::FindIntegerProperty(std::string_view name) const
{
    for (const Class* cls = this; cls; cls = cls->mSuper) {
        auto found = cls->mIntegerProperties.find(name);
        if (found != cls->mIntegerProperties.end())
            return &found->second;
    }
    return nullptr;
}

void CheckDeclaredClass(const Object* value, const Class* declared, std::string_view member)
{
    if (value && declared && declared->IsComplete() && !value->IsA(*declared))
        Throw<IllegalCastException>(
            value->ObjectClass().Name() + " is not a " + declared->Name() + " for " + std::string(member));
}

}
