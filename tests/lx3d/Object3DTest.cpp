#include "Lx3DScene.h"
#include "PictureTexture.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <lxframework/String.h>

namespace {

int32_t ShapeCount(lx::Object& object) { return Get<int32_t>(object, "ShapeCount"); }

void AddPicture(lx::Object& object, lx::Picture& picture, int32_t position = -1)
{
    Invoke("Object3D.AddShapePicture(image as Picture, scale as Double, insertPos as Integer=-1)", &object,
        ObjectRef(&picture), 1.0, position);
}

void AddString(lx::Object& object, std::string_view data, int32_t position)
{
    Invoke("Object3D.AddShapeFromString(data as String, insertPos as Integer=-1)", &object,
        ObjectRef(lx::NewString(data)), position);
}

ObjectRef ObjectWithQuads(int count)
{
    ObjectRef object = NewObject("Object3D");
    auto picture = NewPicture(4, 4, 0x336699);
    for (int i = 0; i < count; ++i)
        AddPicture(*object, *picture);
    return object;
}

int32_t ShapeHandle(lx::Object& object, int32_t index)
{
    return Invoke<int32_t>("Object3D.GetShapeHandle(index as Integer) as Integer", &object, index);
}

}

TEST(Object3D, NewObjectHasNoShapes)
{
    ObjectRef object = NewObject("Object3D");
    EXPECT_EQ(ShapeCount(*object), 0);
    EXPECT_EQ(Get<int32_t>(*object, "Shape"), 0);
    EXPECT_EQ(Get<int32_t>(*object, "MaterialCount"), 0);
    EXPECT_EQ(Get<int32_t>(*object, "TrimeshCount"), 0);
    ObjectRef bounds = InvokeObject("Element3D.ComputeBounds(type as Integer) as Bounds3D", object.Get(), 2);
    EXPECT_EQ(Get<double>(*bounds, "Radius"), 0.0);
}

TEST(Object3D, PictureQuad)
{
    ObjectRef object = NewObject("Object3D");
    auto picture = NewPicture(300, 200, 0x204080);
    AddPicture(*object, *picture);
    ASSERT_EQ(ShapeCount(*object), 1);
    EXPECT_EQ(picture->DescriptionLocks, 0);

    ObjectRef bounds = InvokeObject("Element3D.ComputeBounds(type as Integer) as Bounds3D", object.Get(), 2);
    ExpectNear(Read(Get<ObjectRef>(*bounds, "Minimum").Get()), { -150, -100, 0 });
    ExpectNear(Read(Get<ObjectRef>(*bounds, "Maximum").Get()), { 150, 100, 0 });

    EXPECT_EQ(Get<int32_t>(*object, "TrimeshCount"), 1);
    ObjectRef mesh = InvokeObject("Object3D.Trimesh(index as Integer) as Trimesh", object.Get(), 0);
    ASSERT_TRUE(mesh);
    EXPECT_EQ(Get<int32_t>(*mesh, "VertexCount"), 4);
    EXPECT_EQ(Get<int32_t>(*mesh, "TriangleCount"), 2);
    ObjectRef triangles = InvokeObject("Trimesh.Triangles() as TriangleList", mesh.Get());
    int32_t a = 0, b = 0, c = 0;
    const char* getABC
        = "TriangleList.GetABC(index as Integer, ByRef a as Integer, ByRef b as Integer, ByRef c as Integer)";
    Invoke(getABC, triangles.Get(), 0, &a, &b, &c);
    EXPECT_EQ((std::vector<int32_t> { a, b, c }), (std::vector<int32_t> { 2, 1, 0 }));
    Invoke(getABC, triangles.Get(), 1, &a, &b, &c);
    EXPECT_EQ((std::vector<int32_t> { a, b, c }), (std::vector<int32_t> { 0, 3, 2 }));
    ObjectRef uvs = InvokeObject("Trimesh.VertexUVs() as UVList", mesh.Get());
    ASSERT_TRUE(uvs);
    double u = 0, v = 0;
    const char* getUV = "UVList.GetUV(index as Integer, ByRef u as Double, ByRef v as Double)";
    Invoke(getUV, uvs.Get(), 1, &u, &v);
    EXPECT_EQ(u, double(300.0f / 512));
    EXPECT_EQ(v, 1.0);
    Invoke(getUV, uvs.Get(), 3, &u, &v);
    EXPECT_EQ(u, 0.0);
    EXPECT_EQ(v, double(1 - 200.0f / 256));

    EXPECT_EQ(Get<int32_t>(*object, "MaterialCount"), 1);
    ObjectRef material = InvokeObject("Object3D.Material(index as Integer) as Material", object.Get(), 0);
    auto texture = lx::Cast<lx::Picture>(Get<ObjectRef>(*material, "Texture"));
    ASSERT_TRUE(texture);
    EXPECT_EQ(texture->Width(), 512);
    EXPECT_EQ(texture->Height(), 256);
    EXPECT_EQ(PixelOf(*texture, 299, 199), 0x204080u);
}

