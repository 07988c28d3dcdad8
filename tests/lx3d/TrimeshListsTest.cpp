#include "Lx3DScene.h"

#include <cstdlib>
#include <cstring>
#include <fstream>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

// The address sanitizer reserves far more address space than any limit
// on it leaves room for.
#if defined(__SANITIZE_ADDRESS__)
#define ADDRESS_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ADDRESS_SANITIZED 1
#endif
#endif

namespace {

ObjectRef Positions(lx::Object* mesh) { return InvokeObject("Trimesh.VertexPositions() as VectorList", mesh); }
ObjectRef Normals(lx::Object* mesh) { return InvokeObject("Trimesh.VertexNormals() as VectorList", mesh); }
ObjectRef Colors(lx::Object* mesh) { return InvokeObject("Trimesh.VertexColors() as ColorList", mesh); }
ObjectRef UVs(lx::Object* mesh) { return InvokeObject("Trimesh.VertexUVs() as UVList", mesh); }
ObjectRef Triangles(lx::Object* mesh) { return InvokeObject("Trimesh.Triangles() as TriangleList", mesh); }

ObjectRef MeshWithPoints(int32_t count)
{
    ObjectRef mesh = NewObject("Trimesh");
    Set<int32_t>(*mesh, "VertexCount", count);
    return mesh;
}

double X(lx::Object* list, int32_t index)
{
    return Invoke<double>("VectorList.X(index as Integer) as Double", list, index);
}

void SetXYZ(lx::Object* list, int32_t index, Vec v)
{
    Invoke("VectorList.SetXYZ(index as Integer, x as Double, y as Double, z as Double)", list, index, v.x, v.y, v.z);
}

Vec VectorAt(lx::Object* list, int32_t index)
{
    return Read(InvokeObject("VectorList.GetVector(index as Integer) as Vector3D", list, index).Get());
}

// A positions list over `count` points numbered (i, 10 i, 100 i).
ObjectRef NumberedPoints(int32_t count, ObjectRef& mesh)
{
    mesh = MeshWithPoints(count);
    ObjectRef list = Positions(mesh.Get());
    for (int32_t i = 0; i < count; ++i)
        SetXYZ(list.Get(), i, { double(i), 10.0 * i, 100.0 * i });
    return list;
}

}

TEST(Trimesh, FreshMeshIsEmpty)
{
    ObjectRef mesh = NewObject("Trimesh");
    EXPECT_EQ(Get<int32_t>(*mesh, "VertexCount"), 0);
    EXPECT_EQ(Get<int32_t>(*mesh, "TriangleCount"), 0);
    for (const char* presence : { "HasVertexColors", "HasVertexUVs", "HasVertexNormals" })
        EXPECT_FALSE(Get<bool>(*mesh, presence)) << presence;
    EXPECT_FALSE(Normals(mesh.Get()));
    EXPECT_FALSE(Colors(mesh.Get()));
    EXPECT_FALSE(UVs(mesh.Get()));
    ObjectRef positions = Positions(mesh.Get());
    ASSERT_TRUE(positions);
    EXPECT_EQ(RaisedBy([&] { X(positions.Get(), 0); }), "OutOfBoundsException");
    ObjectRef triangles = Triangles(mesh.Get());
    ASSERT_TRUE(triangles);
    EXPECT_EQ(RaisedBy([&] { Invoke<int32_t>("TriangleList.A(index as Integer) as Integer", triangles.Get(), 0); }),
        "OutOfBoundsException");
}

TEST(Trimesh, PositionsListIsCachedAndFollowsTheCount)
{
    ObjectRef mesh = MeshWithPoints(4);
    ObjectRef list = Positions(mesh.Get());
    EXPECT_EQ(Positions(mesh.Get()), list);
    SetXYZ(list.Get(), 3, { 1, 2, 3 });
    Set<int32_t>(*mesh, "VertexCount", 6);
    ExpectNear(VectorAt(list.Get(), 5), { 0, 0, 0 }, 0);
    ExpectNear(VectorAt(list.Get(), 3), { 0, 0, 0 }, 0);
    EXPECT_EQ(RaisedBy([&] { X(list.Get(), 6); }), "OutOfBoundsException");
}

