#include "DebugCube.h"
#include "Lx3DUtil.h"
#include "RunPacker.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <set>
#include <string>

using namespace lx3d;

namespace {

std::vector<uint8_t> Block(uint32_t size, const std::vector<uint8_t>& runs)
{
    std::vector<uint8_t> block(4 + runs.size());
    for (int i = 0; i < 4; ++i)
        block[i] = uint8_t(size >> (24 - 8 * i));
    std::copy(runs.begin(), runs.end(), block.begin() + 4);
    return block;
}

std::vector<uint8_t> Noise(size_t size)
{
    std::vector<uint8_t> bytes(size);
    uint32_t state = 12345;
    for (uint8_t& byte : bytes) {
        state = state * 1103515245u + 12345u;
        byte = uint8_t(state >> 16);
    }
    return bytes;
}

struct RoundTripCase {
    std::string name;
    std::vector<uint8_t> bytes;
};

// Runs hold at most 0x7FFF words, so the long cases need several of each kind.
std::vector<RoundTripCase> RoundTripCases()
{
    std::vector<uint8_t> mixed;
    for (int stretch = 1; stretch <= 7; ++stretch)
        for (int i = 0; i < 2 * stretch; ++i)
            mixed.push_back(uint8_t(stretch));
    std::vector<uint8_t> longRepeatThenNoise(70000, 0xAB);
    const std::vector<uint8_t> noise = Noise(701);
    longRepeatThenNoise.insert(longRepeatThenNoise.end(), noise.begin(), noise.end());
    return {
        { "OneByte", { 0x7F } },
        { "OddLength", { 1, 2, 3, 4, 5 } },
        { "WordsOfTwoToSevenEqualBytes", mixed },
        { "LongRepeatThenOddNoise", longRepeatThenNoise },
        { "LongNoise", Noise(70002) },
    };
}

}

TEST(DebugCubeRuns, PackedBytesUnpackUnchanged)
{
    for (const RoundTripCase& test : RoundTripCases()) {
        SCOPED_TRACE(test.name);
        EXPECT_EQ(UnpackRuns(tools::PackRuns(test.bytes)), test.bytes);
    }
}

TEST(DebugCubeRuns, RepeatsPackShort)
{
    const std::vector<uint8_t> zeros(100000, 0);
    // 50000 words: a full repeat run and the rest, two words each.
    EXPECT_EQ(tools::PackRuns(zeros).size(), 4u + 2 * 4);
}

TEST(DebugCubeRuns, BlockWithoutUsableSizeIsNothing)
{
    EXPECT_TRUE(UnpackRuns({}).empty());
    EXPECT_TRUE(UnpackRuns(std::vector<uint8_t> { 0, 0, 1 }).empty());
    EXPECT_TRUE(UnpackRuns(Block(0, { 0x00, 0x01, 0xAA, 0xBB })).empty());
    EXPECT_TRUE(UnpackRuns(Block(MaximumUnpackedSize + 1, { 0x80, 0x10, 0xAA, 0xBB })).empty());
    EXPECT_TRUE(UnpackRuns(Block(0xFFFFFFFF, {})).empty());
}

TEST(DebugCubeRuns, SizeAtTheLimitIsZeroFilled)
{
    const std::vector<uint8_t> unpacked = UnpackRuns(Block(MaximumUnpackedSize, { 0x80, 0x01, 0xAA, 0xBB }));
    ASSERT_EQ(unpacked.size(), MaximumUnpackedSize);
    EXPECT_EQ(unpacked[1], 0xBB);
    EXPECT_EQ(unpacked.back(), 0);
}

struct MalformedCase {
    std::string name;
    std::vector<uint8_t> block;
    std::vector<uint8_t> unpacked;
};

