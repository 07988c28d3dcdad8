#pragma once

#include <lxframework/plugin.h>

#include <filesystem>
#include <string>

namespace lx {

// Why the file at `path` cannot be a plug-in module of this process, or
// empty when it may be one: it must be a readable plain file (not a directory,
// nor a symbolic link to nothing), an ELF shared object for this machine whose
// loadable segments all lie inside the file. dlopen maps those segments, and
// one cut short ends the process at its first touch.
std::string ModuleFileProblem(const std::filesystem::path& path);

// Loads the module and runs its entry point once, as the loader does for each
// module of the plugins folder. A module that cannot be loaded, has no entry
// point or registers records of an unknown version gets one line on stderr
// naming the file and the reason; false then.
bool RunPluginModule(const std::filesystem::path& path);

// Runs every module of the folder, in name order: everything whose name ends
// in .so, so that what is named like a module but cannot be one gets its line.
void RunPluginFolder(const std::filesystem::path& folder);

}
