#include "SceneFixtures.h"

#include <gtest/gtest.h>

namespace {

class SceneObjects : public testing::Test {
protected:
    void SetUp() override { mStart = Q3Object_LiveCount(); }
    void TearDown() override
    {
        Q3Error_Get(nullptr);
        EXPECT_EQ(Q3Object_LiveCount(), mStart);
    }

private:
    TQ3Uns32 mStart { 0 };
};

TQ3TextureObject MakeTexture()
{
    const unsigned char bytes[8] = { 0xFF, 1, 2, 3, 0xFF, 4, 5, 6 };
    TQ3StorageObject storage = Q3MemoryStorage_New(bytes, sizeof bytes);
    TQ3StoragePixmap pixmap { storage, 2, 1, 8, 32, kQ3PixelTypeARGB32, kQ3EndianBig, kQ3EndianBig };
    TQ3TextureObject texture = Q3PixmapTexture_New(&pixmap);
    Q3Object_Dispose(storage);
    return texture;
}

}

TEST_F(SceneObjects, GroupsAppendAndWalkInOrder)
{
    TQ3GroupObject group = Q3DisplayGroup_New();
    TQ3Object a = Q3AttributeSet_New(), b = Q3AttributeSet_New();
    Q3Group_AddObject(group, a);
    Q3Group_AddObject(group, b);
    TQ3GroupPosition position = nullptr;
    Q3Group_GetFirstPosition(group, &position);
    TQ3Object member = nullptr;
    Q3Group_GetPositionObject(group, position, &member);
    EXPECT_EQ(member, a);
    Q3Object_Dispose(member);
    Q3Group_GetNextPosition(group, &position);
    Q3Group_GetPositionObject(group, position, &member);
    EXPECT_EQ(member, b);
    Q3Object_Dispose(member);
    Q3Group_GetNextPosition(group, &position);
    EXPECT_EQ(position, nullptr);

    // Removing hands the reference to the caller; the member lives on.
    Q3Group_GetFirstPosition(group, &position);
    TQ3Object removed = Q3Group_RemovePosition(group, position);
    EXPECT_EQ(removed, a);
    Q3Object_Dispose(removed);

    // The removed member's position finds nothing, even once another member
    // has taken its place, and neither does a position of another group.
    Q3Group_AddObject(group, a);
    TQ3GroupObject other = Q3DisplayGroup_New();
    Q3Group_AddObject(other, a);
    for (TQ3GroupPosition refused : { position, Q3Group_AddObject(other, b) }) {
        member = nullptr;
        EXPECT_EQ(Q3Group_GetPositionObject(group, refused, &member), kQ3Failure);
        EXPECT_EQ(member, nullptr);
        EXPECT_EQ(Q3Group_SetPositionObject(group, refused, b), kQ3Failure);
        EXPECT_EQ(Q3Group_RemovePosition(group, refused), nullptr);
        EXPECT_EQ(Q3Group_GetNextPosition(group, &refused), kQ3Success);
        EXPECT_EQ(refused, nullptr);
    }
    Q3Object_Dispose(other);
    Q3Object_Dispose(a);
    Q3Object_Dispose(b);
    Q3Object_Dispose(group);
}

TEST_F(SceneObjects, WalkingAGroupTakesAStepForEachMember)
{
    constexpr TQ3Uns32 Members = 1000;
    TQ3GroupObject group = Q3DisplayGroup_New();
    TQ3Object set = Q3AttributeSet_New();
    for (TQ3Uns32 i = 0; i < Members; ++i)
        Q3Group_AddObject(group, set);
    Q3Debug_GroupPositionSteps();
    TQ3Uns32 walked = 0;
    TQ3GroupPosition position = nullptr;
    for (Q3Group_GetFirstPosition(group, &position); position; Q3Group_GetNextPosition(group, &position)) {
        TQ3Object member = nullptr;
        Q3Group_GetPositionObject(group, position, &member);
        walked += member == set;
        Q3Object_Dispose(member);
    }
    EXPECT_EQ(walked, Members);
    // One step to find each member, and one to move on from it.
    EXPECT_EQ(Q3Debug_GroupPositionSteps(), 2 * Members);
    Q3Object_Dispose(set);
    Q3Object_Dispose(group);
}

