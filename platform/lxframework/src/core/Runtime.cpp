#include "ClassRegistry.h"
#include "Internal.h"

#include <lxframework/Exceptions.h>
#include <lxframework/PluginObject.h>
#include <lxframework/Runtime.h>
#include <lxframework/String.h>

#include <syslog.h>

namespace lx {

namespace {
    bool gInitialised = false;
    RuntimeExtension gExtension = nullptr;

    DebugLogSink& Sink()
    {
        static DebugLogSink sink = [](std::string_view message) {
            syslog(LOG_DEBUG, "%.*s", static_cast<int>(message.size()), message.data());
        };
        return sink;
    }
}

void RuntimeInit()
{
    if (gInitialised)
        return;
    gInitialised = true;
    RegisterClass<Object>("Object");
    RegisterClass<String>("String");
    RegisterClass<RuntimeException>("RuntimeException");
    RegisterClass<NilObjectException>("NilObjectException", "RuntimeException");
    RegisterClass<OutOfBoundsException>("OutOfBoundsException", "RuntimeException");
    RegisterClass<IllegalCastException>("IllegalCastException", "RuntimeException");
    RegisterClass<UnboundEntryPointException>("UnboundEntryPointException", "RuntimeException");
    if (gExtension)
        gExtension();
}

void SetRuntimeExtension(RuntimeExtension extension) { gExtension = extension; }

Ref<Object> RuntimeNewObject(const Class& cls)
{
    Ref<Object> object = cls.NewInstance();
    ThrowPendingException();
    return object;
}

Class* FindClass(std::string_view name)
{
    RuntimeInit();
    return ClassRegistry::Instance().Find(name);
}

const LxEntryPoint** RuntimeAllocatePluginEntrypointsTable(std::size_t count)
{
    return ClassRegistry::Instance().AllocateTable(count);
}

const LxEntryPoint* RuntimeLookupPluginEntrypoint(std::string_view bindingName)
{
    return ClassRegistry::Instance().Lookup(bindingName);
}

void SetPluginControlBase(std::string_view className) { ClassRegistry::Instance().SetControlBase(className); }

void DebugLog(std::string_view message)
{
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r'))
        message.remove_suffix(1);
    if (Sink())
        Sink()(message);
}

DebugLogSink SetDebugLogSink(DebugLogSink sink) { return std::exchange(Sink(), std::move(sink)); }

namespace detail {
    Class& RegisterHostClass(
        std::string_view name, std::string_view superName, Class::Factory factory, std::size_t size)
    {
        RuntimeInit();
        return ClassRegistry::Instance().RegisterHost(name, superName, factory, size);
    }
}

}
