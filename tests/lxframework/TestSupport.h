#pragma once

#include "TestPlugin.h"

#include <lxframework/PluginObject.h>
#include <lxframework/Runtime.h>

#include <string>
#include <vector>

// An application class over a plug-in class, declared before the plug-in
// registers (as the game declares its pieces), with members of its own.
class AppMesh : public lx::PluginObject {
public:
    AppMesh() { testplugin::Log().push_back("AppMesh()"); }
    ~AppMesh() override { testplugin::Log().push_back("~AppMesh()"); }
    int32_t mIndex = 7;
};

// Collects the debug log while it lives.
class DebugLogCapture {
public:
    DebugLogCapture()
        : mPrevious(lx::SetDebugLogSink([this](std::string_view line) { mLines.emplace_back(line); }))
    {
    }
    ~DebugLogCapture() { lx::SetDebugLogSink(std::move(mPrevious)); }
    const std::vector<std::string>& Lines() const { return mLines; }

private:
    lx::DebugLogSink mPrevious;
    std::vector<std::string> mLines;
};

inline void SetUpTestPlugin()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    lx::RuntimeInit();
    lx::RegisterClass<AppMesh>("AppMesh", "TestMesh");
    testplugin::Register();
}

inline lx::Ref<lx::Object> NewObject(const char* className)
{
    SetUpTestPlugin();
    return lx::RuntimeNewObject(*lx::FindClass(className));
}
