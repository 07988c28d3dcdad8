#include "MetafileSamples.h"

#include <q3/Q3.h>

#include <gtest/gtest.h>

#include <vector>

namespace {

// Every object of a file, as LX3D reads them: until the end of file.
struct Read {
    std::vector<TQ3Object> objects;
    bool opened { false };
    // How many objects a view would visit submitting them all.
    TQ3Uns32 visits { 0 };
    ~Read()
    {
        for (TQ3Object object : objects)
            Q3Object_Dispose(object);
    }
};

constexpr int ReadLimit = 1000;

void ReadAll(samples::Bytes bytes, Read& read)
{
    TQ3StorageObject storage = Q3MemoryStorage_NewBuffer(
        bytes.data(), static_cast<TQ3Uns32>(bytes.size()), static_cast<TQ3Uns32>(bytes.size()));
    TQ3FileObject file = Q3File_New();
    Q3File_SetStorage(file, storage);
    Q3Object_Dispose(storage);
    read.opened = Q3File_OpenRead(file, nullptr) == kQ3Success;
    int reads = 0;
    while (!Q3File_IsEndOfFile(file) && reads++ < ReadLimit)
        read.objects.push_back(Q3File_ReadObject(file));
    EXPECT_LT(reads, ReadLimit) << "the reader never reached the end of the file";
    read.visits = Q3Debug_FileVisits(file);
    Q3File_Close(file);
    Q3Object_Dispose(file);
    Q3Error_Get(nullptr);
}

class Metafiles : public testing::TestWithParam<bool> {
protected:
    void SetUp() override { mStart = Q3Object_LiveCount(); }
    void TearDown() override { EXPECT_EQ(Q3Object_LiveCount(), mStart); }
    bool Text() const { return GetParam(); }
    samples::Bytes SharedLevels(int levels, int references) const
    {
        return Text() ? samples::FromText(samples::SharedLevelsText(levels, references))
                      : samples::SharedLevelsFile(levels, references);
    }

private:
    TQ3Uns32 mStart { 0 };
};

// The attribute set a mesh holds, borrowed from it; null without one.
TQ3AttributeSet SetOf(TQ3Object mesh)
{
    TQ3TriMeshData data {};
    if (Q3TriMesh_GetData(mesh, &data) != kQ3Success)
        return nullptr;
    TQ3AttributeSet set = data.triMeshAttributeSet;
    Q3TriMesh_EmptyData(&data);
    return set;
}

// Three meshes, then the table of contents read as nothing, each mesh with
// the one textured set of the first.
void ExpectOneSharedSet(const Read& read)
{
    ASSERT_EQ(read.objects.size(), 4u);
    EXPECT_EQ(read.objects[3], nullptr);
    TQ3AttributeSet set = SetOf(read.objects[0]);
    ASSERT_NE(set, nullptr);
    EXPECT_EQ(SetOf(read.objects[1]), set);
    EXPECT_EQ(SetOf(read.objects[2]), set);
    EXPECT_TRUE(Q3AttributeSet_Contains(set, kQ3AttributeTypeSurfaceShader));
    EXPECT_TRUE(Q3AttributeSet_Contains(set, kQ3AttributeTypeDiffuseColor));
}

TQ3BoundingBox BoxOf(TQ3Object object)
{
    TQ3ViewObject view = Q3View_New();
    TQ3BoundingBox box {};
    Q3View_StartBoundingBox(view, kQ3ComputeBoundsExact);
    Q3Object_Submit(object, view);
    Q3View_EndBoundingBox(view, &box);
    Q3Object_Dispose(view);
    return box;
}

}