TEST_F(SceneObjects, SetPositionObjectReplacesAndAcceptsNothing)
{
    TQ3GroupObject group = Q3DisplayGroup_New();
    TQ3Object a = Q3AttributeSet_New(), b = Q3AttributeSet_New();
    TQ3GroupPosition position = Q3Group_AddObject(group, a);
    Q3Object_Dispose(a); // the group keeps a alive
    EXPECT_EQ(Q3Group_SetPositionObject(group, position, b), kQ3Success);
    EXPECT_EQ(Q3Group_SetPositionObject(group, position, nullptr), kQ3Success);
    TQ3Object member = b;
    Q3Group_GetPositionObject(group, position, &member);
    EXPECT_EQ(member, nullptr);
    Q3Object_Dispose(b);
    Q3Object_Dispose(group);
}

TEST_F(SceneObjects, LightGroupsRefuseOtherObjects)
{
    TQ3GroupObject lights = Q3LightGroup_New();
    TQ3LightData data { kQ3True, 0.8f, { 1, 1, 1 } };
    TQ3LightObject ambient = Q3AmbientLight_New(&data);
    TQ3Object set = Q3AttributeSet_New();
    EXPECT_NE(Q3Group_AddObject(lights, ambient), nullptr);
    EXPECT_EQ(Q3Group_AddObject(lights, set), nullptr);
    EXPECT_EQ(Q3Group_AddObject(nullptr, set), nullptr);
    Q3Object_Dispose(set);
    Q3Object_Dispose(ambient);
    Q3Object_Dispose(lights);
}

TEST_F(SceneObjects, LightsReportTheirStateAndUnitDirection)
{
    TQ3DirectionalLightData data { { kQ3True, 0.5f, { 1, 0.5f, 0 } }, kQ3False, { 0, -2, 0 } };
    TQ3LightObject flood = Q3DirectionalLight_New(&data);
    Q3Light_SetState(flood, kQ3False);
    TQ3LightData read {};
    ASSERT_EQ(Q3Light_GetData(flood, &read), kQ3Success);
    EXPECT_EQ(read.isOn, kQ3False);
    EXPECT_EQ(read.brightness, 0.5f);
    EXPECT_EQ(read.color.g, 0.5f);
    TQ3Vector3D direction {};
    ASSERT_EQ(Q3DirectionalLight_GetDirection(flood, &direction), kQ3Success);
    EXPECT_EQ(direction.y, -1.0f);

    TQ3LightObject ambient = Q3AmbientLight_New(&data.lightData);
    EXPECT_EQ(Q3DirectionalLight_GetDirection(ambient, &direction), kQ3Failure);
    EXPECT_EQ(Q3Error_Get(nullptr), kQ3ErrorInvalidObjectType);
    EXPECT_EQ(Q3Light_GetData(nullptr, &read), kQ3Failure);
    Q3Object_Dispose(ambient);
    Q3Object_Dispose(flood);
}

TEST_F(SceneObjects, GroupsRefuseToContainThemselves)
{
    TQ3GroupObject outer = Q3DisplayGroup_New();
    TQ3GroupObject inner = Q3DisplayGroup_New();
    Q3Group_AddObject(outer, inner);
    EXPECT_EQ(Q3Group_AddObject(outer, outer), nullptr);
    EXPECT_EQ(Q3Group_AddObject(inner, outer), nullptr);
    Q3Object_Dispose(inner);
    Q3Object_Dispose(outer);
}

TEST_F(SceneObjects, OnlyAGroupThatIsHeldLooksForCycles)
{
    TQ3GroupObject taker = Q3DisplayGroup_New(), inner = Q3DisplayGroup_New(), holder = Q3DisplayGroup_New();
    TQ3Object set = Q3AttributeSet_New();
    // The groups looked into for `taker` to take `inner` in.
    const auto looked = [&] {
        Q3Debug_CycleCheckVisits();
        TQ3GroupPosition position = Q3Group_AddObject(taker, inner);
        const TQ3Uns32 visits = Q3Debug_CycleCheckVisits();
        Q3Object_Dispose(Q3Group_RemovePosition(taker, position));
        return visits;
    };
    EXPECT_EQ(looked(), 0u);
    TQ3GroupPosition held = Q3Group_AddObject(holder, taker);
    EXPECT_EQ(looked(), 1u);
    Q3Group_SetPositionObject(holder, held, set);
    EXPECT_EQ(looked(), 0u);
    Q3Group_SetPositionObject(holder, held, taker);
    EXPECT_EQ(looked(), 1u);
    Q3Object_Dispose(Q3Group_RemovePosition(holder, held));
    EXPECT_EQ(looked(), 0u);
    Q3Group_AddObject(holder, taker);
    Q3Object_Dispose(holder);
    EXPECT_EQ(looked(), 0u);
    for (TQ3Object object : { set, inner, taker })
        Q3Object_Dispose(object);
}

