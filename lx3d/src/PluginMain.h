#pragma once

#include <lxframework/plugin.h>

// The plug-in's one export: the host calls it once, with its resolver.
extern "C" __attribute__((visibility("default"))) void VANTPluginMain(LxResolver resolver);

namespace lx3d {

// Hosts older than these register nothing: a built application needs the
// first, the design environment accepts the second.
constexpr double MinimumRuntimeHostVersion = 2007.03;
constexpr double MinimumDesignHostVersion = 5.9;

void RegisterPluginClasses();

}
