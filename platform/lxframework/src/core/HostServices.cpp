#include "ClassRegistry.h"
#include "Internal.h"

#include <lxframework/Event.h>
#include <lxframework/Runtime.h>
#include <lxframework/String.h>

#include <climits>
#include <map>
#include <string>

// The services a plug-in finds through the resolver. Each is called from
// plug-in code, so none lets a C++ exception out: what goes wrong becomes the
// pending exception, and the service returns its zero value.

namespace lx {

namespace {

    template <class Result, class Body> Result Guarded(Result failed, Body body) noexcept
    {
        try {
            return body();
        } catch (...) {
            RaiseCurrentException();
            return failed;
        }
    }

    template <class Body> void Guarded(Body body) noexcept
    {
        try {
            body();
        } catch (...) {
            RaiseCurrentException();
        }
    }

    const String* AsString(LxObject* object) { return dynamic_cast<const String*>(FromLx(object)); }

    void RegisterPluginVersion(LxInteger version) noexcept
    {
        if (version != LxRecordVersion)
            DebugLog("a plug-in announced record version " + std::to_string(version));
    }

    LxBoolean InRuntime() noexcept { return 1; }

    LxDouble GetLXVersion() noexcept { return HostVersion; }

    const char* StringGetCString(LxObject* string) noexcept
    {
        const String* found = string ? AsString(string) : nullptr;
        return found ? found->CString() : nullptr;
    }

    LxInteger StringGetLength(LxObject* string) noexcept
    {
        const String* found = string ? AsString(string) : nullptr;
        if (!found)
            return 0;
        return static_cast<LxInteger>(std::min<std::size_t>(found->Bytes().size(), INT32_MAX));
    }

    void LockObject(LxObject* object) noexcept
    {
        if (object)
            FromLx(object)->Lock();
    }

    void UnlockObject(LxObject* object) noexcept
    {
        if (object)
            Guarded([&] { FromLx(object)->Unlock(); });
    }

    LxFunction GetEventInstance(LxObject* instance, uintptr_t hostWord) noexcept
    {
        if (!instance || !ClassRegistry::Instance().IsEventDefinition(hostWord))
            return nullptr;
        return Guarded<LxFunction>(nullptr, [&] {
            return ResolveEventInstance(*FromLx(instance), *reinterpret_cast<const EventDefinition*>(hostWord));
        });
    }

    LxObject* NewInstanceOf(const Class* cls) noexcept
    {
        if (!cls)
            return nullptr;
        return Guarded<LxObject*>(nullptr, [&] { return ToLx(cls->NewInstance().Leak()); });
    }

    LxObject* PluginNewInstance(const char* className) noexcept
    {
        return className ? NewInstanceOf(ClassRegistry::Instance().Find(className)) : nullptr;
    }

    LxObject* PluginNewOfSameClass(LxObject* object) noexcept
    {
        return object ? NewInstanceOf(&FromLx(object)->ObjectClass()) : nullptr;
    }

    LxClassHandle* PluginObjectType(const char* className) noexcept
    {
        return className ? reinterpret_cast<LxClassHandle*>(ClassRegistry::Instance().Find(className)) : nullptr;
    }

    LxObject* CreateInstance(LxClassHandle* handle) noexcept
    {
        return NewInstanceOf(reinterpret_cast<const Class*>(handle));
    }

    void PluginRegisterClass(LxClassRecord* record) noexcept
    {
        Guarded([&] { ClassRegistry::Instance().RegisterRecord(record); });
    }

    LxInteger PluginRegisterControl(LxControlRecord* record) noexcept
    {
        return Guarded<LxInteger>(0, [&] { return ClassRegistry::Instance().RegisterControl(record) ? 1 : 0; });
    }

    void RuntimeRaiseException(LxObject* exception) noexcept
    {
        // The reference the plug-in made passes to us.
        RaisePending(Ref<Object>::Adopt(FromLx(exception)));
    }

    // Reads an integer-like property by name: a plug-in row, or a host class's own.
    LxBoolean GetPropValueInt(LxObject* object, const char* name, LxInteger* value) noexcept
    {
        if (!object || !name || !value)
            return 0;
        return Guarded<LxBoolean>(0, [&]() -> LxBoolean {
            Object& target = *FromLx(object);
            if (const Property* property = target.ObjectClass().FindProperty(name)) {
                switch (property->type) {
                case ValueType::Integer:
                    *value = GetProperty<int32_t>(target, *property);
                    return 1;
                case ValueType::Color:
                    *value = static_cast<LxInteger>(GetProperty<Color>(target, *property).rgb);
                    return 1;
                case ValueType::Boolean:
                    *value = GetProperty<bool>(target, *property) ? 1 : 0;
                    return 1;
                default:
                    return 0;
                }
            }
            if (const auto* getter = target.ObjectClass().FindIntegerProperty(name)) {
                *value = (*getter)(target);
                return 1;
            }
            return 0;
        });
    }

    std::map<std::string, LxFunction, std::less<>>& Services()
    {
        static std::map<std::string, LxFunction, std::less<>> services {
            { "RegisterPluginVersion", reinterpret_cast<LxFunction>(&RegisterPluginVersion) },
            { "VANTinRuntime", reinterpret_cast<LxFunction>(&InRuntime) },
            { "VANTGetLXVersion", reinterpret_cast<LxFunction>(&GetLXVersion) },
            { "StringGetCString", reinterpret_cast<LxFunction>(&StringGetCString) },
            { "StringGetLength", reinterpret_cast<LxFunction>(&StringGetLength) },
            { "VANTLockObject", reinterpret_cast<LxFunction>(&LockObject) },
            { "VANTUnlockObject", reinterpret_cast<LxFunction>(&UnlockObject) },
            { "GetEventInstance", reinterpret_cast<LxFunction>(&GetEventInstance) },
            { "PluginNewInstance", reinterpret_cast<LxFunction>(&PluginNewInstance) },
            { "PluginNewOfSameClass", reinterpret_cast<LxFunction>(&PluginNewOfSameClass) },
            { "pluginObjectType", reinterpret_cast<LxFunction>(&PluginObjectType) },
            { "CreateInstance", reinterpret_cast<LxFunction>(&CreateInstance) },
            { "PluginRegisterClass", reinterpret_cast<LxFunction>(&PluginRegisterClass) },
            { "PluginRegisterControl", reinterpret_cast<LxFunction>(&PluginRegisterControl) },
            { "RuntimeRaiseException", reinterpret_cast<LxFunction>(&RuntimeRaiseException) },
            { "VANTGetPropValueInt", reinterpret_cast<LxFunction>(&GetPropValueInt) },
        };
        return services;
    }

}

LxFunction HostResolver(const char* serviceName) noexcept
{
    if (!serviceName)
        return nullptr;
    auto found = Services().find(std::string_view(serviceName));
    return found == Services().end() ? nullptr : found->second;
}

void RegisterHostService(std::string_view name, LxFunction service)
{
    Services().insert_or_assign(std::string(name), service);
}

}
