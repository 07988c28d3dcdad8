#include "GlobeTestSupport.h"

#include "bindings/EntryPoints.h"
#include "game/Resources.h"
#include "globe/CellIndex.h"
#include "globe/GlobeBitCreation.h"

#include <lxframework/Functions.h>

#include <cmath>
#include <gtest/gtest.h>

using namespace bindings;
using namespace globe;
using bindings::Call;
using bindings::Slot;

namespace {

lx::Ref<lx::Picture> gMap;
lx::Ref<lx::Picture> SyntheticMap() { return gMap; }
lx::Ref<lx::Picture> NoMap() { return nullptr; }

struct KindCounts {
    std::size_t surfaceVertices = 0;
    std::size_t surfaceTriangles = 0;
    std::size_t wallVertices = 0;
    std::size_t wallTriangles = 0;
};

KindCounts CountsOf(PieceKind kind)
{
    switch (kind) {
    case PieceKind::Corner:
        return { 45, 64, 30, 24 };
    case PieceKind::Side:
        return { 81, 128, 56, 48 };
    case PieceKind::Front:
    case PieceKind::Pole:
        return { 81, 128, 153, 192 };
    case PieceKind::Centre:
        break;
    }
    return {};
}

Point Home(int32_t cell)
{
    const Point home = HomePosition(cell);
    return { home.X, home.Y, home.Z };
}

class GlobeBitCreationTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        StartGlobeRuntime();
        gMap = CoordinateMap(512, 256);
        sPrevious = GlobeBitCreation::SetEarthMapAccessor(&SyntheticMap);
        DebugLogCapture log;
        GlobeBitCreation::Create();
        sLog = log.Lines();
        for (int32_t i = 0; i < CellCount; ++i) {
            sSurfaces[i] = ReadMesh(GlobeBitCreation::GlobeBits[i].Get());
            sWalls[i] = ReadMesh(GlobeBitCreation::BoxBits[i].Get());
        }
    }

    static void TearDownTestSuite()
    {
        GlobeBitCreation::Release();
        GlobeBitCreation::SetEarthMapAccessor(sPrevious);
        gMap.Reset();
    }

    static int32_t Handle(const ObjectRef& material) { return MaterialHandle(material.Get()); }

    static inline GlobeBitCreation::EarthMapAccessor sPrevious = nullptr;
    static inline std::vector<std::string> sLog;
    static inline std::array<MeshData, CellCount> sSurfaces;
    static inline std::array<MeshData, CellCount> sWalls;
};

}

TEST_F(GlobeBitCreationTest, EveryCellHasItsTwoMeshesWithItsIndex)
{
    for (int32_t i = 0; i < CellCount; ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(GlobeBitCreation::GlobeBits[i] && GlobeBitCreation::BoxBits[i]);
        EXPECT_EQ(GlobeBitCreation::GlobeBits[i]->Index(), i);
        EXPECT_EQ(GlobeBitCreation::BoxBits[i]->Index(), i);
        const KindCounts counts = CountsOf(KindOf(i));
        EXPECT_EQ(sSurfaces[i].Positions.size(), counts.surfaceVertices);
        EXPECT_EQ(sSurfaces[i].Triangles.size(), counts.surfaceTriangles);
        EXPECT_EQ(sWalls[i].Positions.size(), counts.wallVertices);
        EXPECT_EQ(sWalls[i].Triangles.size(), counts.wallTriangles);
    }
}

