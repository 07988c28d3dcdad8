#include "TestSupport.h"

#include <lxframework/Class.h>

#include <gtest/gtest.h>

using namespace lx;

namespace {

class ClassRecordTest : public testing::Test {
protected:
    void SetUp() override
    {
        SetUpTestPlugin();
        TestPlugin::Log().clear();
    }
};

char* Address(const Ref<Object>& object) { return reinterpret_cast<char*>(object.Get()); }

}

TEST_F(ClassRecordTest, DataBlocksSitInFrontOfTheObjectAtOffsetsSharedBySubclasses)
{
    EXPECT_LT(TestPlugin::ElementRecord.dataOffset, 0);
    EXPECT_EQ(TestPlugin::ElementRecord.dataOffset % 16, 0);
    // The subclass's block lies further out, so the superclass's stays put.
    EXPECT_LE(TestPlugin::MeshRecord.dataOffset,
        TestPlugin::ElementRecord.dataOffset - intptr_t(sizeof(TestPlugin::MeshData)));
    EXPECT_EQ(FindClass("TestMesh")->DataOffset(), TestPlugin::MeshRecord.dataOffset);

    Ref<Object> app = NewObject("AppMesh");
    // The plug-in reaches the element data of an application object with the
    // offset it learnt at registration, and the app's members are untouched.
    TestPlugin::Element(ToLx(app.Get())).count = 42;
    EXPECT_EQ(*reinterpret_cast<int32_t*>(Address(app) + TestPlugin::ElementRecord.dataOffset), 42);
    EXPECT_EQ(static_cast<AppMesh*>(app.Get())->mIndex, 7);
}

TEST_F(ClassRecordTest, ConstructorsRunRootFirstAndDestructorsLeafFirst)
{
    NewObject("AppMesh").Reset();
    std::vector<std::string> expected { "TestElement.__init", "TestMesh.__init", "AppMesh()", "~AppMesh()",
        "TestMesh.__exit", "TestElement.__exit" };
    EXPECT_EQ(TestPlugin::Log(), expected);
}

TEST_F(ClassRecordTest, InstanceDataStartsZeroedApartFromConstructorDefaults)
{
    Ref<Object> element = NewObject("TestElement");
    TestPlugin::ElementData& data = TestPlugin::Element(ToLx(element.Get()));
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
    auto* data = reinterpret_cast<TestPlugin::SpaceData*>(Address(space) + TestPlugin::SpaceRecord.dataOffset);
    EXPECT_EQ(data->fieldOfView, TestPlugin::DefaultFieldOfView);
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
    registerClass(&wrongVersion);
    registerClass(&duplicate);
    registerClass(&orphan);
    RuntimeInitExternalClasses();

    EXPECT_EQ(FindClass("OldThing"), nullptr);
    EXPECT_EQ(FindClass("TestVector")->Record(), &TestPlugin::VectorRecord);
    EXPECT_EQ(duplicate.dataOffset, 0);
    EXPECT_EQ(FindClass("Orphan"), nullptr);
    EXPECT_GE(log.Lines().size(), 3u);
}

TEST_F(ClassRecordTest, FieldRowOutsideTheDataIsRefused)
{
    EXPECT_NE(FindClass("TestElement")->FindProperty("Weight"), nullptr);
    EXPECT_EQ(FindClass("TestElement")->FindProperty("Beyond"), nullptr);
}
