#include "TestSupport.h"

#include <lxframework/EntryPoint.h>

#include <gtest/gtest.h>

using namespace lx;

namespace {

// An application class that handles the plug-in's event itself.
class AppElement : public PluginObject { };
// Application subclasses of a class that handles the event, handling it too.
class AppElementChild : public PluginObject { };
class AppMeshChild : public PluginObject { };

const LxEntryPoint* Entry(std::string_view binding) { return RuntimeLookupPluginEntrypoint(binding); }

class EventTest : public testing::Test {
protected:
    void SetUp() override
    {
        SetUpTestPlugin();
        static bool registered = false;
        if (!registered) {
            registered = true;
            RegisterClass<AppElement>("AppElement", "TestElement").ImplementEvent("Render", Logger("AppElement"));
            RegisterClass<AppElementChild>("AppElementChild", "AppElement")
                .ImplementEvent("Render", Logger("AppElementChild"));
            RegisterClass<AppMeshChild>("AppMeshChild", "TestMesh").ImplementEvent("Render", Logger("AppMeshChild"));
        }
        testplugin::Log().clear();
    }

    static EventHandler Logger(std::string who)
    {
        return std::function<void(Object&, int32_t)>([who](Object&, int32_t view) {
            testplugin::Log().push_back(who + ".Render " + std::to_string(view));
        });
    }

    bool RaiseRender(const Ref<Object>& element, int32_t view)
    {
        return Call<bool>(Entry("TestElement.RaiseRender(view as Integer) as Boolean"), element.Get(), view);
    }
};

}

TEST_F(EventTest, PluginSubclassHandlerIsReturnedAsIs)
{
    Ref<Object> mesh = NewObject("AppMesh");
    EXPECT_TRUE(RaiseRender(mesh, 3));
    EXPECT_EQ(testplugin::Log().back(), "TestMesh.Render 3");
}

TEST_F(EventTest, ApplicationClassHandlerIsReachedThroughATrampoline)
{
    Ref<Object> element = New<AppElement>();
    EXPECT_TRUE(RaiseRender(element, 9));
    EXPECT_EQ(testplugin::Log().back(), "AppElement.Render 9");
}

TEST_F(EventTest, TheHandlerNearestTheDeclaringClassWins)
{
    // Once a class handles the event, neither its subclasses nor an object
    // of theirs can handle it again.
    Ref<Object> child = New<AppElementChild>();
    InstallEventHandler(*child, "Render", Logger("installed"));
    EXPECT_TRUE(RaiseRender(child, 4));
    EXPECT_EQ(testplugin::Log().back(), "AppElement.Render 4");
    Ref<Object> mesh = New<AppMeshChild>();
    EXPECT_TRUE(RaiseRender(mesh, 5));
    EXPECT_EQ(testplugin::Log().back(), "TestMesh.Render 5");
}

TEST_F(EventTest, AnEventOfAnotherClassHasNoHandlerHere)
{
    auto getEventInstance = reinterpret_cast<LxGetEventInstanceProc>(HostResolver("GetEventInstance"));
    Ref<Object> space = NewObject("TestSpace");
    InstallEventHandler(*space, "MouseDown", std::function<bool(Object&, int32_t, int32_t)>());
    const auto mouseDown = reinterpret_cast<uintptr_t>(FindClass("TestSpace")->FindEvent("MouseDown"));
    EXPECT_NE(getEventInstance(ToLx(space.Get()), mouseDown), nullptr);
    EXPECT_EQ(getEventInstance(ToLx(New<AppElement>().Get()), mouseDown), nullptr);
}

TEST_F(EventTest, UnhandledEventYieldsNoHandler)
{
    Ref<Object> element = NewObject("TestElement");
    EXPECT_FALSE(RaiseRender(element, 1));
    auto getEventInstance = reinterpret_cast<LxGetEventInstanceProc>(HostResolver("GetEventInstance"));
    // A host word the framework never issued finds nothing.
    EXPECT_EQ(getEventInstance(ToLx(element.Get()), 0x1234), nullptr);
}

