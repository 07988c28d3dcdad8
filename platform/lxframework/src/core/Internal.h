#pragma once

#include <string_view>

namespace lx {

class Class;
class Object;

// The class whose object is being built: set by Class::NewInstance just before
// it runs the factory, taken by Object's constructor first thing, so nested
// creations in constructors find the slot empty again.
void BeginConstruction(const Class& cls);
const Class* TakeConstructingClass();

// Reports a broken invariant of the framework and aborts.
[[noreturn]] void FatalError(const char* message);

// A plug-in reaches an object argument's data at the offset of the class it
// declared, so anything else must never get there: throws IllegalCastException
// unless `value` is nil or of the declared class. A class that is not
// registered (an interface, say) cannot be checked and lets every object pass.
void CheckDeclaredClass(const Object* value, const Class* declared, std::string_view member);

// What the layer above core adds to RuntimeInit: its classes and host
// services, registered after core's own and before any plug-in loads. That
// layer sets it while the library loads, so core names nothing of it.
using RuntimeExtension = void (*)();
void SetRuntimeExtension(RuntimeExtension extension);

}