TEST(Trimesh, AttributeListsComeAndGo)
{
    ObjectRef mesh = MeshWithPoints(4);
    Set<bool>(*mesh, "HasVertexNormals", true);
    ObjectRef normals = Normals(mesh.Get());
    ASSERT_TRUE(normals);
    ExpectNear(VectorAt(normals.Get(), 3), { 0, 0, 0 }, 0);
    Set<bool>(*mesh, "HasVertexNormals", false);
    EXPECT_EQ(RaisedBy([&] { X(normals.Get(), 0); }), "OutOfBoundsException");
    EXPECT_EQ(RaisedBy([&] { Invoke("VectorList.NormalizeAll()", normals.Get()); }), "");
    EXPECT_FALSE(Normals(mesh.Get()));
}

TEST(Trimesh, NewVertexCountDropsAttributesButNotTriangles)
{
    ObjectRef mesh = MeshWithPoints(4);
    Set<int32_t>(*mesh, "TriangleCount", 1);
    Invoke("TriangleList.SetABC(index as Integer, a as Integer, b as Integer, c as Integer)",
        Triangles(mesh.Get()).Get(), 0, 1, 2, 3);
    for (const char* presence : { "HasVertexColors", "HasVertexUVs", "HasVertexNormals" })
        Set<bool>(*mesh, presence, true);
    ObjectRef colors = Colors(mesh.Get());
    ObjectRef uvs = UVs(mesh.Get());
    SetXYZ(Positions(mesh.Get()).Get(), 0, { 7, 7, 7 });
    Set<int32_t>(*mesh, "VertexCount", 4);
    for (const char* presence : { "HasVertexColors", "HasVertexUVs", "HasVertexNormals" })
        EXPECT_FALSE(Get<bool>(*mesh, presence)) << presence;
    EXPECT_EQ(RaisedBy([&] { Invoke<lx::Color>("ColorList.Item(index as Integer) as Color", colors.Get(), 0); }),
        "OutOfBoundsException");
    EXPECT_EQ(RaisedBy([&] { Invoke<double>("UVList.U(index as Integer) as Double", uvs.Get(), 0); }),
        "OutOfBoundsException");
    ExpectNear(VectorAt(Positions(mesh.Get()).Get(), 0), { 0, 0, 0 }, 0);
    EXPECT_EQ(Invoke<int32_t>("TriangleList.C(index as Integer) as Integer", Triangles(mesh.Get()).Get(), 0), 3);
    // A new triangle count starts the triangles afresh.
    Set<int32_t>(*mesh, "TriangleCount", 2);
    EXPECT_EQ(Invoke<int32_t>("TriangleList.C(index as Integer) as Integer", Triangles(mesh.Get()).Get(), 0), 0);
}

TEST(Trimesh, UVPresence)
{
    ObjectRef mesh = MeshWithPoints(3);
    Set<bool>(*mesh, "HasVertexUVs", true);
    Set<bool>(*mesh, "HasVertexUVs", true);
    ObjectRef uvs = UVs(mesh.Get());
    ASSERT_TRUE(uvs);
    Invoke("UVList.SetUV(index as Integer, u as Double, v as Double)", uvs.Get(), 2, 0.25, 0.75);
    Set<bool>(*mesh, "HasVertexUVs", false);
    EXPECT_FALSE(Get<bool>(*mesh, "HasVertexUVs"));
    EXPECT_FALSE(UVs(mesh.Get()));
}

