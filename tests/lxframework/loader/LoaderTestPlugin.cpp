// A plug-in module found by the loader in the plugins folder beside the test
// program. It registers one class and counts how often it was started. Built
// a second time with records of another version, named apart.

#include <lxframework/plugin.h>

#ifndef LOADER_TEST_RECORD_VERSION
#define LOADER_TEST_RECORD_VERSION LxRecordVersion
#define LOADER_TEST_CLASS "LoadedWidget"
#else
#define LOADER_TEST_CLASS "OldWidget"
#endif

namespace {

int gMainCalls = 0;

LxClassRecord gRecord = { LOADER_TEST_RECORD_VERSION, LOADER_TEST_CLASS, nullptr, 8, 0, nullptr, nullptr, nullptr, 0, nullptr, 0,
    nullptr, 0, nullptr, 0 };

}

extern "C" __attribute__((visibility("default"))) int LoaderTestMainCalls() { return gMainCalls; }

extern "C" __attribute__((visibility("default"))) void VANTPluginMain(LxResolver resolver)
{
    ++gMainCalls;
    reinterpret_cast<LxPluginRegisterClassProc>(resolver("PluginRegisterClass"))(&gRecord);
}
