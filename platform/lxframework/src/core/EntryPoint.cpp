#include "ClassRegistry.h"

#include <lxframework/EntryPoint.h>
#include <lxframework/Runtime.h>

namespace lx::detail {

void CheckEntryCall(const LxEntryPoint* entry, const Object* self, std::size_t argumentCount, bool hasResult)
{
    if (!entry)
        Throw<UnboundEntryPointException>("an empty entry-point slot");
    std::string binding = entry->binding ? entry->binding : "";
    switch (entry->kind) {
    case LxEntryUnbound:
        Throw<UnboundEntryPointException>(binding);
    case LxEntryConstructor:
    case LxEntryDestructor:
        // The framework runs the constructor chain; a second run would leak.
        Throw<RuntimeException>(binding + " is run by the framework only");
    case LxEntryGetter:
        if (argumentCount != 0 || !hasResult)
            Throw<RuntimeException>(binding + " takes no value and returns one");
        break;
    case LxEntrySetter:
        if (argumentCount != 1 || hasResult)
            Throw<RuntimeException>(binding + " takes one value and returns none");
        break;
    default:
        break;
    }
    if (!self)
        Throw<NilObjectException>(binding);
    // The plug-in reaches its data relative to the receiver, so a receiver of
    // another class must never get there.
    const Class* owner = reinterpret_cast<const BoundEntry*>(entry)->owner;
    if (owner && !self->IsA(*owner))
        Throw<IllegalCastException>(self->ObjectClass().Name() + " is not a " + owner->Name() + " for " + binding);
}

}
