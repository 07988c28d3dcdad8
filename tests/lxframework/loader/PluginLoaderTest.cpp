#include <lxframework/Class.h>
#include <lxframework/Runtime.h>

#include <dlfcn.h>
#include <filesystem>
#include <gtest/gtest.h>

namespace {

int gStaticMainCalls = 0;

LxClassRecord gStaticRecord = { LxRecordVersion, "StaticWidget", "LoadedWidget", 4, 0, nullptr, nullptr, nullptr, 0,
    nullptr, 0, nullptr, 0, nullptr, 0 };

void StaticMain(LxResolver resolver)
{
    ++gStaticMainCalls;
    reinterpret_cast<LxPluginRegisterClassProc>(resolver("PluginRegisterClass"))(&gStaticRecord);
}

int ModuleMainCalls()
{
    auto path = std::filesystem::read_symlink("/proc/self/exe").parent_path() / "plugins" / "loader_test_plugin.so";
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (!module)
        return -1;
    auto calls = reinterpret_cast<int (*)()>(dlsym(module, "LoaderTestMainCalls"));
    dlclose(module); // only drops the reference NOLOAD added
    return calls ? calls() : -1;
}

}

TEST(PluginLoader, EveryPluginStartsExactlyOnce)
{
    lx::RuntimeRegisterStaticPlugin(&StaticMain);
    lx::RuntimeInitExternalClasses();
    lx::RuntimeRegisterStaticPlugin(&StaticMain);
    lx::RuntimeInitExternalClasses();

    EXPECT_EQ(ModuleMainCalls(), 1);
    EXPECT_EQ(gStaticMainCalls, 1);
    const lx::Class* loaded = lx::FindClass("LoadedWidget");
    ASSERT_NE(loaded, nullptr);
    // The static plug-in's class builds on the module's.
    const lx::Class* derived = lx::FindClass("StaticWidget");
    ASSERT_NE(derived, nullptr);
    EXPECT_TRUE(derived->IsComplete());
    EXPECT_EQ(derived->Super(), loaded);
    EXPECT_TRUE(derived->NewInstance());
}