TEST_P(Metafiles, TexturedMeshReadsAsOneMeshWithItsAttributes)
{
    Read read;
    ReadAll(Text() ? samples::FromText(samples::TexturedMeshText()) : samples::TexturedMeshFile(), read);
    ASSERT_TRUE(read.opened);
    ASSERT_EQ(read.objects.size(), 1u);
    TQ3Object mesh = read.objects[0];
    ASSERT_TRUE(Q3Object_IsType(mesh, kQ3GeometryTypeTriMesh));

    TQ3TriMeshData data {};
    ASSERT_EQ(Q3TriMesh_GetData(mesh, &data), kQ3Success);
    EXPECT_EQ(data.numTriangles, 2u);
    EXPECT_EQ(data.triangles[1].pointIndices[2], 3u);
    EXPECT_EQ(data.numPoints, 4u);
    EXPECT_EQ(data.points[2].x, 1);
    EXPECT_EQ(data.bBox.isEmpty, kQ3False);
    ASSERT_EQ(data.numVertexAttributeTypes, 2u);
    EXPECT_EQ(data.vertexAttributeTypes[0].attributeType, kQ3AttributeTypeSurfaceUV);
    EXPECT_EQ(static_cast<TQ3Param2D*>(data.vertexAttributeTypes[0].data)[2].v, 1);
    EXPECT_EQ(data.vertexAttributeTypes[1].attributeType, kQ3AttributeTypeNormal);
    EXPECT_EQ(static_cast<TQ3Vector3D*>(data.vertexAttributeTypes[1].data)[3].z, 1);

    TQ3AttributeSet set = data.triMeshAttributeSet;
    ASSERT_NE(set, nullptr);
    TQ3ColorRGB color {};
    ASSERT_EQ(Q3AttributeSet_Get(set, kQ3AttributeTypeDiffuseColor, &color), kQ3Success);
    EXPECT_EQ(color.g, 0.5f);
    TQ3ShaderObject shader = nullptr;
    ASSERT_EQ(Q3AttributeSet_Get(set, kQ3AttributeTypeSurfaceShader, &shader), kQ3Success);
    TQ3TextureObject texture = nullptr;
    ASSERT_EQ(Q3TextureShader_GetTexture(shader, &texture), kQ3Success);
    TQ3StoragePixmap pixmap {};
    ASSERT_EQ(Q3PixmapTexture_GetPixmap(texture, &pixmap), kQ3Success);
    EXPECT_EQ(pixmap.width, 2u);
    EXPECT_EQ(pixmap.rowBytes, 4u);
    EXPECT_EQ(pixmap.pixelType, kQ3PixelTypeRGB16);
    EXPECT_EQ(pixmap.byteOrder, kQ3EndianBig);
    unsigned char texels[8] {};
    TQ3Uns32 size = 0;
    Q3Storage_GetData(pixmap.image, 0, 8, texels, &size);
    EXPECT_EQ(size, 8u);
    EXPECT_EQ(texels[0], 0x7C);
    EXPECT_EQ(texels[7], 0xFF);
    Q3Object_Dispose(pixmap.image);
    Q3Object_Dispose(texture);
    Q3Object_Dispose(shader);
    Q3TriMesh_EmptyData(&data);
}

TEST_P(Metafiles, GroupsTransformsAndSolidsRead)
{
    Read read;
    ReadAll(Text() ? samples::FromText(samples::GroupAndSolidsText()) : samples::GroupAndSolidsFile(), read);
    ASSERT_EQ(read.objects.size(), 3u);
    TQ3Object group = read.objects[0];
    ASSERT_TRUE(Q3Object_IsType(group, kQ3GroupTypeDisplay));
    // The translation inside the group moves the 2-unit box by 10.
    const TQ3BoundingBox box = BoxOf(group);
    EXPECT_FLOAT_EQ(box.min.x, 10);
    EXPECT_FLOAT_EQ(box.max.x, 12);
    EXPECT_FLOAT_EQ(box.max.y, 2);

    TQ3Object cone = read.objects[1];
    ASSERT_TRUE(Q3Object_IsType(cone, kQ3GeometryTypeCone));
    TQ3AttributeSet set = nullptr;
    ASSERT_EQ(Q3Geometry_GetAttributeSet(cone, &set), kQ3Success);
    EXPECT_TRUE(Q3AttributeSet_Contains(set, kQ3AttributeTypeDiffuseColor));
    Q3Object_Dispose(set);
    EXPECT_EQ(Q3Cone_GetBottomAttributeSet(cone, &set), kQ3Success);
    EXPECT_EQ(set, nullptr);

    TQ3Object cylinder = read.objects[2];
    ASSERT_TRUE(Q3Object_IsType(cylinder, kQ3GeometryTypeCylinder));
    TQ3AttributeSet top = Q3AttributeSet_New();
    EXPECT_EQ(Q3Cylinder_SetTopAttributeSet(cylinder, top), kQ3Success);
    Q3Object_Dispose(top);
    // The cylinder's side reaches its full radius.
    const TQ3BoundingBox bounds = BoxOf(cylinder);
    EXPECT_NEAR(bounds.max.x, 2, 1e-5f);
    EXPECT_NEAR(bounds.min.z, -2, 1e-5f);

    // A quaternion and a turn about an axis each read as a transform of their own kind.
    Read turns;
    ReadAll(Text() ? samples::FromText("3DMetafile ( 1 6 Normal )\nQuaternion ( 1 0 0 0 )\nRotate ( 2 1.5 )\n")
                   : samples::Builder()
                         .Raw(samples::Header())
                         .Object("qtrn", samples::Builder().F32(1).F32(0).F32(0).F32(0).bytes)
                         .Object("rott", samples::Builder().U32(2).F32(1.5f).bytes)
                         .bytes,
        turns);
    ASSERT_EQ(turns.objects.size(), 2u);
    EXPECT_TRUE(Q3Object_IsType(turns.objects[0], kQ3ShapeTypeTransform));
    EXPECT_EQ(Q3Object_GetLeafType(turns.objects[0]), kQ3TransformTypeQuaternion);
    EXPECT_EQ(Q3Object_GetLeafType(turns.objects[1]), kQ3TransformTypeRotate);
}

