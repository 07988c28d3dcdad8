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

    constexpr std::size_t TrampolinesPerSignature = 32;

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

    template <class T> using CType = typename ValueTraits<T>::C;

    template <class Signature> struct Trampolines;

    template <class R, class... A> struct Trampolines<R(A...)> {
        using CResult
            = std::conditional_t<std::is_void_v<R>, void, CType<std::conditional_t<std::is_void_v<R>, int32_t, R>>>;

        static inline std::array<const EventDefinition*, TrampolinesPerSignature> Events {};

        // Calls the application's handler. Nothing may unwind into the plug-in, and
        // while an exception is pending the application is unwinding, so no
        // handler runs then.
        static CResult Dispatch(const EventDefinition* event, LxObject* instance, CType<A>... arguments) noexcept
        {
            if (!event || !instance || HasPendingException())
                return CResult();
            Object& object = *FromLx(instance);
            const EventHandler* handler = LocateHandler(object, *event).handler;
            const auto* function = handler ? handler->Function<R, A...>() : nullptr;
            if (!function)
                return CResult();
            try {
                if constexpr (std::is_void_v<R>)
                    (*function)(object, ValueTraits<A>::FromC(arguments)...);
                else
                    return ValueTraits<R>::ToC((*function)(object, ValueTraits<A>::FromC(arguments)...));
            } catch (...) {
                RaiseCurrentException();
            }
            return CResult();
        }

        template <std::size_t I> static CResult Thunk(LxObject* instance, CType<A>... arguments) noexcept
        {
            return Dispatch(Events[I], instance, arguments...);
        }

        template <std::size_t... I>
        static std::array<LxFunction, TrampolinesPerSignature> MakePool(std::index_sequence<I...>)
        {
            return { reinterpret_cast<LxFunction>(&Thunk<I>)... };
        }

        static LxFunction Take(const EventDefinition& event)
        {
            static const auto pool = MakePool(std::make_index_sequence<TrampolinesPerSignature>());
            for (std::size_t i = 0; i < TrampolinesPerSignature; ++i) {
                if (!Events[i]) {
                    Events[i] = &event;
                    return pool[i];
                }
            }
            DebugLog("no trampoline left for event " + event.name);
            return nullptr;
        }

        static bool Matches(const Declaration& declaration)
        {
            if (declaration.resultType.empty() != std::is_void_v<R> || declaration.parameters.size() != sizeof...(A))
                return false;
            if constexpr (!std::is_void_v<R>) {
                if (TypeFromName(declaration.resultType) != ValueTraits<R>::Type)
                    return false;
            }
            constexpr std::array<ValueType, sizeof...(A)> types { ValueTraits<A>::Type... };
            for (std::size_t i = 0; i < types.size(); ++i) {
                const auto& parameter = declaration.parameters[i];
                if (parameter.byRef || TypeFromName(parameter.type) != types[i])
                    return false;
            }
            return true;
        }
    };

    template <std::size_t... I> int SignatureIndex(const Declaration& declaration, std::index_sequence<I...>)
    {
        int index = -1;
        ((index < 0 && Trampolines<std::tuple_element_t<I, EventSignatures>>::Matches(declaration) ? index = I : 0),
            ...);
        return index;
    }

    template <std::size_t... I> LxFunction TakeTrampoline(const EventDefinition& event, std::index_sequence<I...>)
    {
        LxFunction trampoline = nullptr;
        ((event.signature == static_cast<int>(I)
                 ? trampoline = Trampolines<std::tuple_element_t<I, EventSignatures>>::Take(event)
                 : nullptr),
            ...);
        return trampoline;
    }

    constexpr auto SignatureIndices = std::make_index_sequence<std::tuple_size_v<EventSignatures>>();

}

int EventSignatureOf(const Declaration& declaration) { return SignatureIndex(declaration, SignatureIndices); }

LxFunction AssignTrampoline(const EventDefinition& event) { return TakeTrampoline(event, SignatureIndices); }

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
