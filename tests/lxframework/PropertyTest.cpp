#include "TestSupport.h"

#include <lxframework/Class.h>
#include <lxframework/Property.h>
#include <lxframework/Settings.h>

#include <gtest/gtest.h>

using namespace lx;

namespace {

const Property& ElementProperty(const char* name)
{
    SetUpTestPlugin();
    return *FindClass("TestElement")->FindProperty(name);
}

}

TEST(Property, BooleanFieldWritesOneByteOnly)
{
    Ref<Object> element = NewObject("TestElement");
    SetProperty(*element, ElementProperty("Flag"), true);
    SetProperty(*element, ElementProperty("Visible"), false);
    testplugin::ElementData& data = testplugin::Element(ToLx(element.Get()));
    EXPECT_EQ(data.flag, 1);
    EXPECT_EQ(data.visible, 0);
    EXPECT_TRUE(GetProperty<bool>(*element, ElementProperty("Flag")));
    // A window's settings reach a plug-in's Boolean the same way.
    SetProperties(*element, { { "Flag", false }, { "Visible", true } });
    EXPECT_EQ(data.flag, 0);
    EXPECT_EQ(data.visible, 1);
}

TEST(Property, FieldsOfEveryWidthRoundTripThroughThePluginsView)
{
    Ref<Object> element = NewObject("TestElement");
    SetProperty(*element, ElementProperty("Count"), int32_t(-5));
    SetProperty(*element, ElementProperty("Weight"), 2.5);
    testplugin::ElementData& data = testplugin::Element(ToLx(element.Get()));
    EXPECT_EQ(data.count, -5);
    EXPECT_EQ(data.weight, 2.5);
    // The function getter reads what the host wrote into the field.
    EXPECT_EQ(GetProperty<int32_t>(*element, ElementProperty("Size")), -50);
}

TEST(Property, ObjectFieldGetReturnsANewReference)
{
    Ref<Object> element = NewObject("TestElement");
    Object* position = FromLx(testplugin::Element(ToLx(element.Get())).position);
    int32_t before = position->ReferenceCount();
    {
        Ref<Object> got = GetProperty<Ref<Object>>(*element, ElementProperty("Position"));
        EXPECT_EQ(got.Get(), position);
        EXPECT_EQ(position->ReferenceCount(), before + 1);
    }
    EXPECT_EQ(position->ReferenceCount(), before);
}

TEST(Property, ObjectFieldSetToItsOwnValueKeepsTheObject)
{
    Ref<Object> element = NewObject("TestElement");
    const Property& position = ElementProperty("Position");
    Ref<Object> vector = GetProperty<Ref<Object>>(*element, position);
    int32_t before = vector->ReferenceCount();
    SetProperty(*element, position, vector);
    EXPECT_EQ(vector->ReferenceCount(), before);

    Ref<Object> other = NewObject("TestVector");
    SetProperty(*element, position, other);
    EXPECT_EQ(vector->ReferenceCount(), before - 1);
    EXPECT_EQ(other->ReferenceCount(), 2);
    SetProperty(*element, position, Ref<Object>());
    EXPECT_EQ(other->ReferenceCount(), 1);
}

TEST(Property, ObjectFieldRefusesAnObjectOfAnotherClass)
{
    Ref<Object> element = NewObject("TestElement");
    Ref<Object> notAVector = NewObject("TestElement");
    try {
        SetProperty(*element, ElementProperty("Position"), notAVector);
        FAIL() << "no exception";
    } catch (const Exception& exception) {
        EXPECT_TRUE(exception.Is<IllegalCastException>());
    }
}

TEST(Property, AccessorSelectorPicksTheField)
{
    Ref<Object> vector = NewObject("TestVector");
    const Class& cls = *FindClass("TestVector");
    SetProperty(*vector, *cls.FindProperty("Y"), 3.0);
    EXPECT_EQ(testplugin::Vector(ToLx(vector.Get())).y, 3.0f);
    EXPECT_EQ(testplugin::Vector(ToLx(vector.Get())).x, 0.0f);
    EXPECT_EQ(GetProperty<double>(*vector, *cls.FindProperty("Y")), 3.0);
}

TEST(Property, MisuseThrowsInsteadOfTouchingMemory)
{
    Ref<Object> element = NewObject("TestElement");
    Ref<Object> vector = NewObject("TestVector");
    // Read-only, wrong C++ type, and an object of another class.
    EXPECT_THROW(SetProperty(*element, ElementProperty("Size"), int32_t(1)), Exception);
    EXPECT_THROW(GetProperty<double>(*element, ElementProperty("Count")), Exception);
    EXPECT_THROW(GetProperty<int32_t>(*vector, ElementProperty("Count")), Exception);
}
