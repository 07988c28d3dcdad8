#include "ClassRegistry.h"

#include <lxframework/Runtime.h>

#include <algorithm>
#include <dlfcn.h>
#include <filesystem>
#include <set>
#include <system_error>
#include <vector>

namespace lx {

namespace {

    constexpr const char* PluginFolderName = "plugins";
    constexpr const char* PluginModuleExtension = ".so";
    constexpr const char* PluginEntryName = "VANTPluginMain";

    std::vector<LxPluginMain>& StaticPlugins()
    {
        static std::vector<LxPluginMain> plugins;
        return plugins;
    }

    // Every plug-in's entry point runs exactly once, however often loading runs
    // and however the plug-in was found.
    void RunPlugin(LxPluginMain main)
    {
        static std::set<LxPluginMain> started;
        if (!main || !started.insert(main).second)
            return;
        main(&HostResolver);
        ThrowPendingException();
    }

    std::vector<std::filesystem::path> PluginModules()
    {
        std::error_code error;
        std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
        if (error)
            return {};
        std::vector<std::filesystem::path> modules;
        for (const auto& entry :
            std::filesystem::directory_iterator(executable.parent_path() / PluginFolderName, error)) {
            if (entry.is_regular_file(error) && entry.path().extension() == PluginModuleExtension)
                modules.push_back(entry.path());
        }
        std::sort(modules.begin(), modules.end());
        return modules;
    }

    // Modules stay loaded for the life of the process: their classes and records
    // are in use until exit.
    LxPluginMain LoadModule(const std::filesystem::path& path)
    {
        void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!module) {
            DebugLog("could not load plug-in " + path.string() + ": " + dlerror());
            return nullptr;
        }
        auto main = reinterpret_cast<LxPluginMain>(dlsym(module, PluginEntryName));
        if (!main)
            DebugLog("plug-in " + path.string() + " has no " + PluginEntryName);
        return main;
    }

}

void RuntimeRegisterStaticPlugin(LxPluginMain main) { StaticPlugins().push_back(main); }

void RuntimeInitExternalClasses()
{
    RuntimeInit();
    for (const auto& path : PluginModules())
        RunPlugin(LoadModule(path));
    for (LxPluginMain main : StaticPlugins())
        RunPlugin(main);
    ClassRegistry::Instance().RejectPendingRecords();
}

}
