#include "EventTrampolines.h"
#include "Internal.h"

#include <lxframework/Class.h>
#include <lxframework/Exceptions.h>
#include <lxframework/Object.h>
#include <lxframework/Runtime.h>

#include <array>
#include <optional>
#include <utility>

namespace lx {

namespace {

    struct EventTarget {
        LxFunction pluginFunction = nullptr;
        const EventHandler* handler = nullptr;
    };

    const Class* Ancestor(const Class& cls, int generations)
    {
        const Class* ancestor = &cls;
        for (; generations > 0; --generations)
            ancestor = ancestor->Super();
        return ancestor;
    }

    // Who handles the event for this object. Classes are searched from the
    // declaring class down to the object's own class: an event a class handles is
    // no longer open to its subclasses. Only then does a handler installed on the
    // object itself count. The way down is walked again from the object's class
    // for each step, rather than kept in a list: events are raised for every
    // element of every frame and pick, and class chains are short.
    EventTarget LocateHandler(const Object& instance, const EventDefinition& event)
    {
        const Class& own = instance.ObjectClass();
        int generations = 0;
        const Class* cls = &own;
        for (; cls && cls != event.owner; cls = cls->Super())
            ++generations;
        if (!cls)
            return {};
        for (; generations >= 0; --generations) {
            cls = Ancestor(own, generations);
            if (LxFunction function = cls->FindPluginImplementation(event.name))
                return { function, nullptr };
            if (const EventHandler* handler = cls->FindImplementation(event.name))
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
