// Compiled as the plug-in's own sources are, this must not build: the plug-in
// finds plugin.h, and no other header of the framework.
#include <lxframework/plugin.h>

#include <lxframework/Window.h>