TEST_P(Metafiles, TransparencyColorIsReadIntoTheSet)
{
    samples::Builder transparency;
    transparency.Object("kxpr", samples::Builder().F32(0.25f).F32(0.5f).F32(0.75f).bytes);
    samples::Builder mesh;
    mesh.Object("tmsh", samples::TriMesh()).Object("cntr", samples::AttributeSet({}, transparency.bytes));
    const std::string text = "3DMetafile ( 1 6 Normal )\n"
                             "Container ( TriMesh ( 1 0 0 0 3 0  0 1 2  0 0 0  1 0 0  0 1 0  0 0 0  1 1 0  False )\n"
                             "  Container ( AttributeSet ( ) TransparencyColor ( 0.25 0.5 0.75 ) ) )\n";
    Read read;
    ReadAll(
        Text() ? samples::FromText(text) : samples::Builder().Raw(samples::Header()).Object("cntr", mesh.bytes).bytes,
        read);
    ASSERT_EQ(read.objects.size(), 1u);
    TQ3AttributeSet set = SetOf(read.objects[0]);
    TQ3ColorRGB color {};
    ASSERT_EQ(Q3AttributeSet_Get(set, kQ3AttributeTypeTransparencyColor, &color), kQ3Success);
    EXPECT_EQ(color.r, 0.25f);
    EXPECT_EQ(color.b, 0.75f);
}

TEST_P(Metafiles, IlluminationShadersReadAsTheKindNamed)
{
    const std::string text = "3DMetafile ( 1 6 Normal )\n"
                             "NULLIllumination ( ) LambertIllumination ( ) PhongIllumination ( )\n";
    samples::Builder binary;
    binary.Raw(samples::Header()).Object("nuli", {}).Object("lmil", {}).Object("phil", {});
    Read read;
    ReadAll(Text() ? samples::FromText(text) : binary.bytes, read);
    ASSERT_EQ(read.objects.size(), 3u);
    EXPECT_EQ(Q3Object_GetLeafType(read.objects[0]), kQ3IlluminationTypeNULL);
    EXPECT_EQ(Q3Object_GetLeafType(read.objects[1]), kQ3IlluminationTypeLambert);
    EXPECT_EQ(Q3Object_GetLeafType(read.objects[2]), kQ3IlluminationTypePhong);
}