TEST(Object3D, PictureQuadPositions)
{
    ObjectRef object = NewObject("Object3D");
    EXPECT_EQ(RaisedBy([&] {
        Invoke("Object3D.AddShapePicture(image as Picture, scale as Double, insertPos as Integer=-1)", object.Get(),
            Nil(), 1.0, 99);
    }),
        "");
    EXPECT_EQ(ShapeCount(*object), 0);
    auto picture = NewPicture(2, 2, 0);
    AddPicture(*object, *picture, -5);
    EXPECT_EQ(ShapeCount(*object), 1);
    EXPECT_EQ(RaisedBy([&] { AddPicture(*object, *picture, 2); }), "OutOfBoundsException");
    EXPECT_EQ(ShapeCount(*object), 1);
}

TEST(Object3D, StringPositions)
{
    ObjectRef object = NewObject("Object3D");
    EXPECT_EQ(RaisedBy([&] { AddString(*object, "3DMetafile", -2); }), "OutOfBoundsException");
    EXPECT_EQ(RaisedBy([&] { AddString(*object, "3DMetafile", 1); }), "OutOfBoundsException");
    EXPECT_EQ(ShapeCount(*object), 0);
    AddString(*object, "3DMetafile", 0);
    EXPECT_EQ(ShapeCount(*object), 1);
}

TEST(Object3D, ShapeIsClamped)
{
    ObjectRef object = ObjectWithQuads(3);
    Set<int32_t>(*object, "Shape", 5);
    EXPECT_EQ(Get<int32_t>(*object, "Shape"), 2);
    Set<int32_t>(*object, "Shape", -1);
    EXPECT_EQ(Get<int32_t>(*object, "Shape"), 0);
    Set<int32_t>(*object, "Shape", 2);
    Invoke("Object3D.RemoveShape(index as Integer)", object.Get(), 2);
    EXPECT_EQ(Get<int32_t>(*object, "Shape"), 1);
    for (int i = 0; i < 2; ++i)
        Invoke("Object3D.RemoveShape(index as Integer)", object.Get(), 0);
    EXPECT_EQ(Get<int32_t>(*object, "Shape"), 0);
    // A shape added later is the one drawn.
    AddPicture(*object, *NewPicture(2, 2, 0));
    EXPECT_EQ(Get<int32_t>(*object, "TrimeshCount"), 1);
}

TEST(Object3D, BadIndexesRaise)
{
    ObjectRef object = ObjectWithQuads(1);
    int32_t handle = 1;
    EXPECT_EQ(RaisedBy([&] { handle = ShapeHandle(*object, 1); }), "OutOfBoundsException");
    EXPECT_EQ(
        RaisedBy([&] { Invoke("Object3D.RemoveShape(index as Integer)", object.Get(), -1); }), "OutOfBoundsException");
    EXPECT_EQ(ShapeCount(*object), 1);
    EXPECT_FALSE(InvokeObject("Object3D.Material(index as Integer) as Material", object.Get(), 1));
    EXPECT_FALSE(InvokeObject("Object3D.Trimesh(index as Integer) as Trimesh", object.Get(), -1));
}

TEST(Object3D, HandlesShareShapes)
{
    ObjectRef source = ObjectWithQuads(1);
    int32_t handle = ShapeHandle(*source, 0);
    EXPECT_NE(handle, 0);
    ObjectRef other = NewObject("Object3D");
    const char* add = "Object3D.AddShapeFromHandle(TQ3Object as Integer, insertPos as Integer=-1)";
    Invoke(add, other.Get(), handle, -1);
    EXPECT_EQ(ShapeHandle(*other, 0), handle);
    Invoke(add, other.Get(), 0, -1);
    Invoke(add, other.Get(), 0x7FFFFFF0, -1);
    EXPECT_EQ(ShapeCount(*other), 1);
    EXPECT_EQ(RaisedBy([&] { Invoke(add, other.Get(), handle, 5); }), "OutOfBoundsException");
    source = nullptr;
    EXPECT_EQ(Get<int32_t>(*other, "TrimeshCount"), 1);
}

