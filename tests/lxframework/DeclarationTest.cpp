#include "Declaration.h"

#include <gtest/gtest.h>

using namespace lx;

namespace {

struct Case {
    const char* label;
    const char* text;
    const char* name;
    std::vector<std::string> parameterTypes;
    const char* result;
};

const Case WellFormed[] = {
    { "no list", "Update", "Update", {}, "" },
    { "no list, result", "GetPicture as Picture", "GetPicture", {}, "Picture" },
    { "empty list", "ViewHandle() As Integer", "ViewHandle", {}, "Integer" },
    { "blanks inside", "Render( ViewObject as Integer )", "Render", { "Integer" }, "" },
    { "mixed case keyword", "Light(index as Integer) As Light3D", "Light", { "Integer" }, "Light3D" },
    { "default value", "AddShapeFromString(data as String, insertPos as Integer=-1)", "AddShapeFromString",
        { "String", "Integer" }, "" },
    { "byref", "GetUV(index as Integer, ByRef u as Double, ByRef v as Double)", "GetUV",
        { "Integer", "Double", "Double" }, "" },
};

const char* const Malformed[] = {
    "",
    "(x as Integer)",
    "Foo(x Integer)",
    "Foo(x as Integer",
    "Foo as",
    "Foo(a as Integer,)",
    "Foo(a as Integer=)",
    "Foo bar",
};

}

TEST(Declaration, WellFormedStringsParse)
{
    for (const Case& c : WellFormed) {
        SCOPED_TRACE(c.label);
        auto declaration = ParseDeclaration(c.text);
        ASSERT_TRUE(declaration);
        EXPECT_EQ(declaration->name, c.name);
        std::vector<std::string> types;
        for (const auto& parameter : declaration->parameters)
            types.push_back(parameter.type);
        EXPECT_EQ(types, c.parameterTypes);
        EXPECT_EQ(declaration->resultType, c.result);
    }
}

TEST(Declaration, ByRefAndDefaultsAreKept)
{
    auto getUV = ParseDeclaration("GetUV(index as Integer, ByRef u as Double, ByRef v as Double)");
    ASSERT_TRUE(getUV);
    EXPECT_FALSE(getUV->parameters[0].byRef);
    EXPECT_TRUE(getUV->parameters[1].byRef);
    EXPECT_EQ(getUV->parameters[2].name, "v");
    auto add = ParseDeclaration("AddShapePicture(image as Picture, scale as Double, insertPos as Integer=-1)");
    ASSERT_TRUE(add);
    EXPECT_EQ(add->parameters[2].defaultValue, "-1");
    EXPECT_EQ(add->parameters[2].type, "Integer");
}

TEST(Declaration, MalformedStringsAreRejected)
{
    for (const char* text : Malformed) {
        SCOPED_TRACE(text);
        EXPECT_FALSE(ParseDeclaration(text));
    }
}
