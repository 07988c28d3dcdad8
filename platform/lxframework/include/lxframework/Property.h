#pragma once

#include <lxframework/Exceptions.h>
#include <lxframework/Value.h>
#include <lxframework/plugin.h>

#include <cstring>
#include <string>

namespace lx {

class Class;

// A property of a plug-in class, from one row of its record. The application
// resolves it once (Class::FindProperty) and then reads and writes it with
// GetProperty and SetProperty: a field is plain offset arithmetic, an accessor
// is one call into the plug-in.
struct Property {
    const Class* owner = nullptr;
    std::string name;
    std::string typeName;
    ValueType type = ValueType::Integer;
    const Class* valueClass = nullptr; // the declared class of an object value
    LxFunction getter = nullptr; // a plug-in function, LxFieldAccessor, or null
    LxFunction setter = nullptr; // likewise; null means read-only
    intptr_t param = 0;
};

enum class Access { Read, Write };

namespace detail {
    // Throws unless `object` belongs to the property's class, the property has the
    // C++ type's kind and offers the access.
    void CheckPropertyAccess(const Object& object, const Property& property, ValueType type, Access access);
    void* FieldAddress(Object& object, const Property& property);
    // Throws IllegalCastException unless the value is nil or of the declared class.
    void CheckPropertyValue(const Property& property, const Object* value);
    // Takes the new reference before dropping the old (they may be the same object).
    void StoreObjectField(Object& object, const Property& property, Object* value);
}

template <class T> auto GetProperty(Object& object, const Property& property)
{
    using Traits = ValueTraits<T>;
    using C = typename Traits::C;
    detail::CheckPropertyAccess(object, property, Traits::Type, Access::Read);
    if (property.getter == LxFieldAccessor) {
        C value {};
        std::memcpy(&value, detail::FieldAddress(object, property), sizeof value);
        if constexpr (Traits::Type == ValueType::Object)
            return Ref<Object>(FromLx(value));
        else
            return Traits::FromC(value);
    }
    auto getter = reinterpret_cast<C (*)(LxObject*, intptr_t)>(property.getter);
    auto result = Traits::FromC(CallPlugin([&] { return getter(ToLx(&object), property.param); }));
    ThrowPendingException();
    return result;
}

template <class T> void SetProperty(Object& object, const Property& property, const T& value)
{
    using Traits = ValueTraits<T>;
    using C = typename Traits::C;
    detail::CheckPropertyAccess(object, property, Traits::Type, Access::Write);
    C cValue = Traits::ToC(value);
    if constexpr (Traits::Type == ValueType::Object)
        detail::CheckPropertyValue(property, FromLx(cValue));
    if (property.setter == LxFieldAccessor) {
        if constexpr (Traits::Type == ValueType::Object)
            detail::StoreObjectField(object, property, FromLx(cValue));
        else
            std::memcpy(detail::FieldAddress(object, property), &cValue, sizeof cValue);
        return;
    }
    auto setter = reinterpret_cast<void (*)(LxObject*, intptr_t, C)>(property.setter);
    CallPlugin([&] { setter(ToLx(&object), property.param, cValue); });
    ThrowPendingException();
}

}
