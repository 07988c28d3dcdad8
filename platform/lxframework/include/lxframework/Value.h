#pragma once

#include <lxframework/Object.h>
#include <lxframework/Ref.h>
#include <lxframework/plugin.h>

#include <cstdint>

namespace lx {

// The kinds of value a property, parameter or event argument can have.
enum class ValueType { Integer, Double, Boolean, Color, Object };

// A color as &h00RRGGBB.
struct Color {
    uint32_t rgb = 0;
    friend bool operator==(Color, Color) = default;
};

// How each C++ type of the framework's API crosses to a plug-in: its C type
// and the conversions both ways. Object results carry a reference the caller
// owns; object arguments are borrowed.
template <class T> struct ValueTraits;

template <> struct ValueTraits<int32_t> {
    using C = LxInteger;
    static constexpr ValueType Type = ValueType::Integer;
    static C ToC(int32_t value) { return value; }
    static int32_t FromC(C value) { return value; }
};

template <> struct ValueTraits<double> {
    using C = LxDouble;
    static constexpr ValueType Type = ValueType::Double;
    static C ToC(double value) { return value; }
    static double FromC(C value) { return value; }
};

template <> struct ValueTraits<bool> {
    using C = LxBoolean;
    static constexpr ValueType Type = ValueType::Boolean;
    static C ToC(bool value) { return value ? 1 : 0; }
    static bool FromC(C value) { return value != 0; }
};

template <> struct ValueTraits<Color> {
    using C = LxColor;
    static constexpr ValueType Type = ValueType::Color;
    static C ToC(Color value) { return value.rgb; }
    static Color FromC(C value) { return Color { value }; }
};

// A borrowed object, as event handlers receive it.
template <> struct ValueTraits<Object*> {
    using C = LxObject*;
    static constexpr ValueType Type = ValueType::Object;
    static C ToC(Object* value) { return ToLx(value); }
    static Object* FromC(C value) { return FromLx(value); }
};

template <class T> struct ValueTraits<Ref<T>> {
    using C = LxObject*;
    static constexpr ValueType Type = ValueType::Object;
    static C ToC(const Ref<T>& value) { return ToLx(value.Get()); }
    // A plug-in hands back a reference we now own. Results are typed as plain
    // objects: the caller casts them with Cast<T>, which checks.
    static Ref<Object> FromC(C value) requires std::is_same_v<T, Object> { return Ref<Object>::Adopt(FromLx(value)); }
};

// ByRef parameters are pointers to the caller's variable.
template <> struct ValueTraits<int32_t*> {
    using C = LxInteger*;
    static C ToC(int32_t* value) { return value; }
};

template <> struct ValueTraits<double*> {
    using C = LxDouble*;
    static C ToC(double* value) { return value; }
};

}
