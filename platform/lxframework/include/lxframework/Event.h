#pragma once

#include <lxframework/Value.h>
#include <lxframework/plugin.h>

#include <any>
#include <functional>
#include <string>
#include <string_view>
#include <tuple>

namespace lx {

class Class;
class Object;

// The event signatures a plug-in may declare, as the application's handlers
// see them (the sender comes first and is not listed). A plug-in raises an
// event through a trampoline of the framework, one per event definition, so
// only these shapes can reach application code.
using EventSignatures = std::tuple<void(), void(int32_t), void(int32_t, int32_t), bool(int32_t, int32_t), bool(),
    void(Object*), void(double)>;

template <class Signature, std::size_t I = 0> constexpr int EventSignatureIndex()
{
    if constexpr (I == std::tuple_size_v<EventSignatures>)
        return -1;
    else if constexpr (std::is_same_v<Signature, std::tuple_element_t<I, EventSignatures>>)
        return static_cast<int>(I);
    else
        return EventSignatureIndex<Signature, I + 1>();
}

// An event a plug-in class declares, from one event row. Its address is the
// host word written back into the row.
struct EventDefinition {
    const Class* owner = nullptr;
    std::string name;
    std::string declaration;
    int signature = -1; // index into EventSignatures, -1 when unsupported
    LxFunction trampoline = nullptr;
};

// An application's handler of an event, with its signature kept for checking.
class EventHandler {
public:
    EventHandler() = default;
    template <class R, class... A>
    EventHandler(std::function<R(Object& sender, A...)> function)
        : mSignature(EventSignatureIndex<R(A...)>())
        , mFunction(std::move(function))
    {
        static_assert(EventSignatureIndex<R(A...)>() >= 0, "no plug-in event has this signature");
    }

    int Signature() const { return mSignature; }
    template <class R, class... A> const std::function<R(Object&, A...)>* Function() const
    {
        return std::any_cast<std::function<R(Object&, A...)>>(&mFunction);
    }

private:
    int mSignature = -1;
    std::any mFunction;
};

struct InstalledEventHandler {
    const EventDefinition* event = nullptr;
    EventHandler handler;
};

// Installs a handler on one object (a window does this for its controls).
// Throws RuntimeException when the class declares no such event or the
// handler's signature differs from the event's.
void InstallEventHandler(Object& instance, std::string_view eventName, EventHandler handler);

// The handler a plug-in gets from GetEventInstance, or null. See Event.cpp.
LxFunction ResolveEventInstance(Object& instance, const EventDefinition& event);

}
