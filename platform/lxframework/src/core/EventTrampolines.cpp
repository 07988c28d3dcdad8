#include "EventTrampolines.h"
#include "Internal.h"

#include <lxframework/Exceptions.h>
#include <lxframework/Object.h>
#include <lxframework/Runtime.h>

#include <array>
#include <utility>

// A plug-in raises an event through a plain C function that knows neither the
// event nor the handler. Each declared event therefore takes one function of a
// fixed pool for its signature, and that function finds the event again.

namespace lx {

namespace {

    constexpr std::size_t TrampolinesPerSignature = 32;

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
            const EventHandler* handler = ApplicationHandler(object, *event);
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

}
