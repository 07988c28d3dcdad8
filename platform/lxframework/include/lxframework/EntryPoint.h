#pragma once

#include <lxframework/Exceptions.h>
#include <lxframework/Value.h>
#include <lxframework/plugin.h>

#include <array>
#include <span>
#include <type_traits>

namespace lx {

namespace detail {
    // Throws unless `entry` may be called on `self` with these values (each
    // argument's object, nil for a value that is none): an unbound entry throws
    // UnboundEntryPointException, a nil receiver NilObjectException, a receiver
    // or object argument of another class than declared IllegalCastException,
    // constructors and destructors (the framework runs those) and a wrong number
    // of accessor values RuntimeException.
    void CheckEntryCall(
        const LxEntryPoint* entry, const Object* self, std::span<const Object* const> arguments, bool hasResult);

    template <class T> using CType = typename ValueTraits<std::remove_cvref_t<T>>::C;

    template <class T> const Object* ObjectArgument(const T& value)
    {
        using Traits = ValueTraits<std::remove_cvref_t<T>>;
        if constexpr (requires { Traits::Type; }) {
            if constexpr (Traits::Type == ValueType::Object)
                return FromLx(Traits::ToC(value));
        }
        return nullptr;
    }
}

// Calls a plug-in member through an entry point the application looked up by
// binding name, passing the row parameter to accessors. R is the C++ result
// type (void, int32_t, double, bool, Color or Ref<Object>); arguments are
// converted the same way. An exception the plug-in raised is thrown here, after
// the call has returned, and an object result that came with it is released; a
// C++ exception that left the plug-in is thrown here as a RuntimeException.
template <class R = void, class... Args> R Call(const LxEntryPoint* entry, Object* self, Args&&... args)
{
    constexpr bool hasResult = !std::is_void_v<R>;
    const std::array<const Object*, sizeof...(Args)> objects { detail::ObjectArgument(args)... };
    detail::CheckEntryCall(entry, self, objects, hasResult);
    using CR = std::conditional_t<hasResult, detail::CType<std::conditional_t<hasResult, R, int32_t>>, void>;

    auto invoke = [&]() -> CR {
        LxObject* receiver = ToLx(self);
        switch (entry->kind) {
        case LxEntryGetter:
            if constexpr (sizeof...(Args) == 0)
                return reinterpret_cast<CR (*)(LxObject*, intptr_t)>(entry->function)(receiver, entry->param);
            break;
        case LxEntrySetter:
            if constexpr (sizeof...(Args) == 1)
                return reinterpret_cast<CR (*)(LxObject*, intptr_t, detail::CType<Args>...)>(entry->function)(
                    receiver, entry->param, ValueTraits<std::remove_cvref_t<Args>>::ToC(args)...);
            break;
        default:
            break;
        }
        return reinterpret_cast<CR (*)(LxObject*, detail::CType<Args>...)>(entry->function)(
            receiver, ValueTraits<std::remove_cvref_t<Args>>::ToC(args)...);
    };

    if constexpr (hasResult) {
        auto result = ValueTraits<R>::FromC(CallPlugin(invoke));
        ThrowPendingException();
        return result;
    } else {
        CallPlugin(invoke);
        ThrowPendingException();
    }
}

}
