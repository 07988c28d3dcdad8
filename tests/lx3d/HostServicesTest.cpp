#include "FakeHost.h"

#include "HostServices.h"
#include "PluginMain.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace lx3d;

namespace {

class HostServicesTest : public testing::Test {
protected:
    void SetUp() override
    {
        Host().Reset();
        SetResolver(&FakeResolve);
    }

    bool Registered()
    {
        for (const auto& call : Host().calls) {
            if (call == "PluginRegisterControl Lx3DSpace")
                return true;
        }
        return false;
    }
};

}

TEST_F(HostServicesTest, VersionGate)
{
    struct Case {
        const char* label;
        double version;
        bool inRuntime;
        bool registers;
    };
    const Case cases[] = {
        { "built application, exactly the minimum", 2007.03, true, true },
        { "built application, older", 2007.02, true, false },
        { "built application, design-environment version", 5.9, true, false },
        { "design environment, exactly its minimum", 5.9, false, true },
        { "design environment, older", 5.8, false, false },
        { "not a number", std::nan(""), false, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        Host().calls.clear();
        Host().version = c.version;
        Host().inRuntime = c.inRuntime;
        RegisterPluginClasses();
        EXPECT_EQ(Registered(), c.registers);
    }
}

TEST_F(HostServicesTest, EntryPointAnnouncesItsVersionThenRegisters)
{
    VANTPluginMain(&FakeResolve);
    ASSERT_FALSE(Host().calls.empty());
    EXPECT_EQ(Host().calls.front(), "RegisterPluginVersion 9");
    EXPECT_EQ(Host().calls.back(), "PluginRegisterControl Lx3DSpace");
}

TEST_F(HostServicesTest, ClassesRegisterSuperclassesFirstThenTheView)
{
    VANTPluginMain(&FakeResolve);
    const std::vector<std::string> expected { "RegisterPluginVersion 9", "PluginRegisterClass Light3D",
        "PluginRegisterClass Vector3D", "PluginRegisterClass Bounds3D", "PluginRegisterClass Quaternion",
        "PluginRegisterClass Material", "PluginRegisterClass Element3D", "PluginRegisterClass Object3D",
        "PluginRegisterClass Group3D", "PluginRegisterClass VectorList", "PluginRegisterClass UVList",
        "PluginRegisterClass TriangleList", "PluginRegisterClass ColorList", "PluginRegisterClass Trimesh",
        "PluginRegisterControl Lx3DSpace" };
    EXPECT_EQ(Host().calls, expected);
}

TEST_F(HostServicesTest, MissingVersionAnnouncementStillRegisters)
{
    Host().withheld = { "RegisterPluginVersion" };
    VANTPluginMain(&FakeResolve);
    EXPECT_TRUE(Registered());
}

TEST_F(HostServicesTest, FailedLookupIsAskedAgainAndASuccessIsKept)
{
    HostService<LxGetLXVersionProc> service("VANTGetLXVersion");
    Host().withheld = { "VANTGetLXVersion" };
    EXPECT_EQ(service.Get(), nullptr);
    Host().withheld.clear();
    LxGetLXVersionProc found = service.Get();
    ASSERT_NE(found, nullptr);
    Host().withheld = { "VANTGetLXVersion" };
    EXPECT_EQ(service.Get(), found);
}

TEST_F(HostServicesTest, NullClassHandleMakesNothingWithoutAskingTheHost)
{
    EXPECT_EQ(CreateInstance(nullptr), nullptr);
    EXPECT_TRUE(Host().calls.empty());
    EXPECT_EQ(HostStringLength(nullptr), 0);
    EXPECT_TRUE(Host().calls.empty());
}

TEST_F(HostServicesTest, Vector3DClassHandleIsKeptOnceFound)
{
    EXPECT_EQ(NewVector3D(), nullptr);
    Host().classHandle = reinterpret_cast<LxClassHandle*>(0x2000);
    EXPECT_NE(NewVector3D(), nullptr);
    EXPECT_NE(NewVector3D(), nullptr);
    std::vector<std::string> expected { "pluginObjectType Vector3D", "pluginObjectType Vector3D", "CreateInstance",
        "CreateInstance" };
    EXPECT_EQ(Host().calls, expected);
}

TEST_F(HostServicesTest, MissingSameClassServiceSaysSoOnTheDebugChannel)
{
    Host().withheld = { "PluginNewOfSameClass" };
    testing::internal::CaptureStderr();
    EXPECT_EQ(PluginNewOfSameClass(reinterpret_cast<LxObject*>(0x3000)), nullptr);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "couldn't resolve PluginNewOfSameClass\n");
}

TEST_F(HostServicesTest, RaisedErrorPassesItsReferenceToTheHost)
{
    // Without a raise service the new exception is dropped again, not leaked.
    Host().withheld = { "RuntimeRaiseException" };
    RaisePluginError(PluginError::NilObject);
    std::vector<std::string> dropped { "PluginNewInstance NilObjectException", "VANTUnlockObject" };
    EXPECT_EQ(Host().calls, dropped);

    Host().calls.clear();
    Host().withheld.clear();
    RaisePluginError(PluginError::OutOfBounds);
    std::vector<std::string> raised { "PluginNewInstance OutOfBoundsException", "RuntimeRaiseException" };
    EXPECT_EQ(Host().calls, raised);
}

TEST_F(HostServicesTest, ClassDataAddsTheSignedOffset)
{
    LxClassRecord record {};
    record.dataOffset = -48;
    char object[64] = {};
    EXPECT_EQ(ClassData(reinterpret_cast<LxObject*>(object + 48), record), object);
}