TEST_P(Metafiles, SharedLevelsAreReadOnceAndVisitedAsOftenAsHeld)
{
    // A mesh, then four groups each holding the level below twice.
    constexpr int Levels = 5;
    Q3Debug_CycleCheckVisits();
    Read read;
    ReadAll(SharedLevels(Levels, 2), read);
    ASSERT_EQ(read.objects.size(), Levels + 1u);
    for (int level = 1; level < Levels; ++level) {
        TQ3Object group = read.objects[level];
        TQ3GroupPosition position = nullptr;
        Q3Group_GetFirstPosition(group, &position);
        for (int i = 0; i < 2; ++i, Q3Group_GetNextPosition(group, &position)) {
            TQ3Object member = nullptr;
            Q3Group_GetPositionObject(group, position, &member);
            EXPECT_EQ(member, read.objects[level - 1]);
            Q3Object_Dispose(member);
        }
        EXPECT_EQ(position, nullptr);
    }
    // Each level is visited 2^(level + 1) - 1 times, 57 in all; the groups
    // being built were held by nothing, so no cycle check walked them.
    EXPECT_EQ(read.visits, 57u);
    EXPECT_EQ(Q3Debug_CycleCheckVisits(), 0u);
}

TEST_P(Metafiles, FileThatWouldBeVisitedPastTheLimitIsMalformed)
{
    // The 57 visits of five doubling levels, the last level's 31 of them.
    const samples::Bytes bytes = SharedLevels(5, 2);
    Q3Debug_SetFileVisitLimit(57);
    Read within;
    ReadAll(bytes, within);
    Q3Debug_SetFileVisitLimit(56);
    Read past;
    ReadAll(bytes, past);
    Q3Debug_SetFileVisitLimit(0);
    ASSERT_EQ(within.objects.size(), 6u);
    EXPECT_NE(within.objects[4], nullptr);
    // The level that passes the limit reads as nothing, and so does the rest.
    ASSERT_EQ(past.objects.size(), 5u);
    EXPECT_NE(past.objects[3], nullptr);
    EXPECT_EQ(past.objects[4], nullptr);
    EXPECT_EQ(past.visits, 26u);

    // Under the library's own limit, levels doubling 28 times read until
    // the limit and no further, at a cost in proportion to the file.
    Read levels;
    ReadAll(SharedLevels(28, 2), levels);
    ASSERT_GE(levels.objects.size(), 2u);
    EXPECT_NE(levels.objects.front(), nullptr);
    EXPECT_EQ(levels.objects.back(), nullptr);
    EXPECT_LT(levels.objects.size(), 28u);
}

INSTANTIATE_TEST_SUITE_P(BinaryAndText, Metafiles, testing::Values(false, true),
    [](const testing::TestParamInfo<bool>& info) { return info.param ? "Text" : "Binary"; });

namespace {

class MalformedMetafiles : public testing::Test {
protected:
    void SetUp() override { mStart = Q3Object_LiveCount(); }
    void TearDown() override { EXPECT_EQ(Q3Object_LiveCount(), mStart); }

    // Reads the bytes and expects no object at all.
    void ExpectNothing(const samples::Bytes& bytes)
    {
        Read read;
        ReadAll(bytes, read);
        for (TQ3Object object : read.objects)
            EXPECT_EQ(object, nullptr);
    }

private:
    TQ3Uns32 mStart { 0 };
};

}

TEST_F(MalformedMetafiles, EveryTruncationReadsSafely)
{
    const samples::Bytes whole = samples::TexturedMeshFile();
    for (size_t length = 0; length < whole.size(); ++length)
        ExpectNothing(samples::Bytes(whole.begin(), whole.begin() + length));
    const std::string text = samples::TexturedMeshText();
    for (size_t length = 0; length + 3 < text.size(); length += 7)
        ExpectNothing(samples::FromText(text.substr(0, length)));
}

TEST_F(MalformedMetafiles, SizesThatLieAreRefused)
{
    samples::Builder b;
    b.Raw(samples::Header()).Raw({ 't', 'm', 's', 'h' }).U32(0xFFFFFFF0u).Raw(samples::TriMesh());
    ExpectNothing(b.bytes);
    // Too small: the mesh's last field lies past its end, in what follows.
    const samples::Bytes mesh = samples::TriMesh();
    samples::Builder shortSize;
    shortSize.Raw(samples::Header()).Raw({ 't', 'm', 's', 'h' }).U32(uint32_t(mesh.size() - 4)).Raw(mesh);
    ExpectNothing(shortSize.bytes);
}

TEST_F(MalformedMetafiles, HugeCountsAreRefusedBeforeAllocating)
{
    samples::Builder mesh;
    mesh.U32(0x7FFFFFFF).U32(0).U32(0).U32(0).U32(0x7FFFFFFF).U32(0);
    ExpectNothing(samples::Builder().Raw(samples::Header()).Object("tmsh", mesh.bytes).bytes);
    ExpectNothing(samples::FromText("3DMetafile ( 1 6 Normal )\nTriMesh ( 4000000000 0 0 0 4000000000 0 )"));
}