TEST_F(SceneObjects, CycleCheckLooksIntoEachSharedGroupOnce)
{
    // Levels each holding the one below twice: 2^Levels paths lead from the
    // top to the bottom, through Levels + 1 groups.
    constexpr TQ3Uns32 Levels = 16;
    TQ3GroupObject bottom = Q3DisplayGroup_New();
    TQ3GroupObject top = fixtures::DoubledLevels(Q3Shared_GetReference(bottom), Levels);
    Q3Debug_CycleCheckVisits();
    EXPECT_EQ(Q3Group_AddObject(bottom, top), nullptr);
    EXPECT_LE(Q3Debug_CycleCheckVisits(), Levels + 1);
    TQ3GroupObject outside = Q3DisplayGroup_New(), holder = Q3DisplayGroup_New();
    Q3Group_AddObject(holder, outside);
    EXPECT_NE(Q3Group_AddObject(outside, top), nullptr);
    EXPECT_EQ(Q3Debug_CycleCheckVisits(), Levels + 1);
    for (TQ3Object object : { holder, outside, top, bottom })
        Q3Object_Dispose(object);
}

TEST_F(SceneObjects, AttributeSetsHoldColorsAndShaderReferences)
{
    TQ3AttributeSet set = Q3AttributeSet_New();
    const TQ3ColorRGB red { 1, 0, 0 };
    Q3AttributeSet_Add(set, kQ3AttributeTypeDiffuseColor, &red);
    TQ3TextureObject texture = MakeTexture();
    TQ3ShaderObject shader = Q3TextureShader_New(texture);
    Q3Object_Dispose(texture);
    ASSERT_EQ(Q3AttributeSet_Add(set, kQ3AttributeTypeSurfaceShader, &shader), kQ3Success);
    Q3Object_Dispose(shader); // the set keeps it

    TQ3ShaderObject again = nullptr;
    ASSERT_EQ(Q3AttributeSet_Get(set, kQ3AttributeTypeSurfaceShader, &again), kQ3Success);
    EXPECT_EQ(again, shader);
    TQ3TextureObject inner = nullptr;
    ASSERT_EQ(Q3TextureShader_GetTexture(again, &inner), kQ3Success);
    EXPECT_EQ(Q3Texture_GetType(inner), kQ3TextureTypePixmap);
    TQ3Uns32 width = 0, height = 0;
    Q3Texture_GetWidth(inner, &width);
    EXPECT_EQ(width, 2u);
    Q3Texture_GetHeight(inner, &height);
    EXPECT_EQ(height, 1u);
    TQ3StoragePixmap pixmap {};
    ASSERT_EQ(Q3PixmapTexture_GetPixmap(inner, &pixmap), kQ3Success);
    TQ3Uns32 size = 0;
    Q3Storage_GetSize(pixmap.image, &size);
    EXPECT_EQ(size, 8u);
    Q3Object_Dispose(pixmap.image);
    Q3Object_Dispose(inner);
    Q3Object_Dispose(again);

    EXPECT_EQ(Q3AttributeSet_Clear(set, kQ3AttributeTypeSurfaceShader), kQ3Success);
    EXPECT_FALSE(Q3AttributeSet_Contains(set, kQ3AttributeTypeSurfaceShader));
    TQ3ColorRGB color {};
    EXPECT_EQ(Q3AttributeSet_Get(set, kQ3AttributeTypeDiffuseColor, &color), kQ3Success);
    EXPECT_EQ(color.r, 1);
    EXPECT_EQ(Q3AttributeSet_Add(set, 999, &color), kQ3Failure);
    Q3Object_Dispose(set);
}