TEST(Trimesh, NegativeCountsRaiseAndChangeNothing)
{
    ObjectRef mesh = MeshWithPoints(4);
    EXPECT_EQ(RaisedBy([&] { Set<int32_t>(*mesh, "VertexCount", -1); }), "OutOfBoundsException");
    EXPECT_EQ(RaisedBy([&] { Set<int32_t>(*mesh, "TriangleCount", -1); }), "OutOfBoundsException");
    EXPECT_EQ(Get<int32_t>(*mesh, "VertexCount"), 4);
    EXPECT_EQ(Get<int32_t>(*mesh, "TriangleCount"), 0);
}

TEST(Trimesh, MeshesShareTheMaterialsSet)
{
    ObjectRef material = NewObject("Material");
    ObjectRef a = NewObject("Trimesh");
    ObjectRef b = NewObject("Trimesh");
    SetObject(*a, "Material", material.Get());
    SetObject(*b, "Material", material.Get());
    int32_t handle = Get<int32_t>(*material, "Handle");
    EXPECT_NE(handle, 0);
    EXPECT_EQ(Get<int32_t>(*Get<ObjectRef>(*a, "Material"), "Handle"), handle);
    EXPECT_EQ(Get<int32_t>(*Get<ObjectRef>(*b, "Material"), "Handle"), handle);

    // A mesh without a material makes a set that it then keeps.
    ObjectRef plain = NewObject("Trimesh");
    int32_t made = Get<int32_t>(*Get<ObjectRef>(*plain, "Material"), "Handle");
    EXPECT_NE(made, 0);
    EXPECT_EQ(Get<int32_t>(*Get<ObjectRef>(*plain, "Material"), "Handle"), made);

    SetObject(*a, "Material", nullptr);
    EXPECT_NE(Get<int32_t>(*Get<ObjectRef>(*a, "Material"), "Handle"), handle);
}

TEST(Trimesh, CornersOutsideThePointsAreStoredAndDrawnSafely)
{
    ObjectRef mesh = MeshWithPoints(3);
    Set<int32_t>(*mesh, "TriangleCount", 1);
    ObjectRef triangles = Triangles(mesh.Get());
    Invoke("TriangleList.SetABC(index as Integer, a as Integer, b as Integer, c as Integer)", triangles.Get(), 0, -1, 5,
        7);
    int32_t a = 0, b = 0, c = 0;
    Invoke("TriangleList.GetABC(index as Integer, ByRef a as Integer, ByRef b as Integer, ByRef c as Integer)",
        triangles.Get(), 0, &a, &b, &c);
    EXPECT_EQ(a, -1);
    EXPECT_EQ(b, 5);
    EXPECT_EQ(c, 7);
    InvokeObject("Element3D.ComputeBounds(type as Integer) as Bounds3D", mesh.Get(), 2);
}