TEST_F(MalformedMetafiles, DeepNestingIsRefused)
{
    samples::Bytes inner = samples::Builder().Object("tmsh", samples::TriMesh()).bytes;
    for (int i = 0; i < 200; ++i)
        inner = samples::Builder().Object("cntr", inner).bytes;
    ExpectNothing(samples::Builder().Raw(samples::Header()).Raw(inner).bytes);

    std::string text = "3DMetafile ( 1 6 Normal )\n";
    for (int i = 0; i < 100000; ++i)
        text += "BeginGroup ( DisplayGroup ( ) )\n";
    ExpectNothing(samples::FromText(text));

    // The deepest groups a file may hold read; one level more does not.
    const auto nested = [](int levels) {
        std::string groups = "3DMetafile ( 1 6 Normal )\n";
        for (int i = 0; i < levels; ++i)
            groups += "BeginGroup ( DisplayGroup ( ) )\n";
        groups += "TriMesh ( 1 0 0 0 3 0  0 1 2  0 0 0  1 0 0  0 1 0  0 0 0  1 1 0  False )\n";
        for (int i = 0; i < levels; ++i)
            groups += "EndGroup ( )\n";
        return samples::FromText(groups);
    };
    Read deepest;
    ReadAll(nested(33), deepest);
    ASSERT_EQ(deepest.objects.size(), 1u);
    EXPECT_NE(deepest.objects[0], nullptr);
    ExpectNothing(nested(34));
}

TEST_F(MalformedMetafiles, CornersOutOfRangeStayHarmless)
{
    samples::Bytes mesh = samples::TriMesh();
    mesh[24] = 200; // a corner of the first triangle
    Read read;
    ReadAll(samples::Builder().Raw(samples::Header()).Object("tmsh", mesh).bytes, read);
    ASSERT_EQ(read.objects.size(), 1u);
    const TQ3BoundingBox box = BoxOf(read.objects[0]);
    EXPECT_EQ(box.isEmpty, kQ3False);
}

TEST_F(MalformedMetafiles, GarbageAndUnbalancedTextReadAsNothing)
{
    ExpectNothing(samples::FromText("not a model file at all"));
    ExpectNothing(samples::FromText("3DMetafile ( 2 0 Normal )\nTriMesh ( )"));
    ExpectNothing(samples::FromText("3DMetafile ( 1 6 Normal )\nContainer ( TriMesh ( 1 0 0 0 3 0 0 1 2"));
    ExpectNothing(samples::FromText("3DMetafile ( 1 6 Normal )\n)))) Container ( ( ( ("));
    ExpectNothing(
        samples::FromText("3DMetafile ( 1 6 Normal )\nPixmapTexture ( 2 2 4 16 RGB16 BigEndian BigEndian 0xZZ )"));
    ExpectNothing(samples::FromText(
        "3DMetafile ( 1 6 Normal )\nPixmapTexture ( 2 2 4 16 RGB16 BigEndian BigEndian 0x7C0003E0 0x001F7FGF )"));
    ExpectNothing({});
}

