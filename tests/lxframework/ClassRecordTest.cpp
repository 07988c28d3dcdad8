#include "TestSupport.h"

#include <lxframework/Class.h>

#include <gtest/gtest.h>

#include <algorithm>

using namespace lx;

namespace {

class ClassRecordTest : public testing::Test {
protected:
    void SetUp() override
    {
        SetUpTestPlugin();
        testplugin::Log().clear();
    }
};

char* Address(const Ref<Object>& object) { return reinterpret_cast<char*>(object.Get()); }

}

TEST_F(ClassRecordTest, DataBlocksSitInFrontOfTheObjectAtOffsetsSharedBySubclasses)
{
    EXPECT_LT(testplugin::ElementRecord.dataOffset, 0);
    EXPECT_EQ(testplugin::ElementRecord.dataOffset % 16, 0);
    // The subclass's block lies further out, so the superclass's stays put.
    EXPECT_LE(testplugin::MeshRecord.dataOffset,
        testplugin::ElementRecord.dataOffset - intptr_t(sizeof(testplugin::MeshData)));
    EXPECT_EQ(FindClass("TestMesh")->DataOffset(), testplugin::MeshRecord.dataOffset);

    Ref<Object> app = NewObject("AppMesh");
    // The plug-in reaches the element data of an application object with the
    // offset it learnt at registration, and the app's members are untouched.
    testplugin::Element(ToLx(app.Get())).count = 42;
    EXPECT_EQ(*reinterpret_cast<int32_t*>(Address(app) + testplugin::ElementRecord.dataOffset), 42);
    EXPECT_EQ(static_cast<AppMesh*>(app.Get())->mIndex, 7);
}

TEST_F(ClassRecordTest, ConstructorsRunRootFirstAndDestructorsLeafFirst)
{
    NewObject("AppMesh").Reset();
    std::vector<std::string> expected { "TestElement.__init", "TestMesh.__init", "AppMesh()", "~AppMesh()",
        "TestMesh.__exit", "TestElement.__exit" };
    EXPECT_EQ(testplugin::Log(), expected);
}

TEST_F(ClassRecordTest, InstanceDataStartsZeroedApartFromConstructorDefaults)
{
    Ref<Object> element = NewObject("TestElement");
    testplugin::ElementData& data = testplugin::Element(ToLx(element.Get()));
    EXPECT_EQ(data.count, 0);
    EXPECT_EQ(data.flag, 0);
    EXPECT_EQ(data.weight, 0.0);
    EXPECT_EQ(data.visible, 1);
    EXPECT_NE(data.position, nullptr);
}

TEST_F(ClassRecordTest, ApplicationStubIsCompletedByTheLaterRecord)
{
    const Class& app = *FindClass("AppMesh");
    ASSERT_TRUE(app.IsComplete());
    EXPECT_EQ(app.Super(), FindClass("TestMesh"));
    EXPECT_TRUE(app.IsSubclassOf(*FindClass("TestElement")));
}

TEST_F(ClassRecordTest, ControlBehaviourConstructRunsAtCreation)
{
    Ref<Object> space = NewObject("TestSpace");
    const Class& cls = space->ObjectClass();
    EXPECT_EQ(cls.ClassKind(), Class::Kind::PluginControl);
    auto* data = reinterpret_cast<testplugin::SpaceData*>(Address(space) + testplugin::SpaceRecord.dataOffset);
    EXPECT_EQ(data->fieldOfView, testplugin::DefaultFieldOfView);
}

TEST_F(ClassRecordTest, BadRecordsAreIgnored)
{
    DebugLogCapture log;
    auto registerClass = reinterpret_cast<LxPluginRegisterClassProc>(HostResolver("PluginRegisterClass"));
    static LxClassRecord wrongVersion
        = { 8, "OldThing", nullptr, 4, 0, nullptr, nullptr, nullptr, 0, nullptr, 0, nullptr, 0, nullptr, 0 };
    static LxClassRecord duplicate = { LxRecordVersion, "TestVector", nullptr, 64, 0, nullptr, nullptr, nullptr, 0,
        nullptr, 0, nullptr, 0, nullptr, 0 };
    static LxClassRecord orphan = { LxRecordVersion, "Orphan", "NeverRegistered", 4, 0, nullptr, nullptr, nullptr, 0,
        nullptr, 0, nullptr, 0, nullptr, 0 };
    static LxPropertyRow outside[] = { { nullptr, "Far", "Double", 0, LxFieldAccessor, LxFieldAccessor, 4 } };
    static LxClassRecord fieldOutside = { LxRecordVersion, "FieldOutside", nullptr, 8, 0, nullptr, nullptr, outside, 1,
        nullptr, 0, nullptr, 0, nullptr, 0 };
    registerClass(&wrongVersion);
    registerClass(&duplicate);
    registerClass(&orphan);
    registerClass(&fieldOutside);
    RuntimeInitExternalClasses();

    EXPECT_EQ(FindClass("OldThing"), nullptr);
    EXPECT_EQ(FindClass("TestVector")->Record(), &testplugin::VectorRecord);
    EXPECT_EQ(duplicate.dataOffset, 0);
    EXPECT_EQ(FindClass("Orphan"), nullptr);
    EXPECT_EQ(FindClass("FieldOutside")->FindProperty("Far"), nullptr);
    // The plug-in's author learns from the log what was refused, and why.
    const auto logged = [&](std::string_view part) {
        return std::ranges::any_of(
            log.Lines(), [&](const std::string& line) { return line.find(part) != std::string::npos; });
    };
    EXPECT_TRUE(logged("version 8"));
    EXPECT_TRUE(logged("TestVector"));
    EXPECT_TRUE(logged("NeverRegistered"));
    EXPECT_TRUE(logged("FieldOutside.Far"));
}

TEST_F(ClassRecordTest, FieldRowOutsideTheDataIsRefused)
{
    EXPECT_NE(FindClass("TestElement")->FindProperty("Weight"), nullptr);
    EXPECT_EQ(FindClass("TestElement")->FindProperty("Beyond"), nullptr);
}
