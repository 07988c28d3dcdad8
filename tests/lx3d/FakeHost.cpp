#include "FakeHost.h"

#include <map>

namespace {

LxObject* const Token = reinterpret_cast<LxObject*>(0x1000);

const std::map<std::string, LxFunction>& Services()
{
    static const std::map<std::string, LxFunction> services {
        { "VANTGetLXVersion", reinterpret_cast<LxFunction>(+[]() -> LxDouble { return Host().version; }) },
        { "VANTinRuntime", reinterpret_cast<LxFunction>(+[]() -> LxBoolean { return Host().inRuntime; }) },
        { "RegisterPluginVersion", reinterpret_cast<LxFunction>(+[](LxInteger version) {
             Host().calls.push_back("RegisterPluginVersion " + std::to_string(version));
         }) },
        { "PluginRegisterClass", reinterpret_cast<LxFunction>(+[](LxClassRecord* record) {
             Host().calls.push_back(std::string("PluginRegisterClass ") + record->name);
         }) },
        { "PluginRegisterControl", reinterpret_cast<LxFunction>(+[](LxControlRecord* record) -> LxInteger {
             Host().calls.push_back(std::string("PluginRegisterControl ") + record->name);
             return 1;
         }) },
        { "pluginObjectType", reinterpret_cast<LxFunction>(+[](const char* name) -> LxClassHandle* {
             Host().calls.push_back(std::string("pluginObjectType ") + name);
             return Host().classHandle;
         }) },
        { "CreateInstance", reinterpret_cast<LxFunction>(+[](LxClassHandle*) -> LxObject* {
             Host().calls.push_back("CreateInstance");
             return Token;
         }) },
        { "PluginNewInstance", reinterpret_cast<LxFunction>(+[](const char* name) -> LxObject* {
             Host().calls.push_back(std::string("PluginNewInstance ") + name);
             return Token;
         }) },
        { "RuntimeRaiseException",
            reinterpret_cast<LxFunction>(+[](LxObject*) { Host().calls.push_back("RuntimeRaiseException"); }) },
        { "VANTUnlockObject",
            reinterpret_cast<LxFunction>(+[](LxObject*) { Host().calls.push_back("VANTUnlockObject"); }) },
        { "StringGetLength", reinterpret_cast<LxFunction>(+[](LxObject*) -> LxInteger {
             Host().calls.push_back("StringGetLength");
             return 5;
         }) },
    };
    return services;
}

}

FakeHost& Host()
{
    static FakeHost host;
    return host;
}

LxFunction FakeResolve(const char* name)
{
    if (Host().withheld.contains(name))
        return nullptr;
    auto found = Services().find(name);
    return found == Services().end() ? nullptr : found->second;
}