TEST_F(GlobeBitCreationTest, EachMeshHasItsMaterial)
{
    const int32_t surface = Handle(GlobeBitCreation::GlobeSurface);
    const int32_t interior = Handle(GlobeBitCreation::GlobeInterior);
    for (int32_t i = 0; i < CellCount; ++i) {
        SCOPED_TRACE(i);
        if (i == CentreCell)
            continue;
        const int32_t expected = i == 16 ? Handle(GlobeBitCreation::NorthPoleSurface)
            : i == 10                    ? Handle(GlobeBitCreation::SouthPoleSurface)
                                         : surface;
        EXPECT_EQ(sSurfaces[i].MaterialHandle, expected);
        EXPECT_EQ(sWalls[i].MaterialHandle, interior);
    }
    auto centreMaterial = Call<ObjectRef>(Slot::TrimeshMaterialGet, GlobeBitCreation::GlobeBits[CentreCell].Get());
    EXPECT_FALSE(Call<ObjectRef>(Slot::MaterialTextureGet, centreMaterial.Get()));
}

TEST_F(GlobeBitCreationTest, MaterialsCarryTexturesAndNoColor)
{
    struct Expected {
        const ObjectRef& material;
        int32_t width = 0;
        int32_t height = 0;
    };
    for (const Expected& expected : { Expected { GlobeBitCreation::GlobeSurface, 512, 256 },
             Expected { GlobeBitCreation::NorthPoleSurface, 128, 128 },
             Expected { GlobeBitCreation::SouthPoleSurface, 128, 128 },
             Expected { GlobeBitCreation::GlobeInterior, 256, 256 } }) {
        auto texture = lx::Cast<lx::Picture>(Call<ObjectRef>(Slot::MaterialTextureGet, expected.material.Get()));
        ASSERT_TRUE(texture);
        EXPECT_EQ(texture->Width(), expected.width);
        EXPECT_EQ(texture->Height(), expected.height);
        EXPECT_FALSE(Call<bool>(Slot::MaterialHasDiffuseColorGet, expected.material.Get()));
        EXPECT_EQ(Call<lx::Color>(Slot::MaterialDiffuseColorGet, expected.material.Get()).rgb, 0xFFFFFFu);
    }
}

TEST_F(GlobeBitCreationTest, PiecesAcrossTheBackMeridianContinueTheirLongitude)
{
    struct Range {
        int32_t cell = 0;
        double low = 0;
        double high = 0;
    };
    for (const Range& range : { Range { 12, 0.4424866, 0.5575134 }, Range { 15, 0.375, 0.625 },
             Range { 9, -0.625, -0.375 }, Range { 14, -0.0575134, 0.0575134 } }) {
        SCOPED_TRACE(range.cell);
        double low = 10, high = -10;
        for (const UV& uv : sSurfaces[range.cell].UVs) {
            low = std::min(low, uv.U);
            high = std::max(high, uv.U);
        }
        EXPECT_NEAR(low, range.low, 1e-6);
        EXPECT_NEAR(high, range.high, 1e-6);
    }
    for (int32_t cell : { 10, 16 }) {
        for (const UV& uv : sSurfaces[cell].UVs) {
            EXPECT_GE(uv.U, 0.0098);
            EXPECT_LE(uv.V, 0.9902);
        }
    }
}

TEST_F(GlobeBitCreationTest, SurfacesAtHomeMakeOneCrackFreeSphere)
{
    std::vector<PlacedTriangle> globe;
    for (int32_t i = 0; i < CellCount; ++i)
        AppendPlaced(globe, sSurfaces[i], Home(i));
    EXPECT_EQ(globe.size(), 2816u);
    const Closure closure = ClosureOf(globe);
    EXPECT_TRUE(closure.ClosedAndOriented);
    EXPECT_EQ(closure.Vertices, 1410);
    EXPECT_EQ(closure.Edges, 4224);
    EXPECT_EQ(closure.Vertices - closure.Edges + int32_t(globe.size()), 2);
    for (const PlacedTriangle& triangle : globe) {
        for (const Point& corner : triangle) {
            EXPECT_GE(Length(corner), 191.99999);
            EXPECT_LE(Length(corner), 192.00001);
        }
    }
    // The north cap on top.
    const Point pole = sSurfaces[16].Positions[40];
    EXPECT_EQ(pole.Y + 128, 192);
}

