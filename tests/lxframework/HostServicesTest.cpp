#include "TestSupport.h"

#include <lxframework/String.h>

#include <gtest/gtest.h>

using namespace lx;

namespace {

template <class Proc> Proc Service(const char* name)
{
    SetUpTestPlugin();
    return reinterpret_cast<Proc>(HostResolver(name));
}

}

TEST(HostServices, ServicesNeedingWindowsOrPicturesAreNotOfferedYet)
{
    for (const char* name : { "lockPictureDescription", "drawPicturePrimitive", "GetControlBounds", "newPicture",
             "VANTGetWindowHandle", "NoSuchService" })
        EXPECT_EQ(HostResolver(name), nullptr) << name;
    EXPECT_EQ(HostResolver(nullptr), nullptr);
}

TEST(HostServices, LayersAboveCanAddServices)
{
    // The runtime's own layers add theirs first; a later registration replaces them.
    RuntimeInit();
    static int calls = 0;
    LxInvalidateControlProc invalidate = [](LxObject*) { ++calls; };
    RegisterHostService("VANTInvalidateControl", reinterpret_cast<LxFunction>(invalidate));
    Service<LxInvalidateControlProc>("VANTInvalidateControl")(nullptr);
    EXPECT_EQ(calls, 1);
}

TEST(HostServices, StringLengthCountsEmbeddedNulBytes)
{
    Ref<String> text = NewString(std::string_view("3DMF\0\0\0\x10", 8));
    EXPECT_EQ(Service<LxStringGetLengthProc>("StringGetLength")(ToLx(text.Get())), 8);
    EXPECT_EQ(std::string_view(Service<LxStringGetCStringProc>("StringGetCString")(ToLx(text.Get()))), "3DMF");
    EXPECT_EQ(Service<LxStringGetLengthProc>("StringGetLength")(nullptr), 0);
    // Anything but a string has no bytes to give.
    Ref<Object> vector = NewObject("TestVector");
    EXPECT_EQ(Service<LxStringGetCStringProc>("StringGetCString")(ToLx(vector.Get())), nullptr);
}

TEST(HostServices, ExceptionClassesAreCreatableByName)
{
    auto newInstance = Service<LxPluginNewInstanceProc>("PluginNewInstance");
    for (const char* name :
        { "OutOfBoundsException", "NilObjectException", "IllegalCastException", "RuntimeException" }) {
        Ref<Object> exception = Ref<Object>::Adopt(FromLx(newInstance(name)));
        ASSERT_TRUE(exception) << name;
        EXPECT_EQ(exception->ObjectClass().Name(), name);
        EXPECT_TRUE(dynamic_cast<RuntimeException*>(exception.Get()));
    }
    EXPECT_EQ(newInstance("NoSuchClass"), nullptr);
    EXPECT_EQ(newInstance(nullptr), nullptr);
}

TEST(HostServices, FirstRaisedExceptionWins)
{
    auto newInstance = Service<LxPluginNewInstanceProc>("PluginNewInstance");
    auto raise = Service<LxRuntimeRaiseExceptionProc>("RuntimeRaiseException");
    raise(nullptr);
    EXPECT_FALSE(HasPendingException());
    raise(newInstance("OutOfBoundsException"));
    raise(newInstance("NilObjectException"));
    try {
        ThrowPendingException();
        FAIL() << "nothing pending";
    } catch (const Exception& exception) {
        EXPECT_TRUE(exception.Is<OutOfBoundsException>());
    }
    EXPECT_FALSE(HasPendingException());
}

TEST(HostServices, ClassHandlesAndSameClassCreation)
{
    auto objectType = Service<LxPluginObjectTypeProc>("pluginObjectType");
    auto createInstance = Service<LxCreateInstanceProc>("CreateInstance");
    auto sameClass = Service<LxPluginNewOfSameClassProc>("PluginNewOfSameClass");
    EXPECT_EQ(createInstance(nullptr), nullptr);
    EXPECT_EQ(objectType("NoSuchClass"), nullptr);

    Ref<Object> vector = Ref<Object>::Adopt(FromLx(createInstance(objectType("TestVector"))));
    ASSERT_TRUE(vector);
    EXPECT_EQ(vector->ObjectClass().Name(), "TestVector");

    // The copy of an application object is of the application's class.
    Ref<Object> app = NewObject("AppMesh");
    Ref<Object> twin = Ref<Object>::Adopt(FromLx(sameClass(ToLx(app.Get()))));
    ASSERT_TRUE(twin);
    EXPECT_EQ(&twin->ObjectClass(), &app->ObjectClass());
    EXPECT_EQ(static_cast<AppMesh*>(twin.Get())->mIndex, 7);
}

TEST(HostServices, LockAndUnlockCountReferences)
{
    Ref<Object> vector = NewObject("TestVector");
    Service<LxLockObjectProc>("VANTLockObject")(ToLx(vector.Get()));
    EXPECT_EQ(vector->ReferenceCount(), 2);
    Service<LxUnlockObjectProc>("VANTUnlockObject")(ToLx(vector.Get()));
    EXPECT_EQ(vector->ReferenceCount(), 1);
    Service<LxUnlockObjectProc>("VANTUnlockObject")(nullptr);
}

TEST(HostServices, IntegerPropertiesReadByName)
{
    auto read = Service<LxGetPropValueIntProc>("VANTGetPropValueInt");
    Ref<Object> element = NewObject("TestElement");
    testplugin::Element(ToLx(element.Get())).count = 4;
    LxInteger value = 0;
    EXPECT_TRUE(read(ToLx(element.Get()), "Size", &value));
    EXPECT_EQ(value, 40);
    EXPECT_TRUE(read(ToLx(element.Get()), "Visible", &value));
    EXPECT_EQ(value, 1);
    value = 99;
    EXPECT_FALSE(read(ToLx(element.Get()), "Weight", &value));
    EXPECT_FALSE(read(ToLx(element.Get()), "Nothing", &value));
    EXPECT_EQ(value, 99);

    // A host class's own property, as a picture's "Transparent" will be.
    class Plain : public Object { };
    static bool registered = false;
    if (!registered) {
        registered = true;
        RegisterClass<Plain>("PlainHostThing").AddIntegerProperty("Transparent", [](Object&) { return 1; });
    }
    Ref<Object> plain = RuntimeNewObject(*FindClass("PlainHostThing"));
    EXPECT_TRUE(read(ToLx(plain.Get()), "Transparent", &value));
    EXPECT_EQ(value, 1);
}

TEST(HostServices, FrameworkVersionPassesThePluginsGate)
{
    EXPECT_TRUE(Service<LxInRuntimeProc>("VANTinRuntime")());
    EXPECT_GE(Service<LxGetLXVersionProc>("VANTGetLXVersion")(), 2007.03);
}
