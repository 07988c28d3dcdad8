#include "TestSupport.h"

#include <lxframework/EntryPoint.h>
#include <lxframework/Picture.h>
#include <lxframework/Property.h>

#include <gtest/gtest.h>

#include <limits>

using namespace lx;

namespace {

const LxEntryPoint* Entry(std::string_view binding)
{
    SetUpTestPlugin();
    return RuntimeLookupPluginEntrypoint(binding);
}

template <class T> void ExpectThrows(const std::function<void()>& call)
{
    try {
        call();
        ADD_FAILURE() << "no exception";
    } catch (const Exception& exception) {
        EXPECT_TRUE(exception.Is<T>()) << exception.what();
    }
}

}

TEST(EntryPoint, BindingNamesFollowTheRows)
{
    struct Row {
        const char* binding;
        LxEntryKind kind;
    };
    const Row rows[] = {
        { "TestVector.Length() as Double", LxEntryMethod },
        { "TestVector.Length() as Double.Set", LxEntryAssign },
        { "TestVector.X.Get", LxEntryGetter },
        { "TestVector.Z.Set", LxEntrySetter },
        { "TestElement.__init", LxEntryConstructor },
        { "TestMesh.__exit", LxEntryDestructor },
        { "TestMesh.Events.Render", LxEntryEventInstance },
        { "TestElement.Size.Get", LxEntryGetter },
        { "TestSpace.Click(X as Integer, Y as Integer) as Boolean", LxEntryMethod },
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.binding);
        EXPECT_EQ(Entry(row.binding)->kind, uint32_t(row.kind));
    }
    // Fields have no binding, nor has a read-only property's setter; names match byte for byte.
    for (const char* missing :
        { "TestElement.Count.Get", "TestElement.Size.Set", "TestVector.length() as Double", "_" })
        EXPECT_EQ(Entry(missing)->kind, uint32_t(LxEntryUnbound)) << missing;
}

TEST(EntryPoint, SharedAccessorGetsItsRowParameter)
{
    Ref<Object> vector = NewObject("TestVector");
    Call(Entry("TestVector.Z.Set"), vector.Get(), 4.0);
    Call(Entry("TestVector.X.Set"), vector.Get(), 3.0);
    EXPECT_EQ(Call<double>(Entry("TestVector.Length() as Double"), vector.Get()), 5.0);
    EXPECT_EQ(Call<double>(Entry("TestVector.Z.Get"), vector.Get()), 4.0);
    Call(Entry("TestVector.Length() as Double.Set"), vector.Get(), 10.0);
    EXPECT_EQ(Call<double>(Entry("TestVector.X.Get"), vector.Get()), 6.0);
}

TEST(EntryPoint, ByRefParametersWriteTheCallersVariables)
{
    Ref<Object> vector = NewObject("TestVector");
    Call(Entry("TestVector.X.Set"), vector.Get(), 1.5);
    Call(Entry("TestVector.Y.Set"), vector.Get(), -2.0);
    double x = 0, y = 0;
    Call(Entry("TestVector.GetXY(ByRef x as Double, ByRef y as Double)"), vector.Get(), &x, &y);
    EXPECT_EQ(x, 1.5);
    EXPECT_EQ(y, -2.0);
}

TEST(EntryPoint, ObjectResultIsANewReferenceOwnedByTheCaller)
{
    Ref<Object> a = NewObject("TestVector");
    Ref<Object> sum = Call<Ref<Object>>(Entry("TestVector.Plus(vector as TestVector) as TestVector"), a.Get(), a);
    ASSERT_TRUE(sum);
    EXPECT_EQ(sum->ReferenceCount(), 1);
    EXPECT_EQ(a->ReferenceCount(), 1);
}

TEST(EntryPoint, PluginExceptionIsThrownAfterTheCallReturns)
{
    Ref<Object> vector = NewObject("TestVector");
    ExpectThrows<OutOfBoundsException>(
        [&] { Call<double>(Entry("TestVector.Item(index as Integer) As Double"), vector.Get(), 3); });
    ExpectThrows<NilObjectException>([&] {
        Call<Ref<Object>>(Entry("TestVector.Plus(vector as TestVector) as TestVector"), vector.Get(), Ref<Object>());
    });
    EXPECT_FALSE(HasPendingException());
}