TEST(DebugCubeRuns, MalformedRunsStayInBoundsAndZeroFill)
{
    const std::vector<MalformedCase> cases {
        { "HeaderOnly", Block(6, {}), { 0, 0, 0, 0, 0, 0 } },
        { "TruncatedLiteral", Block(8, { 0x00, 0x04, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE }),
            { 0xAA, 0xBB, 0xCC, 0xDD, 0, 0, 0, 0 } },
        { "RepeatWithoutItsWord", Block(4, { 0x00, 0x01, 0x11, 0x22, 0x80, 0x05, 0x33 }), { 0x11, 0x22, 0, 0 } },
        { "RepeatPastTheEnd", Block(5, { 0xFF, 0xFF, 0x12, 0x34, 0x00, 0x01, 0x56, 0x78 }),
            { 0x12, 0x34, 0x12, 0x34, 0x12 } },
        { "LiteralPastTheEnd", Block(3, { 0x00, 0x03, 1, 2, 3, 4, 5, 6 }), { 1, 2, 3 } },
        { "EmptyRuns", Block(4, { 0x00, 0x00, 0x80, 0x00, 0x99, 0x99, 0x00, 0x02, 1, 2, 3, 4, 0x00, 0x00 }),
            { 1, 2, 3, 4 } },
    };
    for (const MalformedCase& test : cases) {
        SCOPED_TRACE(test.name);
        EXPECT_EQ(UnpackRuns(test.block), test.unpacked);
    }
}

TEST(DebugCubeModel, UnpacksToItsHeaderSizeAsAModelFile)
{
    const std::vector<uint8_t> model = UnpackRuns({ DebugCubePacked, DebugCubePackedSize });
    ASSERT_EQ(model.size(), ReadBigEndian32(DebugCubePacked));
    EXPECT_EQ(std::string(model.begin(), model.begin() + 4), "3DMF");
}