TEST_F(SceneObjects, TriMeshCopiesOnCreateAndOnGetData)
{
    fixtures::Quad quad(1);
    TQ3AttributeSet set = Q3AttributeSet_New();
    quad.data.triMeshAttributeSet = set;
    // A count of edges without their array: the mesh is made without edges.
    quad.data.numEdges = 3;
    TQ3GeometryObject mesh = Q3TriMesh_New(&quad.data);
    Q3Object_Dispose(set);
    quad.points[0].x = 42; // the mesh must not see this
    EXPECT_TRUE(Q3Object_IsType(mesh, kQ3ShapeTypeGeometry));
    EXPECT_TRUE(Q3Object_IsType(mesh, kQ3GeometryTypeTriMesh));

    TQ3TriMeshData copy {};
    ASSERT_EQ(Q3TriMesh_GetData(mesh, &copy), kQ3Success);
    EXPECT_EQ(copy.numPoints, 4u);
    EXPECT_EQ(copy.points[0].x, -1);
    EXPECT_NE(copy.points, quad.points.data());
    EXPECT_EQ(copy.numEdges, 0u);
    EXPECT_EQ(copy.edges, nullptr);
    ASSERT_EQ(copy.numVertexAttributeTypes, 1u);
    EXPECT_EQ(static_cast<TQ3Param2D*>(copy.vertexAttributeTypes[0].data)[2].u, 1);
    EXPECT_EQ(copy.triMeshAttributeSet, set);

    TQ3AttributeSet held = nullptr;
    Q3Geometry_GetAttributeSet(mesh, &held);
    EXPECT_EQ(held, set);
    Q3Object_Dispose(held);

    // Freeing the copy's arrays one by one with the memory functions works too.
    Q3Memory_Free_(reinterpret_cast<void**>(&copy.points));
    EXPECT_EQ(copy.points, nullptr);
    Q3TriMesh_EmptyData(&copy);
    EXPECT_EQ(copy.numTriangles, 0u);
    Q3Object_Dispose(mesh);

    // Edges with an attribute of their own are kept, and given up with the mesh.
    TQ3TriMeshEdgeData edge { { 0, 1 }, { 0, 0 } };
    TQ3ColorRGB red { 1, 0, 0 };
    TQ3TriMeshAttributeData edgeColor { kQ3AttributeTypeDiffuseColor, &red, nullptr };
    quad.data.triMeshAttributeSet = nullptr;
    quad.data.numEdges = 1;
    quad.data.edges = &edge;
    quad.data.numEdgeAttributeTypes = 1;
    quad.data.edgeAttributeTypes = &edgeColor;
    TQ3GeometryObject edged = Q3TriMesh_New(&quad.data);
    ASSERT_EQ(Q3TriMesh_GetData(edged, &copy), kQ3Success);
    ASSERT_EQ(copy.numEdgeAttributeTypes, 1u);
    EXPECT_EQ(static_cast<TQ3ColorRGB*>(copy.edgeAttributeTypes[0].data)->r, 1);
    Q3TriMesh_EmptyData(&copy);
    Q3Object_Dispose(edged);
}

TEST_F(SceneObjects, TriMeshLeavesOutAttributesOfUnknownType)
{
    fixtures::Quad quad(1);
    float unknown[4] = {};
    TQ3TriMeshAttributeData attributes[] = { { 77, unknown, nullptr }, quad.uvAttribute };
    quad.data.numVertexAttributeTypes = 2;
    quad.data.vertexAttributeTypes = attributes;
    TQ3GeometryObject mesh = Q3TriMesh_New(&quad.data);
    TQ3TriMeshData copy {};
    Q3TriMesh_GetData(mesh, &copy);
    ASSERT_EQ(copy.numVertexAttributeTypes, 1u);
    EXPECT_EQ(copy.vertexAttributeTypes[0].attributeType, kQ3AttributeTypeSurfaceUV);
    EXPECT_EQ(Q3Attribute_GetDataSize(77), 0u);
    EXPECT_EQ(Q3Attribute_GetDataSize(kQ3AttributeTypeSurfaceUV), sizeof(TQ3Param2D));
    Q3TriMesh_EmptyData(&copy);
    Q3Object_Dispose(mesh);
}

TEST_F(SceneObjects, ViewReleasesEverythingItHolds)
{
    std::vector<uint32_t> pixels(16);
    TQ3CameraObject camera = fixtures::Camera();
    TQ3ViewObject view = fixtures::View(pixels.data(), 4, 4, camera);
    TQ3GroupObject lights = Q3LightGroup_New();
    Q3View_SetLightGroup(view, lights);
    Q3Object_Dispose(lights);
    Q3Object_Dispose(camera);
    TQ3DrawContextObject context = nullptr;
    ASSERT_EQ(Q3View_GetDrawContext(view, &context), kQ3Success);
    const TQ3ColorARGB sky { 0, 0.2f, 0.4f, 0.6f };
    EXPECT_EQ(Q3DrawContext_SetClearImageColor(context, &sky), kQ3Success);
    Q3Object_Dispose(context);
    Q3Object_Dispose(view);
}