TEST_F(MalformedMetafiles, UnknownObjectsAreSkippedNotFatal)
{
    samples::Builder b;
    b.Raw(samples::Header()).Object("what", { 1, 2, 3, 4 }).Object("tmsh", samples::TriMesh());
    Read read;
    ReadAll(b.bytes, read);
    ASSERT_EQ(read.objects.size(), 2u);
    EXPECT_EQ(read.objects[0], nullptr);
    EXPECT_TRUE(Q3Object_IsType(read.objects[1], kQ3GeometryTypeTriMesh));

    // Custom attribute types are negative in text, down to the least 32-bit
    // number: their arrays are left out and the mesh kept, with the arrays
    // it knows, each with the points that use it if it says so.
    Read text;
    ReadAll(samples::FromText("3DMetafile ( 1 6 Normal )\n"
                              "Container ( TriMesh ( 1 0 0 0 3 0  0 1 2  0 0 0  1 0 0  0 1 0  0 0 0  1 1 0  False )\n"
                              "  AttributeArray ( -2147483648 0 2 0 0 )\n"
                              "  AttributeArray ( 1 0 2 0 1  0 0  1 0  1 1  0x010001 ) )\n"),
        text);
    ASSERT_EQ(text.objects.size(), 1u);
    TQ3TriMeshData data {};
    ASSERT_EQ(Q3TriMesh_GetData(text.objects[0], &data), kQ3Success);
    ASSERT_EQ(data.numVertexAttributeTypes, 1u);
    ASSERT_NE(data.vertexAttributeTypes[0].attributeUseArray, nullptr);
    EXPECT_EQ(data.vertexAttributeTypes[0].attributeUseArray[0], 1);
    EXPECT_EQ(data.vertexAttributeTypes[0].attributeUseArray[1], 0);
    Q3TriMesh_EmptyData(&data);

    // Objects one after another are no nesting, however many are skipped.
    std::string many = "3DMetafile ( 1 6 Normal )\n";
    for (int i = 0; i < 40; ++i)
        many += "Unknown ( 1 ( 2 ) )\n";
    many += "TriMesh ( 1 0 0 0 3 0  0 1 2  0 0 0  1 0 0  0 1 0  0 0 0  1 1 0  False )\n";
    Read sequence;
    ReadAll(samples::FromText(many), sequence);
    ASSERT_EQ(sequence.objects.size(), 41u);
    EXPECT_TRUE(Q3Object_IsType(sequence.objects[40], kQ3GeometryTypeTriMesh));
}

namespace {

class SharedObjects : public testing::Test {
protected:
    void SetUp() override { mStart = Q3Object_LiveCount(); }
    void TearDown() override { EXPECT_EQ(Q3Object_LiveCount(), mStart); }

private:
    TQ3Uns32 mStart { 0 };
};

// Writes `value` big-endian over the eight bytes at `offset`.
void Patch(samples::Bytes& bytes, size_t offset, uint64_t value)
{
    for (int i = 7; i >= 0; --i, value >>= 8)
        bytes[offset + size_t(i)] = static_cast<uint8_t>(value);
}

}

TEST_F(SharedObjects, BinaryMeshesShareOneSetThroughReferences)
{
    // The table may list the set under its container's type or its own.
    for (const char* type : { "cntr", "attr" }) {
        SCOPED_TRACE(type);
        Read read;
        ReadAll(samples::SharedSetFile([&](const samples::SharedPlaces& places) {
            return samples::TableOfContents({ { 1, places.set, type } });
        }),
            read);
        ExpectOneSharedSet(read);
    }
}

TEST_F(SharedObjects, BinaryReferencesResolveThroughChainedTables)
{
    // The first table lists only an id nothing refers to; the second, which
    // it chains to, resolves the references and chains back to the first.
    Read read;
    ReadAll(samples::SharedSetFile([](const samples::SharedPlaces& places) {
        const samples::Bytes unrelated = samples::TableOfContents({ { 9, places.set } });
        const uint64_t second = places.table + unrelated.size();
        return samples::Builder()
            .Raw(samples::TableOfContents({ { 9, places.set } }, 16, {}, second))
            .Raw(samples::TableOfContents({ { 1, places.set } }, 16, {}, places.table))
            .bytes;
    }),
        read);
    ASSERT_EQ(read.objects.size(), 5u);
    EXPECT_EQ(read.objects[4], nullptr);
    read.objects.pop_back();
    ExpectOneSharedSet(read);
}

TEST_F(SharedObjects, TextMeshesShareOneSetThroughLabelledReferences)
{
    Read read;
    ReadAll(samples::FromText(samples::SharedSetText()), read);
    ExpectOneSharedSet(read);

    // Labels standing in a row all name the object after them.
    std::string text = samples::SharedSetText();
    text.replace(text.find("shared: "), 8, "first: shared: last: ");
    text.replace(text.find("Reference ( 1 )"), 15, "Reference ( 2 )");
    text.replace(text.find("Reference ( 1 )"), 15, "Reference ( 3 )");
    text.replace(text.find("0 12 1\n  1 shared>"), 18, "0 12 3\n  1 shared>  2 first>  3 last>");
    Read labelled;
    ReadAll(samples::FromText(text), labelled);
    ExpectOneSharedSet(labelled);
}