namespace {

// The address space the process has mapped, in bytes.
rlim_t MappedBytes()
{
    std::ifstream statm("/proc/self/statm");
    rlim_t pages = 0;
    statm >> pages;
    return pages * rlim_t(sysconf(_SC_PAGESIZE));
}

// Runs `body` in a child process whose address space may grow by `room`
// bytes and no more; true when the child ends normally with no expectation
// failed and no exception escaped.
template <class Body> bool InLimitedChild(rlim_t room, Body body)
{
    const pid_t child = fork();
    if (child == 0) {
        const rlim_t most = MappedBytes() + room;
        const rlimit limit { most, most };
        setrlimit(RLIMIT_AS, &limit);
        try {
            body();
        } catch (...) {
            std::_Exit(2);
        }
        std::_Exit(testing::Test::HasFailure() ? 1 : 0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}

TEST(Trimesh, CountsAndBoundsBeyondMemoryComeOutEmpty)
{
#ifdef ADDRESS_SANITIZED
    GTEST_SKIP() << "an address-space limit cannot be set under the address sanitizer";
#endif
    constexpr rlim_t Room = 256 << 20;
    // Points of 12 bytes: just under 4 GB of them, and 96 MB, which fit
    // once in the room but not the three times more a sphere needs.
    constexpr int32_t TooMany = 357913941;
    constexpr int32_t Many = 8000000;
    const auto countAndBound = [&] {
        ObjectRef mesh = MeshWithPoints(TooMany);
        EXPECT_EQ(Get<int32_t>(*mesh, "VertexCount"), 0);
        Set<int32_t>(*mesh, "TriangleCount", TooMany);
        EXPECT_EQ(Get<int32_t>(*mesh, "TriangleCount"), 0);

        Set<int32_t>(*mesh, "VertexCount", Many);
        ASSERT_EQ(Get<int32_t>(*mesh, "VertexCount"), Many);
        Set<int32_t>(*mesh, "TriangleCount", 1);
        SetXYZ(Positions(mesh.Get()).Get(), Many - 1, { 4, 0, 0 });
        const char* computeBounds = "Element3D.ComputeBounds(type as Integer) as Bounds3D";
        // A box grows point by point and needs no room of its own.
        ObjectRef box = InvokeObject(computeBounds, mesh.Get(), 2);
        ExpectNear(Read(Get<ObjectRef>(*box, "Maximum").Get()), { 4, 0, 0 });
        ObjectRef sphere = InvokeObject(computeBounds, mesh.Get(), 1);
        EXPECT_EQ(Get<double>(*sphere, "Radius"), 0.0);
    };
    EXPECT_TRUE(InLimitedChild(Room, countAndBound));
}

TEST(MeshLists, IndexChecks)
{
    ObjectRef mesh = MeshWithPoints(4);
    Set<bool>(*mesh, "HasVertexUVs", true);
    ObjectRef list = Positions(mesh.Get());
    ObjectRef uvs = UVs(mesh.Get());
    EXPECT_EQ(RaisedBy([&] { X(list.Get(), 3); }), "");
    for (int32_t bad : { -1, 4 }) {
        double got = 1;
        EXPECT_EQ(RaisedBy([&] { got = X(list.Get(), bad); }), "OutOfBoundsException");
        EXPECT_EQ(got, 1) << "the call threw before returning";
        EXPECT_EQ(RaisedBy([&] {
            EXPECT_FALSE(InvokeObject("VectorList.GetVector(index as Integer) as Vector3D", list.Get(), bad));
        }),
            "OutOfBoundsException");
        double u = 9, v = 9;
        EXPECT_EQ(RaisedBy([&] {
            Invoke("UVList.GetUV(index as Integer, ByRef u as Double, ByRef v as Double)", uvs.Get(), bad, &u, &v);
        }),
            "OutOfBoundsException");
        EXPECT_EQ(u, 9);
        EXPECT_EQ(v, 9);
    }
}

TEST(MeshLists, BulkOperationsRunOverTheShorterList)
{
    ObjectRef meshes[3];
    ObjectRef five = NumberedPoints(5, meshes[0]);
    ObjectRef three = NumberedPoints(3, meshes[1]);
    ObjectRef four = NumberedPoints(4, meshes[2]);
    SetXYZ(three.Get(), 0, { 9, 9, 9 });
    Invoke("VectorList.Copy(otherList as VectorList)", five.Get(), three);
    ExpectNear(VectorAt(five.Get(), 0), { 9, 9, 9 }, 0);
    ExpectNear(VectorAt(five.Get(), 3), { 3, 30, 300 }, 0);

    Invoke("VectorList.SetToSum(otherList1 as VectorList, otherList2 as VectorList)", five.Get(), three, four);
    ExpectNear(VectorAt(five.Get(), 2), { 4, 40, 400 }, 0);
    ExpectNear(VectorAt(five.Get(), 3), { 3, 30, 300 }, 0);

    Invoke("VectorList.SetToSum(otherList1 as VectorList, otherList2 as VectorList)", four.Get(), four, four);
    ExpectNear(VectorAt(four.Get(), 3), { 6, 60, 600 }, 0);
    Invoke("VectorList.SetToDifference(otherList1 as VectorList, otherList2 as VectorList)", four.Get(), four, four);
    ExpectNear(VectorAt(four.Get(), 3), { 0, 0, 0 }, 0);
}

TEST(MeshLists, NilListsRaiseAndWriteNothing)
{
    ObjectRef mesh;
    ObjectRef list = NumberedPoints(3, mesh);
    EXPECT_EQ(
        RaisedBy([&] { Invoke("VectorList.Copy(otherList as VectorList)", list.Get(), Nil()); }), "NilObjectException");
    EXPECT_EQ(RaisedBy([&] { Invoke("VectorList.AddList(otherList as VectorList)", list.Get(), Nil()); }),
        "NilObjectException");
    EXPECT_EQ(RaisedBy([&] {
        Invoke("VectorList.SetToSum(otherList1 as VectorList, otherList2 as VectorList)", list.Get(), list, Nil());
    }),
        "NilObjectException");
    ExpectNear(VectorAt(list.Get(), 2), { 2, 20, 200 }, 0);
}

TEST(MeshLists, VectorBulkEdges)
{
    ObjectRef mesh;
    ObjectRef list = NumberedPoints(3, mesh);
    SetXYZ(list.Get(), 1, { 0.1, 0.2, 0.3 });
    Vec before = VectorAt(list.Get(), 1);
    Invoke("VectorList.MultiplyAllBy(factor as Double)", list.Get(), 1.0);
    Invoke("VectorList.AddToAll(delta as Vector3D)", list.Get(), NewVector(0, 0, 0));
    Invoke("VectorList.AddToAll(delta as Vector3D)", list.Get(), Nil());
    Vec after = VectorAt(list.Get(), 1);
    EXPECT_EQ(std::memcmp(&before, &after, sizeof before), 0);
    Invoke("VectorList.SetVector(index as Integer, newValue as Vector3D)", list.Get(), 2, Nil());
    ExpectNear(VectorAt(list.Get(), 2), { 0, 0, 0 }, 0);
    Invoke("VectorList.MultiplyAllBy(factor as Double)", list.Get(), 0.0);
    ExpectNear(VectorAt(list.Get(), 1), { 0, 0, 0 }, 0);
}

TEST(MeshLists, UVAddToAllByZeroChangesNothing)
{
    ObjectRef mesh = MeshWithPoints(2);
    Set<bool>(*mesh, "HasVertexUVs", true);
    ObjectRef uvs = UVs(mesh.Get());
    Invoke("UVList.SetUV(index as Integer, u as Double, v as Double)", uvs.Get(), 1, 0.1, 0.7);
    Invoke("UVList.AddToAll(du as Double, dv as Double)", uvs.Get(), 0.0, 0.0);
    EXPECT_EQ(Invoke<double>("UVList.U(index as Integer) as Double", uvs.Get(), 1), double(0.1f));
    Invoke("UVList.AddToAll(du as Double, dv as Double)", uvs.Get(), 0.5, 0.0);
    EXPECT_EQ(Invoke<double>("UVList.U(index as Integer) as Double", uvs.Get(), 1), double(float(double(0.1f) + 0.5)));
}

TEST(MeshLists, ColorPackingRoundTrips)
{
    ObjectRef mesh = MeshWithPoints(1);
    Set<bool>(*mesh, "HasVertexColors", true);
    ObjectRef colors = Colors(mesh.Get());
    const char* item = "ColorList.Item(index as Integer) as Color";
    for (uint32_t channel = 0; channel < 256; ++channel) {
        lx::Color color { channel << 16 | (255 - channel) << 8 | channel };
        Invoke(std::string(item) + ".Set", colors.Get(), 0, color);
        ASSERT_EQ(Invoke<lx::Color>(item, colors.Get(), 0), color) << channel;
    }
    Invoke(std::string(item) + ".Set", colors.Get(), 0, lx::Color { 0x808080 });
    Invoke("ColorList.AddRGBToAll(red as Integer, green as Integer, blue as Integer)", colors.Get(), 255, 0, -255);
    EXPECT_EQ(Invoke<lx::Color>(item, colors.Get(), 0), lx::Color { 0xFF8000 });
}
