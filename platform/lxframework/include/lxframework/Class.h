#pragma once

#include <lxframework/Event.h>
#include <lxframework/Property.h>
#include <lxframework/Ref.h>
#include <lxframework/plugin.h>

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace lx {

class Object;

// A framework class: a host class written in C++, an application class
// derived from one, or a class a plug-in registered by record. Classes are
// known by name; a name asked for before its class is registered gets a stub
// that registration later completes, so application classes can name plug-in
// superclasses before the plug-ins load.
class Class {
public:
    enum class Kind { Stub, Host, Plugin, PluginControl };
    // Builds the C++ object in place; the memory is zero-filled.
    using Factory = Object* (*)(void* where);

    explicit Class(std::string name);
    Class(const Class&) = delete;
    Class& operator=(const Class&) = delete;

    const std::string& Name() const { return mName; }
    Kind ClassKind() const { return mKind; }
    const Class* Super() const { return mSuper; }
    bool IsSubclassOf(const Class& other) const;
    // True when this class and every superclass are registered.
    bool IsComplete() const;

    // A new object of this class with one reference, or nil (with a debug-log
    // line) when the class cannot be instantiated yet. Plug-in exceptions raised
    // by constructors stay pending; RuntimeNewObject turns them into throws.
    Ref<Object> NewInstance() const;

    // Plug-in classes: the record, and where their data block sits relative
    // to the object (negative, the same for every subclass).
    const LxClassRecord* Record() const { return mRecord; }
    const LxControlRecord* ControlRecord() const { return mControlRecord; }
    intptr_t DataOffset() const { return mDataOffset; }
    // Bytes of plug-in data in front of each object of this class.
    std::size_t PrefixSize() const;
    LxFunction Behaviour(int slot) const;

    // The properties this class's own record declares.
    const std::vector<std::unique_ptr<Property>>& OwnProperties() const { return mProperties; }
    // Members, looked up here and then in the superclasses.
    const Property* FindProperty(std::string_view name) const;
    const EventDefinition* FindEvent(std::string_view name) const;
    const std::vector<std::unique_ptr<EventDefinition>>& Events() const { return mEvents; }

    // Handles an event a superclass declares, for every object of this class
    // (an application class's own event table).
    void ImplementEvent(std::string_view eventName, EventHandler handler);
    const EventHandler* FindImplementation(std::string_view eventName) const;
    LxFunction FindPluginImplementation(std::string_view eventName) const;

    // Integer properties of host classes, read by plug-ins through
    // VANTGetPropValueInt (a picture's "Transparent").
    void AddIntegerProperty(std::string name, std::function<int32_t(Object&)> getter);
    const std::function<int32_t(Object&)>* FindIntegerProperty(std::string_view name) const;

private:
    friend class ClassRegistry;

    std::string mName;
    Kind mKind = Kind::Stub;
    const Class* mSuper = nullptr;
    Factory mFactory = nullptr;
    std::size_t mObjectSize = 0;

    const LxClassRecord* mRecord = nullptr;
    const LxControlRecord* mControlRecord = nullptr;
    std::size_t mDataSize = 0;
    std::size_t mBlockSize = 0;
    intptr_t mDataOffset = 0;

    std::vector<std::unique_ptr<Property>> mProperties;
    std::vector<std::unique_ptr<EventDefinition>> mEvents;
    std::map<std::string, EventHandler, std::less<>> mImplementations;
    std::map<std::string, LxFunction, std::less<>> mPluginImplementations;
    std::map<std::string, std::function<int32_t(Object&)>, std::less<>> mIntegerProperties;
};

}
