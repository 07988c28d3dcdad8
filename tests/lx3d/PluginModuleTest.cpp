#include <lxframework/Class.h>
#include <lxframework/Runtime.h>

#include <cstdio>
#include <filesystem>
#include <gtest/gtest.h>
#include <sstream>

namespace {

std::filesystem::path ModulePath()
{
    return std::filesystem::read_symlink("/proc/self/exe").parent_path() / "plugins" / "lx3d.so";
}

}

TEST(PluginModule, LoadsFromThePluginsFolderAndRegistersTheView)
{
    lx::RuntimeInitExternalClasses();
    const lx::Class* space = lx::FindClass("Lx3DSpace");
    ASSERT_NE(space, nullptr);
    EXPECT_EQ(space->ClassKind(), lx::Class::Kind::PluginControl);
    ASSERT_NE(space->ControlRecord(), nullptr);
    EXPECT_EQ(space->ControlRecord()->defaultWidth, 256u);
    EXPECT_TRUE(space->NewInstance());
}

TEST(PluginModule, ExportsOnlyItsEntryPoint)
{
    std::string command = "nm -D --defined-only " + ModulePath().string();
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::vector<std::string> functions;
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) {
        std::istringstream fields(line);
        std::string address, type, name;
        if (fields >> address >> type >> name && (type == "T" || type == "W" || type == "i"))
            functions.push_back(name);
    }
    EXPECT_EQ(pclose(pipe), 0);
    EXPECT_EQ(functions, std::vector<std::string> { "VANTPluginMain" });
}
