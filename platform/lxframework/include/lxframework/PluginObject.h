#pragma once

#include <lxframework/Object.h>

namespace lx {

// The C++ side of an object whose class chain includes plug-in classes. Its
// constructor runs the plug-in constructors root first, before any member of
// a derived class exists; its destructor runs the plug-in destructors leaf
// first, after the derived members are gone. Application subclasses of
// plug-in classes derive from it (first base), as do the framework's hosts of
// plug-in controls.
class PluginObject : public Object {
public:
    PluginObject();
    ~PluginObject() override;
};

// What PluginObject does, for host classes that cannot derive from it.
void RunPluginConstructors(Object& object);
void RunPluginDestructors(Object& object);

}
