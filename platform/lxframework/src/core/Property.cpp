#include "Internal.h"

#include <lxframework/Class.h>
#include <lxframework/Property.h>
#include <lxframework/Runtime.h>

namespace lx::detail {

void CheckPropertyAccess(const Object& object, const Property& property, ValueType type, Access access)
{
    if (!property.owner || !object.IsA(*property.owner))
        Throw<IllegalCastException>(object.ObjectClass().Name() + " has no property " + property.name);
    if (property.type != type)
        Throw<RuntimeException>("property " + property.name + " is of type " + property.typeName);
    if (access == Access::Read && !property.getter)
        Throw<RuntimeException>("property " + property.name + " cannot be read");
    if (access == Access::Write && !property.setter)
        Throw<RuntimeException>("property " + property.name + " is read-only");
}

void* FieldAddress(Object& object, const Property& property)
{
    return reinterpret_cast<char*>(&object) + property.owner->DataOffset() + property.param;
}

void CheckPropertyValue(const Property& property, const Object* value)
{
    CheckDeclaredClass(value, property.valueClass, property.name);
}

void StoreObjectField(Object& object, const Property& property, Object* value)
{
    if (value)
        value->Lock();
    void* field = FieldAddress(object, property);
    LxObject* old = nullptr;
    std::memcpy(&old, field, sizeof old);
    LxObject* stored = ToLx(value);
    std::memcpy(field, &stored, sizeof stored);
    if (old)
        FromLx(old)->Unlock();
}

}