TEST_F(SceneObjects, OnlyALightGroupLightsAView)
{
    std::vector<uint32_t> pixels(16);
    TQ3CameraObject camera = fixtures::Camera();
    TQ3ViewObject view = fixtures::View(pixels.data(), 4, 4, camera);
    TQ3GroupObject display = Q3DisplayGroup_New();
    EXPECT_EQ(Q3View_SetLightGroup(view, display), kQ3Failure);
    EXPECT_EQ(Q3Error_Get(nullptr), kQ3ErrorInvalidObjectType);
    EXPECT_EQ(Q3View_SetLightGroup(nullptr, display), kQ3Failure);
    EXPECT_EQ(Q3Error_Get(nullptr), kQ3ErrorInvalidObjectType);
    TQ3GroupObject lights = Q3LightGroup_New();
    EXPECT_EQ(Q3View_SetLightGroup(view, lights), kQ3Success);
    TQ3GroupObject held = nullptr;
    ASSERT_EQ(Q3View_GetLightGroup(view, &held), kQ3Success);
    EXPECT_EQ(held, lights);
    Q3Object_Dispose(held);
    Q3Object_Dispose(lights);
    Q3Object_Dispose(display);
    Q3Object_Dispose(camera);
    Q3Object_Dispose(view);
}

TEST_F(SceneObjects, PixmapContextsRefuseLayoutsTheyCannotDrawInto)
{
    uint32_t pixels[4] {};
    TQ3PixmapDrawContextData data {};
    data.pixmap = { pixels, 2, 2, 8, 32, kQ3PixelTypeRGB32, kQ3EndianLittle, kQ3EndianLittle };
    EXPECT_EQ(Q3PixmapDrawContext_New(&data), nullptr);
    EXPECT_EQ(Q3Error_Get(nullptr), kQ3ErrorInvalidParameter);
    data.pixmap.byteOrder = kQ3EndianBig;
    data.pixmap.rowBytes = 4;
    EXPECT_EQ(Q3PixmapDrawContext_New(&data), nullptr);
}

TEST_F(SceneObjects, MemoryIsZeroFilledAndReallocationKeepsContent)
{
    auto* block = static_cast<unsigned char*>(Q3Memory_AllocateClear(16));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(block[15], 0);
    block[0] = 9;
    void* pointer = block;
    ASSERT_EQ(Q3Memory_Reallocate_(&pointer, 64), kQ3Success);
    EXPECT_EQ(static_cast<unsigned char*>(pointer)[0], 9);
    Q3Memory_Free_(&pointer);
    EXPECT_EQ(pointer, nullptr);
    EXPECT_EQ(Q3Memory_AllocateClear(0), nullptr);
}

TEST_F(SceneObjects, StorageBuffersAreReadInPlaceAndCopiesAreNot)
{
    unsigned char bytes[4] = { 1, 2, 3, 4 };
    TQ3StorageObject inPlace = Q3MemoryStorage_NewBuffer(bytes, 4, 4);
    TQ3StorageObject copied = Q3MemoryStorage_New(bytes, 4);
    bytes[0] = 7;
    unsigned char out[8] {};
    TQ3Uns32 read = 0;
    Q3Storage_GetData(inPlace, 0, 8, out, &read);
    EXPECT_EQ(read, 4u);
    EXPECT_EQ(out[0], 7);
    Q3Storage_GetData(copied, 0, 4, out, &read);
    EXPECT_EQ(out[0], 1);
    EXPECT_EQ(Q3Storage_GetData(copied, 5, 1, out, &read), kQ3Failure);
    Q3Object_Dispose(inPlace);
    Q3Object_Dispose(copied);
}

TEST_F(SceneObjects, SolidsKeepAnAttributeSetPerPart)
{
    // Solids come from model files; their part accessors refuse other geometry.
    fixtures::Quad quad(1);
    TQ3GeometryObject mesh = Q3TriMesh_New(&quad.data);
    TQ3AttributeSet set = nullptr;
    EXPECT_EQ(Q3Box_GetFaceAttributeSet(mesh, 0, &set), kQ3Failure);
    EXPECT_EQ(Q3Cylinder_SetTopAttributeSet(mesh, nullptr), kQ3Failure);
    EXPECT_EQ(Q3Cone_GetFaceAttributeSet(nullptr, &set), kQ3Failure);
    Q3Object_Dispose(mesh);
}
