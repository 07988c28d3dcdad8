#include "GlobeTestSupport.h"

#include "globe/GlobeBitCreation.h"
#include "globe/GlobeBitMaker.h"

#include <lxframework/Runtime.h>

#include <cmath>
#include <gtest/gtest.h>

using namespace bindings;
using namespace globe;

namespace {

class GlobeBitMakerTest : public ::testing::Test {
protected:
    void SetUp() override { StartGlobeRuntime(); }
    // Tests that lend the maker materials hand them back.
    void TearDown() override { GlobeBitCreation::Release(); }

    static lx::Ref<PuzzleTrimesh> NewMesh() { return lx::New<PuzzleTrimesh>(); }

    static MeshData Output(GlobeBitMaker& maker)
    {
        lx::Ref<PuzzleTrimesh> mesh = NewMesh();
        maker.GetTrimesh(mesh.Get());
        return ReadMesh(mesh.Get());
    }

    // A point on the globe at longitude u (in turns, 0 on +Z toward +X) on the equator.
    static void AddEquatorPoint(GlobeBitMaker& maker, double u)
    {
        const double angle = u * 2 * M_PI;
        maker.AddPoint(1.5 * std::sin(angle), 0, 1.5 * std::cos(angle));
    }

    static std::vector<uint64_t> Bits(const GlobeBitMaker& maker)
    {
        std::vector<uint64_t> bits;
        auto add = [&](const ObjectRef& vector) {
            const Point v = ReadVector(vector);
            for (double c : { v.X, v.Y, v.Z }) {
                uint64_t word = 0;
                std::memcpy(&word, &c, sizeof word);
                bits.push_back(word);
            }
        };
        for (const ObjectRef& point : maker.Points)
            add(point);
        add(maker.CenterPoint);
        return bits;
    }
};

void ExpectVector(const Point& actual, const Point& expected, double tolerance = 1e-5)
{
    EXPECT_NEAR(actual.X, expected.X, tolerance);
    EXPECT_NEAR(actual.Y, expected.Y, tolerance);
    EXPECT_NEAR(actual.Z, expected.Z, tolerance);
}

}

TEST_F(GlobeBitMakerTest, GridSizeIsEvenWithAtLeastTwoSteps)
{
    GlobeBitMaker maker;
    EXPECT_EQ(maker.GridSize, 8);
    EXPECT_EQ(maker.HalfGridSize, 4);
    EXPECT_EQ(maker.FinalSize, 128);
    maker.SetGridSize(1);
    EXPECT_EQ(maker.GridSize, 2);
    EXPECT_EQ(maker.HalfGridSize, 1);
    maker.SetGridSize(-6);
    EXPECT_EQ(maker.GridSize, 2);
}

TEST_F(GlobeBitMakerTest, TurnsMapPointsAndCentreAndFourTurnsRestoreEveryBit)
{
    GlobeBitMaker maker;
    maker.CreateCornerPieceMesh();
    ExpectVector(ReadVector(maker.CenterPoint), { 1, 1, 1 });
    const std::vector<uint64_t> before = Bits(maker);
    const Point first = ReadVector(maker.Points[0]);

    maker.Yaw();
    ExpectVector(ReadVector(maker.CenterPoint), { 1, 1, -1 }, 0);
    const Point yawed = ReadVector(maker.Points[0]);
    EXPECT_EQ(yawed.X, first.Z);
    EXPECT_EQ(yawed.Y, first.Y);
    EXPECT_EQ(yawed.Z, -first.X);
    for (int i = 0; i < 3; ++i)
        maker.Yaw();
    EXPECT_EQ(Bits(maker), before);

    for (int i = 0; i < 4; ++i)
        maker.Pitch();
    EXPECT_EQ(Bits(maker), before);
}

TEST_F(GlobeBitMakerTest, PitchTurnsTheFrontCentreToTheSouth)
{
    GlobeBitMaker maker;
    maker.CreateFrontPieceMesh();
    maker.Pitch();
    ExpectVector(ReadVector(maker.CenterPoint), { 0, -1, 0 }, 0);
}

