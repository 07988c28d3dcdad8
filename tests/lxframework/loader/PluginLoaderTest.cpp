#include "DamagedModule.h"
#include "PluginLoader.h"

#include <lxframework/Class.h>
#include <lxframework/Runtime.h>

#include <algorithm>
#include <dlfcn.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

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

TEST(PluginLoader, ModuleThatCannotLoadIsReportedOnceWithItsReason)
{
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(testing::TempDir()) / "damaged-plugins";
    fs::create_directories(folder);
    const std::string module = damaged::ReadBytes(LOADER_TEST_MODULE);
    struct Case {
        const char* file;
        std::string bytes;
        const char* reason;
    };
    const Case cases[] = {
        { "cut.so", damaged::CutInsideLoadSegment(module), "a loadable segment lies outside the file" },
        { "foreign.so", damaged::ForAnotherMachine(module), "built for another machine" },
        { "text.so", "#!/bin/sh\nexit 0\n", "not an ELF file" },
        { "empty.so", "", "not an ELF file" },
        { "header-only.so", module.substr(0, sizeof(ElfW(Ehdr))), "program headers lie outside the file" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const fs::path path = folder / c.file;
        damaged::WriteBytes(path, c.bytes);
        testing::internal::CaptureStderr();
        EXPECT_FALSE(lx::RunPluginModule(path));
        const std::string report = testing::internal::GetCapturedStderr();
        EXPECT_NE(report.find(path.string()), std::string::npos) << report;
        EXPECT_NE(report.find(c.reason), std::string::npos) << report;
        EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 1) << report;
    }
    fs::remove_all(folder);
    // The intact module passes the same checks.
    EXPECT_EQ(lx::ModuleFileProblem(LOADER_TEST_MODULE), "");
}

TEST(PluginLoader, NamesLikeModulesThatAreNotFilesAreReportedWithTheirReason)
{
    namespace fs = std::filesystem;
    // Of this process alone: other runs of the suite may share the folder for temporary files.
    const fs::path folder = fs::path(testing::TempDir()) / ("odd-plugins-" + std::to_string(getpid()));
    fs::create_directories(folder / "folder.so");
    fs::create_symlink(folder / "nowhere", folder / "dangling.so");
    damaged::WriteBytes(folder / "notes.txt", "not named like a module, so not a word");

    testing::internal::CaptureStderr();
    lx::RunPluginFolder(folder);
    const std::string report = testing::internal::GetCapturedStderr();
    fs::remove_all(folder);

    EXPECT_EQ(std::count(report.begin(), report.end(), '\n'), 2) << report;
    EXPECT_NE(report.find((folder / "dangling.so").string() + " not loaded: it is a symbolic link to nothing"),
        std::string::npos)
        << report;
    EXPECT_NE(report.find((folder / "folder.so").string() + " not loaded: it is a directory"), std::string::npos)
        << report;
}

TEST(PluginLoader, ModuleThatLoadsButCannotRegisterIsReportedWithItsReason)
{
    const struct {
        const char* path;
        const char* reason;
    } cases[] = {
        { "/nonexistent/plugins/gone.so", "cannot be read" },
        { LOADER_NO_ENTRY_MODULE, "has no VANTPluginMain" },
        { LOADER_OLD_MODULE, "records are of version 8, not 9" },
    };
    lx::RuntimeInit();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        testing::internal::CaptureStderr();
        EXPECT_FALSE(lx::RunPluginModule(c.path));
        const std::string report = testing::internal::GetCapturedStderr();
        EXPECT_NE(report.find(c.path), std::string::npos) << report;
        EXPECT_NE(report.find(c.reason), std::string::npos) << report;
    }
    EXPECT_EQ(lx::FindClass("OldWidget"), nullptr);
}
