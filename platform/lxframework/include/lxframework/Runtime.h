#pragma once

#include <lxframework/Class.h>
#include <lxframework/Exceptions.h>
#include <lxframework/Ref.h>
#include <lxframework/plugin.h>

#include <functional>
#include <stdexcept>
#include <string_view>
#include <type_traits>

namespace lx {

// The version the framework reports to plug-ins (VANTGetLXVersion).
constexpr double HostVersion = 2008.01;

// Makes the runtime ready: registers the framework's own classes. Safe to call
// more than once.
void RuntimeInit();

// Loads every module in the "plugins" folder beside the executable and runs
// the static plug-ins; each plug-in's VANTPluginMain runs exactly once. Then
// rejects class records whose superclass never arrived.
void RuntimeInitExternalClasses();

// A plug-in linked into the program, run by the next RuntimeInitExternalClasses.
void RuntimeRegisterStaticPlugin(LxPluginMain main);

// A table of `count` empty slots, owned by the runtime until exit.
const LxEntryPoint** RuntimeAllocatePluginEntrypointsTable(std::size_t count);

// The member registered under exactly this binding name. A miss yields an
// unbound entry that keeps the name and throws UnboundEntryPointException when
// called; it is never null.
const LxEntryPoint* RuntimeLookupPluginEntrypoint(std::string_view bindingName);

// A new object of the class; throws what its constructors raised.
Ref<Object> RuntimeNewObject(const Class& cls);

// The class of that name, or null.
Class* FindClass(std::string_view name);

// The resolver handed to plug-ins, and the way the layers above add the
// services that need windows and pictures.
LxFunction HostResolver(const char* serviceName) noexcept;
void RegisterHostService(std::string_view name, LxFunction service);

// Plug-in control classes derive from this host class (set by the GUI layer
// before plug-ins load, so their objects are real controls).
void SetPluginControlBase(std::string_view className);

// One line of the system's debug log (a trailing line end is dropped). The
// default sink is the system log; tests and the GUI may replace it.
void DebugLog(std::string_view message);
using DebugLogSink = std::function<void(std::string_view)>;
DebugLogSink SetDebugLogSink(DebugLogSink sink);

namespace detail {
    Class& RegisterHostClass(
        std::string_view name, std::string_view superName, Class::Factory factory, std::size_t size);
    template <class T> Class*& ClassSlot()
    {
        static Class* cls = nullptr;
        return cls;
    }
}

// Registers the C++ class T under `name`, derived from the class `superName`
// (which may be registered later, by a plug-in for one). Object must be T's
// first base, since plug-ins find their data relative to the object address.
template <class T> Class& RegisterClass(std::string_view name, std::string_view superName = {})
{
    static_assert(std::is_base_of_v<Object, T>);
    static_assert(alignof(T) <= 16);
    Class::Factory factory = [](void* where) -> Object* { return new (where) T(); };
    Class& cls = detail::RegisterHostClass(name, superName, factory, sizeof(T));
    detail::ClassSlot<T>() = &cls;
    return cls;
}

// The class T was registered as.
template <class T> const Class& ClassOf()
{
    RuntimeInit();
    Class* cls = detail::ClassSlot<T>();
    if (!cls)
        throw std::logic_error("a C++ class was used before it was registered");
    return *cls;
}

// Checked cast: nil stays nil, an object of another class throws IllegalCastException.
template <class T> Ref<T> Cast(const Ref<Object>& object)
{
    if (!object)
        return nullptr;
    T* cast = dynamic_cast<T*>(object.Get());
    if (!cast)
        Throw<IllegalCastException>(object->ObjectClass().Name());
    return Ref<T>(cast);
}

// A new object of the C++ class T (registered with RegisterClass).
template <class T> Ref<T> New() { return Cast<T>(RuntimeNewObject(ClassOf<T>())); }

template <class T> void Throw(std::string_view message)
{
    Ref<T> exception = New<T>();
    exception->Message = message;
    throw Exception(std::move(exception));
}

}