TEST_F(GlobeBitMakerTest, PositionsAreRelativeToTheCellInSceneUnits)
{
    GlobeBitMaker maker;
    maker.CenterPoint = NewVector(0, 0, 1);
    maker.AddPoint(0.5, -0.5, 1.25);
    maker.AddTriangle(0, 0, 0);
    const MeshData mesh = Output(maker);
    ASSERT_EQ(mesh.Positions.size(), 1u);
    ExpectVector(mesh.Positions[0], { 64, -64, 32 }, 0);
}

TEST_F(GlobeBitMakerTest, EquatorPointAtLongitudeZero)
{
    GlobeBitMaker maker;
    maker.CenterPoint = NewVector(0, 0, 1);
    maker.AddPoint(0, 0, 1.5);
    const MeshData mesh = Output(maker);
    EXPECT_EQ(mesh.UVs[0].U, 0);
    EXPECT_NEAR(mesh.UVs[0].V, 0.5, 1e-7);
    ExpectVector(mesh.Normals[0], { 0, 0, 1 }, 0);
}

TEST_F(GlobeBitMakerTest, SeamRuleKeepsLongitudeContinuous)
{
    GlobeBitMaker across;
    across.CenterPoint = NewVector(0, 0, -1);
    AddEquatorPoint(across, 0.49);
    AddEquatorPoint(across, -0.49); // across the back meridian: continued
    const MeshData acrossMesh = Output(across);
    EXPECT_NEAR(acrossMesh.UVs[0].U, 0.49, 1e-6);
    EXPECT_NEAR(acrossMesh.UVs[1].U, 0.51, 1e-6);
    EXPECT_NEAR(across.oldu, 0.51, 1e-6);
    // The first vertex ignores what the earlier read-out left in oldu.
    EXPECT_NEAR(Output(across).UVs[0].U, 0.49, 1e-6);

    // A jump of 0.49 rounds to no turn; one of 0.51 to a whole turn.
    GlobeBitMaker jumps;
    jumps.CenterPoint = NewVector(0, 0, 1);
    AddEquatorPoint(jumps, 0.0);
    AddEquatorPoint(jumps, 0.49);
    AddEquatorPoint(jumps, -0.02);
    const MeshData jumpsMesh = Output(jumps);
    EXPECT_NEAR(jumpsMesh.UVs[1].U, 0.49, 1e-6);
    EXPECT_NEAR(jumpsMesh.UVs[2].U, 0.98, 1e-6);
}

TEST_F(GlobeBitMakerTest, ReadingOutTwiceGivesTheSameMesh)
{
    GlobeBitMaker maker;
    maker.CreateSidePieceMesh();
    maker.Yaw();
    maker.Yaw();
    const MeshData first = Output(maker);
    const MeshData second = Output(maker);
    ASSERT_EQ(first.Positions.size(), second.Positions.size());
    for (std::size_t i = 0; i < first.Positions.size(); ++i) {
        EXPECT_EQ(first.Positions[i].X, second.Positions[i].X);
        EXPECT_EQ(first.UVs[i].U, second.UVs[i].U);
        EXPECT_EQ(first.Normals[i].Z, second.Normals[i].Z);
    }
    EXPECT_EQ(first.Triangles, second.Triangles);
}

TEST_F(GlobeBitMakerTest, PoleCapsChooseTheirMaterialByTheLastVertex)
{
    GlobeBitCreation::GlobeSurface = NewObjectOfClass("Material");
    GlobeBitCreation::NorthPoleSurface = NewObjectOfClass("Material");
    GlobeBitCreation::SouthPoleSurface = NewObjectOfClass("Material");

    GlobeBitMaker south;
    south.CreatePolePieceMesh();
    ASSERT_TRUE(south.UsePoleTexture);
    south.Pitch();
    const MeshData southMesh = Output(south);
    EXPECT_EQ(southMesh.MaterialHandle, MaterialHandle(GlobeBitCreation::SouthPoleSurface.Get()));
    EXPECT_NEAR(southMesh.UVs[80].U, 0.990196, 1e-6);
    EXPECT_NEAR(southMesh.UVs[80].V, 0.990196, 1e-6);

    GlobeBitMaker north;
    north.CreatePolePieceMesh();
    for (int i = 0; i < 3; ++i)
        north.Pitch();
    const MeshData northMesh = Output(north);
    EXPECT_EQ(northMesh.MaterialHandle, MaterialHandle(GlobeBitCreation::NorthPoleSurface.Get()));
    EXPECT_NEAR(northMesh.UVs[40].U, 0.5, 1e-9);
    EXPECT_NEAR(northMesh.UVs[40].V, 0.5, 1e-9);
    EXPECT_NEAR(northMesh.UVs[80].V, 0.0098039, 1e-6);

    // Without points the cap has no last vertex and keeps the earth map.
    GlobeBitMaker empty;
    empty.UsePoleTexture = true;
    EXPECT_EQ(Output(empty).MaterialHandle, MaterialHandle(GlobeBitCreation::GlobeSurface.Get()));
}

