#pragma once

namespace lx {

class Class;

// The class whose object is being built: set by Class::NewInstance just before
// it runs the factory, taken by Object's constructor first thing, so nested
// creations in constructors find the slot empty again.
void BeginConstruction(const Class& cls);
const Class* TakeConstructingClass();

// Reports a broken invariant of the framework and aborts.
[[noreturn]] void FatalError(const char* message);

// Inside a catch block of a function a plug-in called: turns the exception in
// flight into the pending exception, since it must not unwind into the plug-in.
void RaiseCurrentException() noexcept;

// Registers the classes and services of the windowing layer.
void InitGuiRuntime();

}