TEST(EntryPoint, CppExceptionLeavingThePluginIsThrownAsRuntimeExceptionWithItsMessage)
{
    // What the plug-in let out, as the caller meets it: the framework's own exception.
    auto messageOf = [](const std::function<void()>& call) -> std::string {
        try {
            call();
        } catch (const Exception& exception) {
            const auto* raised = dynamic_cast<const RuntimeException*>(exception.ExceptionObject().Get());
            EXPECT_EQ(exception.ExceptionObject()->ObjectClass().Name(), "RuntimeException");
            return raised ? raised->Message : "not a RuntimeException";
        } catch (...) {
            return "a C++ exception";
        }
        return "nothing";
    };
    // A method and a setter through the entry-point table.
    Ref<Object> vector = NewObject("TestVector");
    const LxEntryPoint* repeat = Entry("TestVector.Repeat(count as Integer) as TestVector");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(messageOf([&] { Call<Ref<Object>>(repeat, vector.Get(), -1); }), "cannot make -1 copies");
    EXPECT_EQ(messageOf([&] { Call(Entry("TestVector.X.Set"), vector.Get(), nan); }), "a coordinate cannot be NaN");
    // A setter and a getter through the class record.
    const Property& x = *FindClass("TestVector")->FindProperty("X");
    EXPECT_EQ(messageOf([&] { SetProperty(*vector, x, nan); }), "a coordinate cannot be NaN");
    EXPECT_EQ(GetProperty<double>(*vector, x), 0.0);
    Ref<Object> element = NewObject("TestElement");
    testplugin::Element(ToLx(element.Get())).count = INT32_MAX;
    const Property& size = *FindClass("TestElement")->FindProperty("Size");
    EXPECT_EQ(messageOf([&] { GetProperty<int32_t>(*element, size); }), "the size does not fit");
    // A constructor: the object is not made, and its destructor's failure is logged, not thrown.
    DebugLogCapture log;
    EXPECT_EQ(messageOf([] { NewObject("TestFragile"); }), "std::bad_alloc");
    EXPECT_EQ(
        log.Lines(), std::vector<std::string> { "an exception raised by a destructor was dropped: RuntimeException" });
    EXPECT_FALSE(HasPendingException());
}

TEST(EntryPoint, ResultReturnedWithAnExceptionIsReleased)
{
    // The sanitizer run's leak check sees the result if the helper keeps it.
    Ref<Object> vector = NewObject("TestVector");
    ExpectThrows<OutOfBoundsException>(
        [&] { Call<Ref<Object>>(Entry("TestVector.CopyAndComplain as TestVector"), vector.Get()); });
}

TEST(EntryPoint, OrderlyErrorsInsteadOfBadCalls)
{
    Ref<Object> element = NewObject("TestElement");
    // A name that matched nothing keeps its name and fails when called.
    const LxEntryPoint* unbound = Entry("BevelButton.Caption.Set");
    EXPECT_STREQ(unbound->binding, "BevelButton.Caption.Set");
    ExpectThrows<UnboundEntryPointException>([&] { Call(unbound, element.Get(), int32_t(1)); });
    ExpectThrows<UnboundEntryPointException>([&] { Call(nullptr, element.Get()); });
    ExpectThrows<NilObjectException>([&] { Call<double>(Entry("TestVector.X.Get"), nullptr); });
    // The framework alone runs constructors: a second run would leak what the first made.
    ExpectThrows<RuntimeException>([&] { Call(Entry("TestElement.__init"), element.Get()); });
    // The plug-in would read a vector's data out of an element.
    ExpectThrows<IllegalCastException>([&] { Call<double>(Entry("TestVector.X.Get"), element.Get()); });
}

TEST(EntryPoint, ObjectArgumentOfAnotherClassIsRefusedBeforeThePluginRuns)
{
    const LxEntryPoint* attach
        = Entry("TestElement.Attach(vector as TestVector, tag as Integer, picture as Picture, shape as Shape) as Integer");
    Ref<Object> element = NewObject("TestElement");
    Ref<Object> vector = NewObject("TestVector");
    Ref<Object> mesh = NewObject("TestMesh");
    Ref<Object> picture = Picture::New(2, 2);
    const Ref<Object> nil;
    // Nil goes through for the plug-in to handle; an undeclared class (an
    // interface) cannot be checked and takes any object.
    EXPECT_EQ(Call<int32_t>(attach, element.Get(), vector, 1, picture, mesh), 1);
    EXPECT_EQ(Call<int32_t>(attach, element.Get(), nil, 1, nil, nil), 2);
    // The plug-in would read a vector's data out of a mesh, a picture out of a vector.
    ExpectThrows<IllegalCastException>([&] { Call<int32_t>(attach, element.Get(), mesh, 1, picture, nil); });
    ExpectThrows<IllegalCastException>([&] { Call<int32_t>(attach, element.Get(), vector, 1, vector, nil); });
    EXPECT_EQ(testplugin::Element(ToLx(element.Get())).count, 2);
}

TEST(EntryPoint, AssignedObjectOfAnotherClassIsRefusedBeforeThePluginRuns)
{
    Ref<Object> element = NewObject("TestElement");
    Ref<Object> vector = NewObject("TestVector");
    Ref<Object> mesh = NewObject("TestMesh");
    LxObject* position = testplugin::Element(ToLx(element.Get())).position;
    const Property& target = *FindClass("TestElement")->FindProperty("Target");
    ExpectThrows<IllegalCastException>(
        [&] { Call(Entry("TestElement.Anchor(index as Integer) as TestVector.Set"), element.Get(), 0, mesh); });
    ExpectThrows<IllegalCastException>([&] { Call(Entry("TestElement.Target.Set"), element.Get(), mesh); });
    ExpectThrows<IllegalCastException>([&] { SetProperty(*element, target, mesh); });
    EXPECT_EQ(testplugin::Element(ToLx(element.Get())).position, position);
    EXPECT_EQ(mesh->ReferenceCount(), 1);
    // Both forms do reach the plug-in with an object of the declared class.
    Call(Entry("TestElement.Anchor(index as Integer) as TestVector.Set"), element.Get(), 0, vector);
    EXPECT_EQ(testplugin::Element(ToLx(element.Get())).position, ToLx(vector.Get()));
    SetProperty(*element, target, NewObject("TestVector"));
    EXPECT_NE(testplugin::Element(ToLx(element.Get())).position, ToLx(vector.Get()));
}