TEST_F(GlobeBitMakerTest, PoleWithoutCapMaterialsIsDrawnFromTheEarthMap)
{
    GlobeBitCreation::GlobeSurface = NewObjectOfClass("Material");
    GlobeBitMaker maker;
    maker.CreatePolePieceMesh();
    EXPECT_FALSE(maker.UsePoleTexture);
    maker.Pitch();
    const MeshData mesh = Output(maker);
    EXPECT_EQ(mesh.Positions.size(), 81u);
    EXPECT_EQ(mesh.MaterialHandle, MaterialHandle(GlobeBitCreation::GlobeSurface.Get()));
    EXPECT_NEAR(mesh.UVs[40].V, 0.0, 1e-9);
}

TEST_F(GlobeBitMakerTest, EmptyMakerGivesAnEmptyMeshWithItsMaterial)
{
    GlobeBitCreation::GlobeSurface = NewObjectOfClass("Material");
    GlobeBitCreation::GlobeInterior = NewObjectOfClass("Material");
    GlobeBitMaker surface;
    const MeshData surfaceMesh = Output(surface);
    EXPECT_TRUE(surfaceMesh.Positions.empty());
    EXPECT_TRUE(surfaceMesh.Triangles.empty());
    EXPECT_EQ(surfaceMesh.MaterialHandle, MaterialHandle(GlobeBitCreation::GlobeSurface.Get()));

    GlobeBitMaker walls;
    walls.IsBoxPiece = true;
    EXPECT_EQ(Output(walls).MaterialHandle, MaterialHandle(GlobeBitCreation::GlobeInterior.Get()));
}

TEST_F(GlobeBitMakerTest, NilTargetsRaiseNilObjectException)
{
    GlobeBitMaker maker;
    EXPECT_EQ(RaisedBy([&] { maker.GetTrimesh(nullptr); }), "NilObjectException");
    EXPECT_EQ(RaisedBy([&] { maker.Yaw(); }), "NilObjectException");
    EXPECT_EQ(RaisedBy([&] { maker.Pitch(); }), "NilObjectException");

    // Points without a centre: the turn changes nothing, the read-out raises.
    maker.AddPoint(1, 2, 3);
    EXPECT_EQ(RaisedBy([&] { maker.Yaw(); }), "NilObjectException");
    ExpectVector(ReadVector(maker.Points[0]), { 1, 2, 3 }, 0);
    lx::Ref<PuzzleTrimesh> mesh = NewMesh();
    EXPECT_EQ(RaisedBy([&] { maker.GetTrimesh(mesh.Get()); }), "NilObjectException");
}

TEST_F(GlobeBitMakerTest, WallsLogOneLinePerVertex)
{
    GlobeBitMaker corner;
    corner.CreateCornerPieceBox();
    DebugLogCapture cornerLog;
    const MeshData cornerMesh = Output(corner);
    ASSERT_EQ(cornerLog.Lines().size(), 30u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(cornerLog.Lines()[i], "0.5773503");
    EXPECT_EQ(cornerMesh.UVs[0].U, 0.5);
    EXPECT_NEAR(cornerMesh.UVs[0].V, std::sqrt(0.75) / 1.5, 1e-7);

    GlobeBitMaker front;
    front.CreateFrontPieceBox();
    DebugLogCapture frontLog;
    const MeshData frontMesh = Output(front);
    ASSERT_EQ(frontLog.Lines().size(), 153u);
    EXPECT_EQ(frontLog.Lines()[0], "0.5773503");
    EXPECT_EQ(frontLog.Lines()[40], "0.3333333");
    EXPECT_EQ(frontLog.Lines()[82], "1");
    EXPECT_TRUE(frontMesh.Normals.empty());
}
