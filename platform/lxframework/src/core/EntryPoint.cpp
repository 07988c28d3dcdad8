#include "ClassRegistry.h"
#include "Internal.h"

#include <lxframework/EntryPoint.h>
#include <lxframework/Runtime.h>

#include <algorithm>

namespace lx::detail {

void CheckEntryCall(
    const LxEntryPoint* entry, const Object* self, std::span<const Object* const> arguments, bool hasResult)
{
    const std::size_t argumentCount = arguments.size();
    if (!entry)
        Throw<UnboundEntryPointException>("an empty entry-point slot");
    // A view: every call passes here, and only a refusal needs the text.
    const std::string_view binding = entry->binding ? entry->binding : "";
    switch (entry->kind) {
    case LxEntryUnbound:
        Throw<UnboundEntryPointException>(binding);
    case LxEntryConstructor:
    case LxEntryDestructor:
        // The framework runs the constructor chain; a second run would leak.
        Throw<RuntimeException>(std::string(binding) + " is run by the framework only");
    case LxEntryGetter:
        if (argumentCount != 0 || !hasResult)
            Throw<RuntimeException>(std::string(binding) + " takes no value and returns one");
        break;
    case LxEntrySetter:
        if (argumentCount != 1 || hasResult)
            Throw<RuntimeException>(std::string(binding) + " takes one value and returns none");
        break;
    default:
        break;
    }
    if (!self)
        Throw<NilObjectException>(binding);
    // The plug-in reaches its data relative to the receiver, so a receiver of
    // another class must never get there.
    const auto& bound = *reinterpret_cast<const BoundEntry*>(entry);
    if (bound.owner && !self->IsA(*bound.owner))
        Throw<IllegalCastException>(self->ObjectClass().Name() + " is not a " + bound.owner->Name() + " for "
            + std::string(binding));
    // Likewise for the data of every object argument.
    for (std::size_t i = 0; i < std::min(arguments.size(), bound.argumentClasses.size()); ++i)
        CheckDeclaredClass(arguments[i], bound.argumentClasses[i], binding);
}

}