TEST_F(SharedObjects, ReferencesThatCannotBeFollowedReadAsNothing)
{
    using samples::SharedPlaces;
    using samples::TableOfContents;
    auto withTable = [](std::function<samples::Bytes(const SharedPlaces&)> table, uint32_t id = 1) {
        return samples::SharedSetFile(table, id);
    };
    struct Case {
        const char* name;
        samples::Bytes bytes;
    };
    std::vector<Case> cases {
        { "an id the table lacks",
            withTable(
                [](const SharedPlaces& p) {
                    return TableOfContents({ { 1, p.set } });
                },
                7) },
        { "a place past the end", withTable([](const SharedPlaces& p) {
             return TableOfContents({ { 1, p.table + 1000 } });
         }) },
        { "a place in the middle of the table", withTable([](const SharedPlaces& p) {
             return TableOfContents({ { 1, p.table + 40 } });
         }) },
        { "the reference itself", withTable([](const SharedPlaces& p) {
             return TableOfContents({ { 1, p.reference, "rfrn" } });
         }) },
        { "the reference itself, untyped", withTable([](const SharedPlaces& p) {
             samples::Builder table;
             table.U64(0).U32(2).U32(0).U32(0).U32(12).U32(1).U32(1).U64(p.reference);
             return samples::Builder().Object("toc ", table.bytes).bytes;
         }) },
        { "a type the object does not have", withTable([](const SharedPlaces& p) {
             return TableOfContents({ { 1, p.set, "tmsh" } });
         }) },
        { "an entry size that lies", withTable([](const SharedPlaces& p) {
             return TableOfContents({ { 1, p.set } }, 12);
         }) },
        { "a count that lies", withTable([](const SharedPlaces& p) {
             return TableOfContents({ { 1, p.set } }, 16, 0xFFFFFFFF);
         }) },
    };
    samples::Bytes file = samples::SharedSetFile();
    const size_t tablePlace = 16, tableAt = file.size() - TableOfContents({ { 1, 0 } }).size();
    Patch(file, tablePlace, file.size() + 8);
    cases.push_back({ "a table past the end", file });
    Patch(file, tablePlace, samples::Header().size());
    cases.push_back({ "a table that is a mesh", file });
    Patch(file, tablePlace, tableAt);
    file[tableAt + 4] = 0x7F; // the table's size
    cases.push_back({ "a table whose size lies", file });

    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        Read read;
        ReadAll(test.bytes, read);
        ASSERT_EQ(read.objects.size(), 4u);
        // The meshes read, the first with its set in place, the others without.
        EXPECT_NE(SetOf(read.objects[0]), nullptr);
        for (int mesh = 1; mesh <= 2; ++mesh) {
            ASSERT_TRUE(Q3Object_IsType(read.objects[mesh], kQ3GeometryTypeTriMesh));
            EXPECT_EQ(SetOf(read.objects[mesh]), nullptr);
        }
    }
}

TEST_F(SharedObjects, ReferencesInACycleReadAsNothing)
{
    // Two top-level references, each naming the other.
    const uint64_t first = samples::Header().size(), second = first + 12, table = second + 12;
    samples::Builder file;
    file.Raw(samples::Header(table))
        .Object("rfrn", samples::Builder().U32(2).bytes)
        .Object("rfrn", samples::Builder().U32(1).bytes)
        .Raw(samples::TableOfContents({ { 1, first, "rfrn" }, { 2, second, "rfrn" } }));
    Read read;
    ReadAll(file.bytes, read);
    ASSERT_EQ(read.objects.size(), 3u);
    for (TQ3Object object : read.objects)
        EXPECT_EQ(object, nullptr);
}

TEST_F(SharedObjects, TextReferencesWithoutTheirLabelReadAsNothing)
{
    std::string text = samples::SharedSetText();
    text.replace(text.find("shared: "), 8, "");
    Read read;
    ReadAll(samples::FromText(text), read);
    ASSERT_EQ(read.objects.size(), 4u);
    EXPECT_NE(SetOf(read.objects[0]), nullptr);
    EXPECT_EQ(SetOf(read.objects[1]), nullptr);
    EXPECT_EQ(SetOf(read.objects[2]), nullptr);
}
