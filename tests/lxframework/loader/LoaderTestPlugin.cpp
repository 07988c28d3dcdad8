// A plug-in module found by the loader in the plugins folder beside the test
// program. It registers one class and counts how often it was started.

#include <lxframework/plugin.h>

namespace {

int gMainCalls = 0;

LxClassRecord gRecord = { LxRecordVersion, "LoadedWidget", nullptr, 8, 0, nullptr, nullptr, nullptr, 0, nullptr, 0,
    nullptr, 0, nullptr, 0 };

}

extern "C" __attribute__((visibility("default"))) int LoaderTestMainCalls() { return gMainCalls; }

extern "C" __attribute__((visibility("default"))) void VANTPluginMain(LxResolver resolver)
{
    ++gMainCalls;
    reinterpret_cast<LxPluginRegisterClassProc>(resolver("PluginRegisterClass"))(&gRecord);
}