TEST_F(EventTest, InstalledHandlersAreToldApartByEventNotSignature)
{
    Ref<Object> space = NewObject("TestSpace");
    std::vector<std::string> seen;
    auto record = [&](std::string what) {
        return std::function<void(Object&, int32_t, int32_t)>([&seen, what](Object&, int32_t x, int32_t y) {
            seen.push_back(what + " " + std::to_string(x) + "," + std::to_string(y));
        });
    };
    InstallEventHandler(
        *space, "MouseDown", std::function<bool(Object&, int32_t, int32_t)>([&](Object&, int32_t x, int32_t) {
            seen.push_back("down");
            return x > 0;
        }));
    InstallEventHandler(*space, "MouseDrag", record("drag"));
    InstallEventHandler(*space, "MouseUp", record("up"));

    EXPECT_TRUE(Call<bool>(Entry("TestSpace.Click(X as Integer, Y as Integer) as Boolean"), space.Get(), 5, 6));
    EXPECT_FALSE(Call<bool>(Entry("TestSpace.Click(X as Integer, Y as Integer) as Boolean"), space.Get(), -1, 6));
    Call(Entry("TestSpace.Drag(X as Integer, Y as Integer)"), space.Get(), 1, 2);
    Call(Entry("TestSpace.Release(X as Integer, Y as Integer)"), space.Get(), 3, 4);
    std::vector<std::string> expected { "down", "down", "drag 1,2", "up 3,4" };
    EXPECT_EQ(seen, expected);
}

TEST_F(EventTest, HandlerOfTheWrongShapeIsRefused)
{
    Ref<Object> space = NewObject("TestSpace");
    EXPECT_THROW(InstallEventHandler(*space, "MouseUp", std::function<bool(Object&, int32_t, int32_t)>()), Exception);
    EXPECT_THROW(InstallEventHandler(*space, "Resize", std::function<void(Object&)>()), Exception);
}

TEST_F(EventTest, HandlerExceptionCrossesThePluginAsPendingAndIsThrownAfter)
{
    Ref<Object> space = NewObject("TestSpace");
    int downs = 0;
    InstallEventHandler(
        *space, "MouseDown", std::function<bool(Object&, int32_t, int32_t)>([&](Object&, int32_t, int32_t) -> bool {
            ++downs;
            Throw<OutOfBoundsException>("from the handler");
        }));
    try {
        Call<bool>(Entry("TestSpace.Click(X as Integer, Y as Integer) as Boolean"), space.Get(), 1, 1);
        FAIL() << "no exception";
    } catch (const Exception& exception) {
        EXPECT_TRUE(exception.Is<OutOfBoundsException>());
    }
    EXPECT_EQ(downs, 1);

    // An exception that is not the framework's own comes out as a RuntimeException with its message.
    InstallEventHandler(*space, "MouseUp",
        std::function<void(Object&, int32_t, int32_t)>(
            [](Object&, int32_t, int32_t) { throw std::runtime_error("the handler gave up"); }));
    try {
        Call(Entry("TestSpace.Release(X as Integer, Y as Integer)"), space.Get(), 1, 1);
        FAIL() << "no exception";
    } catch (const Exception& exception) {
        const auto* raised = dynamic_cast<const RuntimeException*>(exception.ExceptionObject().Get());
        ASSERT_TRUE(raised);
        EXPECT_EQ(raised->Message, "the handler gave up");
    }

    // While an exception is pending the application is unwinding: no handler runs.
    RaisePending(New<RuntimeException>());
    auto click = reinterpret_cast<LxBehaviourMouseDownProc>(
        Entry("TestSpace.Click(X as Integer, Y as Integer) as Boolean")->function);
    EXPECT_EQ(click(ToLx(space.Get()), 1, 1), 0);
    EXPECT_EQ(downs, 1);
    TakePendingException();
}
