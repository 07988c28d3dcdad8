// Every LX3D member that takes an object reads that object's data at the
// offset of the class it declares, so the host must refuse an object of any
// other class before the member runs. The members are found from the
// registered records, so a new one is covered without a new line here.

#include "Lx3DView.h"

#include "Declaration.h"

#include <array>
#include <span>

namespace {

// One object-typed value of a member: its binding, its place among the values
// the call passes and the class it declares.
struct ObjectValue {
    std::string binding;
    std::size_t position = 0;
    std::size_t count = 0;
    const lx::Class* declared = nullptr;
};

void AddMethodValues(const char* className, std::span<const LxMethodRow> rows, std::vector<ObjectValue>& values)
{
    for (const LxMethodRow& row : rows) {
        auto declaration = lx::ParseDeclaration(row.declaration);
        ASSERT_TRUE(declaration) << row.declaration;
        const std::string binding = std::string(className) + "." + row.declaration;
        std::vector<std::string> types;
        for (const auto& parameter : declaration->parameters)
            types.push_back(parameter.byRef ? "ByRef" : parameter.type);
        auto add = [&](const std::string& name, const std::vector<std::string>& passed) {
            for (std::size_t i = 0; i < passed.size(); ++i) {
                const lx::Class* cls = lx::FindClass(passed[i]);
                if (cls && cls->IsComplete())
                    values.push_back({ name, i, passed.size(), cls });
            }
        };
        add(binding, types);
        if (row.setter) {
            types.push_back(declaration->resultType);
            add(binding + ".Set", types);
        }
    }
}

// Every object-typed value of every LX3D method, assigning form and property
// setter with a function.
std::vector<ObjectValue> ObjectValues()
{
    LoadLx3D();
    std::vector<ObjectValue> values;
    for (const char* name : Lx3DClassNames) {
        const lx::Class* cls = lx::FindClass(name);
        EXPECT_TRUE(cls && (cls->Record() || cls->ControlRecord())) << name;
        if (!cls)
            continue;
        AddMethodValues(name, MethodRows(*cls), values);
        for (const LxPropertyRow& row : PropertyRows(*cls)) {
            const lx::Class* type = lx::FindClass(row.type);
            if (type && row.setter && row.setter != LxFieldAccessor)
                values.push_back({ std::string(name) + "." + row.name + ".Set", 0, 1, type });
        }
    }
    return values;
}

// An object of the first of these classes that is not the declared one.
ObjectRef ObjectNotA(const lx::Class& declared)
{
    for (const char* name : { "Quaternion", "Vector3D" }) {
        ObjectRef object = NewObject(name);
        if (!object->IsA(declared))
            return object;
    }
    return nullptr;
}

// Calls through the entry point with `count` values, all nil but one.
void CallWith(const ObjectValue& value, lx::Object* self, const ObjectRef& object)
{
    std::array<ObjectRef, 6> v {};
    ASSERT_LE(value.count, v.size());
    v[value.position] = object;
    const LxEntryPoint* entry = lx::RuntimeLookupPluginEntrypoint(value.binding);
    switch (value.count) {
    case 1:
        return lx::Call(entry, self, v[0]);
    case 2:
        return lx::Call(entry, self, v[0], v[1]);
    case 3:
        return lx::Call(entry, self, v[0], v[1], v[2]);
    case 4:
        return lx::Call(entry, self, v[0], v[1], v[2], v[3]);
    default:
        FAIL() << value.binding << " takes more values than this test passes";
    }
}

}

using ArgumentClassView = ViewFixture;

TEST(ArgumentClass, EveryObjectParameterRefusesAnotherClassBeforeTheMemberRuns)
{
    const std::vector<ObjectValue> values = ObjectValues();
    // The members the sound behaviour was first missed on are among them.
    auto has = [&](std::string_view binding) {
        return std::any_of(values.begin(), values.end(), [&](const auto& v) { return v.binding == binding; });
    };
    EXPECT_TRUE(has("Lx3DSpace.AddLight(light as Light3D)"));
    EXPECT_TRUE(has("Lx3DSpace.Light(index as Integer) As Light3D.Set"));
    EXPECT_TRUE(has("Group3D.Append(elem as Element3D)"));
    EXPECT_TRUE(has("Trimesh.Material.Set"));
    for (const ObjectValue& value : values) {
        SCOPED_TRACE(value.binding + ", value " + std::to_string(value.position));
        const std::string owner = value.binding.substr(0, value.binding.find('.'));
        ObjectRef self = NewObject(owner.c_str());
        ObjectRef wrong = ObjectNotA(*value.declared);
        ASSERT_TRUE(wrong);
        // The member would read the wrong object's data out of its bounds: the
        // sanitizer run sees that if the call gets through.
        EXPECT_EQ(RaisedBy([&] { CallWith(value, self.Get(), wrong); }), "IllegalCastException");
        EXPECT_EQ(wrong->ReferenceCount(), 1);
        // An object of the declared class passes the same check.
        std::vector<const lx::Object*> passed(value.count, nullptr);
        ObjectRef right = lx::RuntimeNewObject(*value.declared);
        passed[value.position] = right.Get();
        EXPECT_NO_THROW(lx::detail::CheckEntryCall(
            lx::RuntimeLookupPluginEntrypoint(value.binding), self.Get(), passed, false));
    }
}

TEST_F(ArgumentClassView, RefusedObjectsChangeNothing)
{
    Open();
    ObjectRef light = NewObject("Light3D");
    ObjectRef vector = NewVector(1, 2, 3);
    Invoke("Lx3DSpace.AddLight(light as Light3D)", view.Get(), light.Get());
    const std::string cast = "IllegalCastException";
    EXPECT_EQ(RaisedBy([&] { Invoke("Lx3DSpace.AddLight(light as Light3D)", view.Get(), vector.Get()); }), cast);
    EXPECT_EQ(RaisedBy([&] {
        Invoke("Lx3DSpace.Light(index as Integer) As Light3D.Set", view.Get(), 0, vector.Get());
    }),
        cast);
    EXPECT_EQ(Get<int32_t>(*view, "LightCount"), 1);
    EXPECT_EQ(InvokeObject("Lx3DSpace.Light(index as Integer) As Light3D", view.Get(), 0), light);
    Invoke("Lx3DSpace.RemoveLight(light as Light3D)", view.Get(), light.Get());

    ObjectRef group = NewObject("Group3D");
    EXPECT_EQ(RaisedBy([&] { Append(group.Get(), vector.Get()); }), cast);
    EXPECT_EQ(Count(group.Get()), 0);

    ObjectRef mesh = NewObject("Trimesh");
    EXPECT_EQ(RaisedBy([&] { Set<ObjectRef>(*mesh, "Material", vector); }), cast);
    ObjectRef position = Get<ObjectRef>(*light, "Position");
    EXPECT_EQ(RaisedBy([&] { Set<ObjectRef>(*light, "Position", NewObject("Quaternion")); }), cast);
    EXPECT_EQ(Get<ObjectRef>(*light, "Position"), position);
    EXPECT_EQ(vector->ReferenceCount(), 1);
}