TEST_F(GlobeBitCreationTest, DebugLogHasOneLinePerWallVertexInBuildOrder)
{
    ASSERT_EQ(sLog.size(), 1830u);
    std::vector<std::string> expected;
    for (int32_t cell :
        { 26, 24, 6, 8, 20, 18, 0, 2, 17, 25, 15, 7, 23, 21, 3, 5, 11, 19, 9, 1, 14, 22, 12, 4, 10, 16 }) {
        const Point home = Home(cell);
        for (const Point& p : sWalls[cell].Positions) {
            // Positions are exact multiples of the globe point: undo them.
            const Point point { (p.X + home.X) / 128, (p.Y + home.Y) / 128, (p.Z + home.Z) / 128 };
            expected.push_back(lx::Str(Length(point) / 1.5));
        }
    }
    EXPECT_EQ(sLog, expected);
}

// A map the resources lack, and no map handed over at all, fail alike.
TEST(GlobeBitCreationFailure, MissingEarthMapRaisesAndLeavesTheRestUnbuilt)
{
    StartGlobeRuntime();
    for (GlobeBitCreation::EarthMapAccessor missing : { &NoMap, GlobeBitCreation::EarthMapAccessor(nullptr) }) {
        const GlobeBitCreation::EarthMapAccessor previous = GlobeBitCreation::SetEarthMapAccessor(missing);
        EXPECT_EQ(RaisedBy([] { GlobeBitCreation::Create(); }), "NilObjectException");
        ASSERT_TRUE(GlobeBitCreation::GlobeSurface);
        EXPECT_FALSE(Call<ObjectRef>(Slot::MaterialTextureGet, GlobeBitCreation::GlobeSurface.Get()));
        EXPECT_FALSE(GlobeBitCreation::NorthPoleSurface);
        EXPECT_FALSE(GlobeBitCreation::SouthPoleSurface);
        EXPECT_FALSE(GlobeBitCreation::GlobeInterior);
        for (int32_t i = 0; i < CellCount; ++i)
            EXPECT_FALSE(GlobeBitCreation::GlobeBits[i] || GlobeBitCreation::BoxBits[i]);
        GlobeBitCreation::Release();
        EXPECT_FALSE(GlobeBitCreation::GlobeSurface);
        GlobeBitCreation::SetEarthMapAccessor(previous);
    }
}

TEST(GlobeBitCreationRelease, TheGameMapBuildsAndReleaseDropsTheModulesReferences)
{
    StartGlobeRuntime();
    GlobeBitCreation::Create();
    auto texture
        = lx::Cast<lx::Picture>(Call<ObjectRef>(Slot::MaterialTextureGet, GlobeBitCreation::GlobeSurface.Get()));
    ASSERT_TRUE(texture);
    EXPECT_EQ(texture->Width(), 512);
    EXPECT_EQ(texture->Height(), 256);

    lx::Ref<PuzzleTrimesh> kept = GlobeBitCreation::GlobeBits[5];
    ObjectRef material = GlobeBitCreation::GlobeInterior;
    EXPECT_EQ(kept->ReferenceCount(), 2);
    GlobeBitCreation::Release();
    EXPECT_EQ(kept->ReferenceCount(), 1);
    EXPECT_EQ(material->ReferenceCount(), 1);
    for (int32_t i = 0; i < CellCount; ++i)
        EXPECT_FALSE(GlobeBitCreation::GlobeBits[i] || GlobeBitCreation::BoxBits[i]);
    EXPECT_FALSE(GlobeBitCreation::GlobeSurface || GlobeBitCreation::NorthPoleSurface
        || GlobeBitCreation::SouthPoleSurface || GlobeBitCreation::GlobeInterior);
    // The mesh outlives the module's hold, as the game's pieces do.
    EXPECT_EQ(kept->Index(), 5);
    game::ReleasePictures();
}
