#include "EventTrampolines.h"
#include "Internal.h"

#include <lxframework/Class.h>
#include <lxframework/Exceptions.h>
#include <lxframework/Object.h>
#include <lxframework/Runtime.h>

#include <array>
#include <optional>
#include <utility>
#include <vector>

namespace lx {

namespace {

    struct EventTarget {
        LxFunction pluginFunction = nullptr;
        const EventHandler* handler = nullptr;
    };

    // Who handles the event for this object. Classes are searched from the
    // declaring class down to the object's own class: an event a class handles is
    // no longer open to its subclasses. Only then does a handler installed on the
    // object itself count.
    EventTarget LocateHandler(const Object& instance, const EventDefinition& event)
    {
        std::vector<const Class*> chain;
        for (const Class* cls = &instance.ObjectClass(); cls; cls = cls->Super()) {
            chain.push_back(cls);
            if (cls == event.owner)
                break;
        }
        if (chain.empty() || chain.back() != event.owner)
            return {};
        for (auto cls = chain.rbegin(); cls != chain.rend(); ++cls) {
            if (LxFunction function = (*cls)->FindPluginImplementation(event.name))
                return { function, nullptr };
            if (const EventHandler* handler = (*cls)->FindImplementation(event.name))
                return { nullptr, handler->Signature() == event.signature ? handler : nullptr };
        }
        if (const auto* installed = instance.FindInstalledHandlers()) {
            for (const InstalledEventHandler& entry : *installed) {
                if (entry.event == &event)
                    return { nullptr, &entry.handler };
            }
        }
        return {};
    }

}

const EventHandler* ApplicationHandler(const Object& instance, const EventDefinition& event)
{
    return LocateHandler(instance, event).handler;
}

LxFunction ResolveEventInstance(Object& instance, const EventDefinition& event)
{
    EventTarget target = LocateHandler(instance, event);
    if (target.pluginFunction)
        return target.pluginFunction;
    return target.handler ? event.trampoline : nullptr;
}

void InstallEventHandler(Object& instance, std::string_view eventName, EventHandler handler)
{
    const EventDefinition* event = instance.ObjectClass().FindEvent(eventName);
    if (!event)
        Throw<RuntimeException>(instance.ObjectClass().Name() + " has no event " + std::string(eventName));
    if (handler.Signature() != event->signature)
        Throw<RuntimeException>("the handler does not fit the event " + event->declaration);
    auto& installed = instance.InstalledHandlers();
    auto existing
        = std::find_if(installed.begin(), installed.end(), [&](const auto& entry) { return entry.event == event; });
    if (existing != installed.end())
        existing->handler = std::move(handler);
    else
        installed.push_back({ event, std::move(handler) });
}

}