namespace {

constexpr float HalfSide = 50;
constexpr TQ3Uns32 TextureSize = 256;

float Dot(const TQ3Vector3D& a, const TQ3Vector3D& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// The view's loops need the library's users counted, as the view control does.
class DebugCubeGroup : public testing::Test {
protected:
    void SetUp() override
    {
        mObjectsBefore = Q3Object_LiveCount();
        AcquireQuesa();
        Q3Error_Get(nullptr);
        mGroup = MakeDebugCubeGroup();
        ASSERT_NE(mGroup, nullptr);
        // The library read the whole model without complaint.
        EXPECT_EQ(Q3Error_Get(nullptr), kQ3ErrorNone);
    }

    void TearDown() override
    {
        Q3Object_Dispose(mGroup);
        ReleaseQuesa();
        EXPECT_EQ(Q3Object_LiveCount(), mObjectsBefore);
    }

    std::vector<TQ3Object> Members() const
    {
        std::vector<TQ3Object> members;
        TQ3GroupPosition position = nullptr;
        for (Q3Group_GetFirstPosition(mGroup, &position); position; Q3Group_GetNextPosition(mGroup, &position)) {
            TQ3Object member = nullptr;
            Q3Group_GetPositionObject(mGroup, position, &member);
            members.push_back(member);
        }
        return members;
    }

    TQ3GroupObject mGroup { nullptr };
    TQ3Uns32 mObjectsBefore { 0 };
};

// The face a mesh lies on, as (axis, side), or (-1, 0) if it is not one.
std::pair<int, int> FaceOf(const TQ3TriMeshData& mesh)
{
    for (int axis = 0; axis < 3; ++axis) {
        const float first = (&mesh.points[0].x)[axis];
        bool flat = std::fabs(first) == HalfSide;
        for (TQ3Uns32 i = 0; i < mesh.numPoints; ++i)
            flat = flat && (&mesh.points[i].x)[axis] == first;
        if (flat)
            return { axis, first > 0 ? 1 : -1 };
    }
    return { -1, 0 };
}

const TQ3TriMeshAttributeData* VertexArray(const TQ3TriMeshData& mesh, TQ3AttributeType type)
{
    for (TQ3Uns32 i = 0; i < mesh.numVertexAttributeTypes; ++i)
        if (mesh.vertexAttributeTypes[i].attributeType == type)
            return &mesh.vertexAttributeTypes[i];
    return nullptr;
}

// Every triangle and every vertex normal must face the cube's centre: the view
// draws the cube around the viewer with back faces removed.
void ExpectFacesInward(const TQ3TriMeshData& mesh)
{
    TQ3Vector3D outward {};
    for (TQ3Uns32 i = 0; i < mesh.numPoints; ++i)
        outward = { outward.x + mesh.points[i].x, outward.y + mesh.points[i].y, outward.z + mesh.points[i].z };
    for (TQ3Uns32 t = 0; t < mesh.numTriangles; ++t) {
        const TQ3Uns32* corners = mesh.triangles[t].pointIndices;
        TQ3Vector3D facing {};
        Q3Point3D_CrossProductTri(
            &mesh.points[corners[0]], &mesh.points[corners[1]], &mesh.points[corners[2]], &facing);
        EXPECT_LT(Dot(facing, outward), 0) << "triangle " << t;
    }
    const TQ3TriMeshAttributeData* normals = VertexArray(mesh, kQ3AttributeTypeNormal);
    ASSERT_NE(normals, nullptr);
    for (TQ3Uns32 i = 0; i < mesh.numPoints; ++i)
        EXPECT_LT(Dot(static_cast<const TQ3Vector3D*>(normals->data)[i], outward), 0) << "normal " << i;
}

// A checksum of the mesh's surface texture (FNV-1a of its bytes), after
// checking the texture's shape; 0 when there is none.
uint64_t TextureChecksum(TQ3GeometryObject mesh)
{
    TQ3AttributeSet set = nullptr;
    TQ3ShaderObject shader = nullptr;
    TQ3TextureObject texture = nullptr;
    TQ3StoragePixmap pixmap {};
    std::vector<uint8_t> bytes;
    Q3Geometry_GetAttributeSet(mesh, &set);
    Q3AttributeSet_Get(set, kQ3AttributeTypeSurfaceShader, &shader);
    Q3TextureShader_GetTexture(shader, &texture);
    if (Q3PixmapTexture_GetPixmap(texture, &pixmap) == kQ3Success) {
        EXPECT_EQ(pixmap.width, TextureSize);
        EXPECT_EQ(pixmap.height, TextureSize);
        EXPECT_EQ(pixmap.pixelType, kQ3PixelTypeRGB16);
        EXPECT_EQ(pixmap.byteOrder, kQ3EndianBig);
        TQ3Uns32 size = 0, read = 0;
        Q3Storage_GetSize(pixmap.image, &size);
        bytes.resize(size);
        Q3Storage_GetData(pixmap.image, 0, size, bytes.data(), &read);
        EXPECT_EQ(read, TextureSize * pixmap.rowBytes);
        Q3Object_Dispose(pixmap.image);
    }
    for (TQ3Object object : { set, shader, texture })
        Q3Object_Dispose(object);
    if (bytes.empty())
        return 0;
    uint64_t checksum = 14695981039346656037u;
    for (uint8_t byte : bytes)
        checksum = (checksum ^ byte) * 1099511628211u;
    return checksum;
}

}

TEST_F(DebugCubeGroup, ReadsAsSixInwardFacesWithTheirOwnTextures)
{
    std::set<std::pair<int, int>> faces;
    std::set<uint64_t> textures;
    for (TQ3Object member : Members()) {
        EXPECT_TRUE(Q3Object_IsType(member, kQ3GeometryTypeTriMesh));
        TQ3TriMeshData mesh {};
        if (Q3TriMesh_GetData(member, &mesh) == kQ3Success) {
            EXPECT_EQ(mesh.numTriangles, 2u);
            EXPECT_EQ(mesh.numPoints, 4u);
            EXPECT_NE(VertexArray(mesh, kQ3AttributeTypeSurfaceUV), nullptr);
            faces.insert(FaceOf(mesh));
            ExpectFacesInward(mesh);
            Q3TriMesh_EmptyData(&mesh);
        }
        textures.insert(TextureChecksum(member));
        Q3Object_Dispose(member);
    }
    EXPECT_EQ(faces.size(), 6u);
    EXPECT_FALSE(faces.contains({ -1, 0 }));
    EXPECT_EQ(textures.size(), 6u);
    EXPECT_FALSE(textures.contains(0));
}

TEST_F(DebugCubeGroup, BoundsAreTheCube)
{
    TQ3ViewObject view = SharedBoundsView();
    TQ3BoundingBox box {};
    ASSERT_EQ(Q3View_StartBoundingBox(view, kQ3ComputeBoundsExact), kQ3Success);
    do
        Q3DisplayGroup_Submit(mGroup, view);
    while (Q3View_EndBoundingBox(view, &box) == kQ3ViewStatusRetraverse);
    EXPECT_FALSE(box.isEmpty);
    for (int axis = 0; axis < 3; ++axis) {
        EXPECT_EQ((&box.min.x)[axis], -HalfSide);
        EXPECT_EQ((&box.max.x)[axis], HalfSide);
    }
}

TEST_F(DebugCubeGroup, FillsTheViewFromInsideWithBackFacesRemoved)
{
    constexpr TQ3Uns32 Size = 16;
    constexpr TQ3ColorARGB Clear { 1, 1, 0, 1 };
    constexpr std::array<uint8_t, 3> ClearRGB { 255, 0, 255 };
    std::array<uint8_t, Size * Size * 4> pixels {};
    TQ3PixmapDrawContextData contextData {};
    contextData.drawContextData.clearImageMethod = kQ3ClearMethodWithColor;
    contextData.drawContextData.clearImageColor = Clear;
    contextData.pixmap = { pixels.data(), Size, Size, Size * 4, 32, kQ3PixelTypeRGB32, kQ3EndianBig, kQ3EndianBig };
    TQ3ViewAngleAspectCameraData cameraData {};
    cameraData.cameraData.placement = { { 0, 0, 0 }, { 0, 0, -1 }, { 0, 1, 0 } };
    cameraData.cameraData.range = { 1, 1000 };
    cameraData.cameraData.viewPort = { { -1, 1 }, 2, 2 };
    cameraData.fov = 1.5f;
    cameraData.aspectRatioXToY = 1;

    TQ3DrawContextObject context = Q3PixmapDrawContext_New(&contextData);
    TQ3CameraObject camera = Q3ViewAngleAspectCamera_New(&cameraData);
    TQ3RendererObject renderer = Q3Renderer_NewFromType(kQ3RendererTypeInteractive);
    TQ3ViewObject view = Q3View_New();
    Q3View_SetDrawContext(view, context);
    Q3View_SetCamera(view, camera);
    Q3View_SetRenderer(view, renderer);
    EXPECT_EQ(Q3View_StartRendering(view), kQ3Success);
    do {
        Q3BackfacingStyle_Submit(kQ3BackfacingStyleRemove, view);
        Q3DisplayGroup_Submit(mGroup, view);
    } while (Q3View_EndRendering(view) == kQ3ViewStatusRetraverse);

    for (TQ3Object object : { view, renderer, camera, context })
        Q3Object_Dispose(object);

    TQ3Uns32 covered = 0;
    for (TQ3Uns32 pixel = 0; pixel < Size * Size; ++pixel) {
        const std::array<uint8_t, 3> rgb { pixels[4 * pixel + 1], pixels[4 * pixel + 2], pixels[4 * pixel + 3] };
        covered += rgb != ClearRGB;
    }
    EXPECT_EQ(covered, Size * Size);
}