TEST(Object3D, CloneKeepsTheSubclassAndSharesShapes)
{
    ObjectRef source = NewObject("TestObject3D");
    auto picture = NewPicture(2, 2, 0);
    AddPicture(*source, *picture);
    AddPicture(*source, *picture);
    MoveTo(*source, { 1, 2, 3 });
    ObjectRef clone = InvokeObject("Object3D.Clone() as Object3D", source.Get());
    ASSERT_TRUE(clone);
    EXPECT_EQ(clone->ObjectClass().Name(), "TestObject3D");
    ASSERT_EQ(ShapeCount(*clone), 2);
    EXPECT_EQ(ShapeHandle(*clone, 1), ShapeHandle(*source, 1));
    ExpectNear(PositionOf(*clone), { 0, 0, 0 }, 0);
    Invoke("Object3D.RemoveShape(index as Integer)", clone.Get(), 0);
    EXPECT_EQ(ShapeCount(*source), 2);
}

TEST(Object3D, MaterialSharesTheShapesSet)
{
    ObjectRef object = ObjectWithQuads(1);
    ObjectRef material = InvokeObject("Object3D.Material(index as Integer) as Material", object.Get(), 0);
    Set<bool>(*material, "HasDiffuseColor", true);
    Set(*material, "DiffuseColor", lx::Color { 0x00FF00 });
    ObjectRef again = InvokeObject("Object3D.Material(index as Integer) as Material", object.Get(), 0);
    EXPECT_EQ(Get<lx::Color>(*again, "DiffuseColor"), lx::Color { 0x00FF00 });

    ObjectRef replacement = NewObject("Material");
    Invoke("Object3D.Material(index as Integer) as Material.Set", object.Get(), 0, replacement);
    ObjectRef now = InvokeObject("Object3D.Material(index as Integer) as Material", object.Get(), 0);
    EXPECT_EQ(Get<int32_t>(*now, "Handle"), Get<int32_t>(*replacement, "Handle"));
}

TEST(Object3D, Files)
{
    ObjectRef object = NewObject("Object3D");
    const char* add = "Object3D.AddShapeFromFile(file as FolderItem, insertPos as Integer=-1)";
    auto item = lx::New<TestFolderItem>();
    item->path = "/nonexistent/model.3dmf";
    EXPECT_EQ(RaisedBy([&] { Invoke(add, object.Get(), ObjectRef(item), -1); }), "");
    std::filesystem::path empty = std::filesystem::temp_directory_path() / "lx3d_empty_model.3dmf";
    std::ofstream(empty).close();
    item->path = empty.string();
    EXPECT_EQ(RaisedBy([&] { Invoke(add, object.Get(), ObjectRef(item), -1); }), "");
    EXPECT_EQ(ShapeCount(*object), 0);
    std::filesystem::path model = std::filesystem::temp_directory_path() / "lx3d_model.3dmf";
    std::ofstream(model) << "3DMetafile ( 1 6 Normal toc> )\n"
                            "TriMesh ( 1 0 0 0 3 0  0 1 2  0 0 0  1 0 0  0 1 0  0 0 0  1 1 0  False )\n";
    item->path = model.string();
    EXPECT_EQ(RaisedBy([&] { Invoke(add, object.Get(), ObjectRef(item), -5); }), "OutOfBoundsException");
    Invoke(add, object.Get(), ObjectRef(item), -1);
    EXPECT_EQ(ShapeCount(*object), 1);
    EXPECT_EQ(Get<int32_t>(*object, "TrimeshCount"), 1);
    EXPECT_EQ(RaisedBy([&] { Invoke(add, object.Get(), Nil(), -1); }), "");
    std::filesystem::remove(empty);
    std::filesystem::remove(model);
}

namespace {

// A square mesh with surface UVs and an attribute set holding a color and
// a 2 x 2 16-bit texture.
constexpr const char* TexturedSquare = R"(3DMetafile ( 1 6 Normal tableofcontents0> )
Container (
  TriMesh ( 2 0 0 0 4 2
    0 1 2  0 2 3
    -1 -1 0  1 -1 0  1 1 0  -1 1 0
    -1 -1 0  1 1 0  False )
  AttributeArray ( 1 0 2 0 0  0 0  1 0  1 1  0 1 )
  Container (
    AttributeSet ( )
    DiffuseColor ( 1 0.5 0 )
    Container (
      TextureShader ( )
      PixmapTexture ( 2 2 4 16 RGB16 BigEndian BigEndian 0x7C0003E0 0x001F7FFF )
    )
  )
)
)";

}

TEST(Object3D, ModelFromAString)
{
    ObjectRef object = NewObject("Object3D");
    AddString(*object, TexturedSquare, -1);
    ASSERT_EQ(ShapeCount(*object), 1);
    EXPECT_EQ(Get<int32_t>(*object, "TrimeshCount"), 1);
    ObjectRef mesh = InvokeObject("Object3D.Trimesh(index as Integer) as Trimesh", object.Get(), 0);
    ASSERT_TRUE(mesh);
    EXPECT_EQ(Get<int32_t>(*mesh, "VertexCount"), 4);
    EXPECT_TRUE(Get<bool>(*mesh, "HasVertexUVs"));

    ASSERT_EQ(Get<int32_t>(*object, "MaterialCount"), 1);
    ObjectRef material = InvokeObject("Object3D.Material(index as Integer) as Material", object.Get(), 0);
    ASSERT_TRUE(material);
    EXPECT_EQ(Get<lx::Color>(*material, "DiffuseColor"), lx::Color { 0xFF7F00 });
    auto texture = lx::Cast<lx::Picture>(Get<ObjectRef>(*material, "Texture"));
    ASSERT_TRUE(texture);
    // 16-bit texels come back as an opaque picture.
    EXPECT_FALSE(texture->ExistingMask());
    EXPECT_EQ(PixelOf(*texture, 0, 0) >> 16, 0xFFu);
    EXPECT_EQ(PixelOf(*texture, 1, 0) >> 8 & 0xFF, 0xFFu);
}

TEST(Object3D, FindingMeshesInsideAModelsGroupsKeepsNoLibraryObject)
{
    const TQ3Uns32 objectsBefore = Q3Object_LiveCount();
    {
        ObjectRef object = NewObject("Object3D");
        AddString(*object, TexturedSquare, -1);
        EXPECT_EQ(Get<int32_t>(*object, "TrimeshCount"), 1);
        EXPECT_TRUE(InvokeObject("Object3D.Trimesh(index as Integer) as Trimesh", object.Get(), 0));
    }
    EXPECT_EQ(Q3Object_LiveCount(), objectsBefore);
}

TEST(Object3D, MaterialsSharedThroughReferencesAreCountedAndShared)
{
    // Two meshes; the second refers to the first one's set.
    constexpr const char* shared = R"(3DMetafile ( 1 6 Normal toc> )
Container (
  TriMesh ( 1 0 0 0 3 0  0 1 2  0 0 0  1 0 0  0 1 0  0 0 0  1 1 0  False )
  set: Container ( AttributeSet ( ) DiffuseColor ( 1 0 0 ) )
)
Container (
  TriMesh ( 1 0 0 0 3 0  0 1 2  0 0 1  1 0 1  0 1 1  0 0 1  1 1 1  False )
  Reference ( 1 )
)
toc: TableOfContents ( -1 2 -1 0 12 1  1 set> )
)";
    ObjectRef object = NewObject("Object3D");
    AddString(*object, shared, -1);
    ASSERT_EQ(Get<int32_t>(*object, "MaterialCount"), 2);
    ObjectRef second = InvokeObject("Object3D.Material(index as Integer) as Material", object.Get(), 1);
    Set(*second, "DiffuseColor", lx::Color { 0x00FF00 });
    ObjectRef first = InvokeObject("Object3D.Material(index as Integer) as Material", object.Get(), 0);
    EXPECT_EQ(Get<lx::Color>(*first, "DiffuseColor"), lx::Color { 0x00FF00 });
}

TEST(Object3D, UnreadableModelStillAddsAShape)
{
    ObjectRef object = NewObject("Object3D");
    AddString(*object, std::string_view("\0\1garbage", 9), -1);
    EXPECT_EQ(ShapeCount(*object), 1);
    EXPECT_EQ(Get<int32_t>(*object, "TrimeshCount"), 0);
}
