#include "GlobeTestSupport.h"

#include "globe/GlobeBitCreation.h"
#include "globe/GlobeBitMaker.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace bindings;
using namespace globe;

namespace {

using Builder = void (GlobeBitMaker::*)();
using Triangle = std::array<int32_t, 3>;

struct KindCase {
    const char* name = "";
    Builder surface = nullptr;
    Builder walls = nullptr;
    std::size_t surfaceVertices = 0;
    std::size_t surfaceTriangles = 0;
    std::size_t wallVertices = 0;
    std::size_t wallTriangles = 0;
    // Distinct positions of the closed piece.
    int32_t pieceVertices = 0;
    // Nearest wall point to the globe's centre.
    double innermostWall = 0;
};

const KindCase Kinds[] = {
    { "corner", &GlobeBitMaker::CreateCornerPieceMesh, &GlobeBitMaker::CreateCornerPieceBox, 45, 64, 30, 24, 46,
        std::sqrt(0.75) },
    { "side", &GlobeBitMaker::CreateSidePieceMesh, &GlobeBitMaker::CreateSidePieceBox, 81, 128, 56, 48, 90,
        std::sqrt(0.5) },
    { "front", &GlobeBitMaker::CreateFrontPieceMesh, &GlobeBitMaker::CreateFrontPieceBox, 81, 128, 153, 192, 162, 0.5 },
    { "pole", &GlobeBitMaker::CreatePolePieceMesh, &GlobeBitMaker::CreatePolePieceBox, 81, 128, 153, 192, 162, 0.5 },
};

class GlobeMeshesTest : public ::testing::Test {
protected:
    void SetUp() override { StartGlobeRuntime(); }

    static MeshData Build(Builder builder)
    {
        GlobeBitMaker maker;
        (maker.*builder)();
        lx::Ref<PuzzleTrimesh> mesh = lx::New<PuzzleTrimesh>();
        maker.GetTrimesh(mesh.Get());
        return ReadMesh(mesh.Get());
    }

    static std::vector<Point> GlobePoints(Builder builder)
    {
        GlobeBitMaker maker;
        (maker.*builder)();
        std::vector<Point> points;
        for (const ObjectRef& point : maker.Points)
            points.push_back(ReadVector(point));
        return points;
    }
};

bool SamePoint(const Point& a, const Point& b) { return a.X == b.X && a.Y == b.Y && a.Z == b.Z; }

}

TEST_F(GlobeMeshesTest, CountsPerKind)
{
    for (const KindCase& kind : Kinds) {
        SCOPED_TRACE(kind.name);
        const MeshData surface = Build(kind.surface);
        EXPECT_EQ(surface.Positions.size(), kind.surfaceVertices);
        EXPECT_EQ(surface.Triangles.size(), kind.surfaceTriangles);
        EXPECT_EQ(surface.Normals.size(), kind.surfaceVertices);
        const MeshData walls = Build(kind.walls);
        EXPECT_EQ(walls.Positions.size(), kind.wallVertices);
        EXPECT_EQ(walls.Triangles.size(), kind.wallTriangles);
        EXPECT_TRUE(walls.Normals.empty());
    }
}

TEST_F(GlobeMeshesTest, TriangleListsStartAndEndAsBuilt)
{
    const MeshData front = Build(&GlobeBitMaker::CreateFrontPieceMesh);
    EXPECT_EQ(front.Triangles[0], (Triangle { 1, 0, 9 }));
    EXPECT_EQ(front.Triangles[1], (Triangle { 1, 9, 10 }));
    EXPECT_EQ(front.Triangles.back(), (Triangle { 71, 79, 80 }));
    EXPECT_EQ(Build(&GlobeBitMaker::CreateSidePieceMesh).Triangles, front.Triangles);

    const MeshData corner = Build(&GlobeBitMaker::CreateCornerPieceMesh);
    EXPECT_EQ(corner.Triangles[0], (Triangle { 0, 1, 2 }));
    EXPECT_EQ(corner.Triangles[1], (Triangle { 1, 3, 4 }));
    EXPECT_EQ(corner.Triangles[2], (Triangle { 2, 4, 5 }));
    EXPECT_EQ(corner.Triangles[3], (Triangle { 2, 1, 4 }));
    EXPECT_EQ(corner.Triangles.back(), (Triangle { 35, 34, 43 }));

    const MeshData frontWalls = Build(&GlobeBitMaker::CreateFrontPieceBox);
    EXPECT_EQ(frontWalls.Triangles[0], (Triangle { 0, 1, 9 }));
    EXPECT_EQ(frontWalls.Triangles[1], (Triangle { 9, 1, 10 }));
    EXPECT_EQ(frontWalls.Triangles[128], (Triangle { 81, 82, 89 }));
    EXPECT_EQ(frontWalls.Triangles.back(), (Triangle { 151, 144, 152 }));

    const MeshData sideWalls = Build(&GlobeBitMaker::CreateSidePieceBox);
    EXPECT_EQ(sideWalls.Triangles[0], (Triangle { 0, 4, 2 }));
    EXPECT_EQ(sideWalls.Triangles[1], (Triangle { 1, 3, 5 }));
    EXPECT_EQ(sideWalls.Triangles[16], (Triangle { 21, 20, 22 }));
    EXPECT_EQ(sideWalls.Triangles.back(), (Triangle { 54, 53, 55 }));

    const MeshData cornerWalls = Build(&GlobeBitMaker::CreateCornerPieceBox);
    EXPECT_EQ(cornerWalls.Triangles[0], (Triangle { 0, 3, 6 }));
    EXPECT_EQ(cornerWalls.Triangles[1], (Triangle { 1, 4, 7 }));
    EXPECT_EQ(cornerWalls.Triangles[2], (Triangle { 2, 5, 8 }));
    EXPECT_EQ(cornerWalls.Triangles.back(), (Triangle { 2, 26, 29 }));
}

TEST_F(GlobeMeshesTest, SurfacePointsLieOnTheSphereAndWallPointsInside)
{
    for (const KindCase& kind : Kinds) {
        SCOPED_TRACE(kind.name);
        for (const Point& p : GlobePoints(kind.surface))
            EXPECT_NEAR(Length(p), 1.5, 1e-6);
        double innermost = 2;
        for (const Point& p : GlobePoints(kind.walls)) {
            EXPECT_LE(Length(p), 1.5 + 1e-6);
            innermost = std::min(innermost, Length(p));
        }
        EXPECT_NEAR(innermost, kind.innermostWall, 1e-7);
    }
}

TEST_F(GlobeMeshesTest, SampleVerticesNormalsAndUVs)
{
    const MeshData front = Build(&GlobeBitMaker::CreateFrontPieceMesh);
    const double edge = (std::sqrt(1.75) - 1) * 128;
    EXPECT_NEAR(front.Positions[0].X, -64, 1e-9);
    EXPECT_NEAR(front.Positions[0].Y, -64, 1e-9);
    EXPECT_NEAR(front.Positions[0].Z, edge, 1e-4);
    EXPECT_NEAR(front.UVs[0].U, -0.0575134, 1e-6);
    EXPECT_NEAR(front.UVs[0].V, 0.3918265, 1e-6);
    EXPECT_NEAR(front.Normals[0].X, -0.333333, 1e-6);
    EXPECT_NEAR(front.Normals[0].Z, 0.881917, 1e-6);
    EXPECT_EQ(front.Positions[40].Z, 64);
    EXPECT_NEAR(front.UVs[40].U, 0, 1e-12);
    EXPECT_NEAR(front.UVs[40].V, 0.5, 1e-9);
    EXPECT_EQ(front.Normals[40].Z, 1);

    const MeshData corner = Build(&GlobeBitMaker::CreateCornerPieceMesh);
    EXPECT_NEAR(corner.Positions[0].X, -64, 1e-9);
    EXPECT_NEAR(corner.Positions[0].Z, edge, 1e-4);

    // Walls sample the ring picture's centre line by relative radius.
    const MeshData walls = Build(&GlobeBitMaker::CreateFrontPieceBox);
    for (const UV& uv : walls.UVs) {
        EXPECT_EQ(uv.U, 0.5);
        EXPECT_GE(uv.V, 0.3333333);
        EXPECT_LE(uv.V, 1.0000001);
    }
}

TEST_F(GlobeMeshesTest, NeighbouringPatchesShareTheirBoundaryPointsExactly)
{
    const std::vector<Point> front = GlobePoints(&GlobeBitMaker::CreateFrontPieceMesh);
    const std::vector<Point> side = GlobePoints(&GlobeBitMaker::CreateSidePieceMesh);
    const std::vector<Point> corner = GlobePoints(&GlobeBitMaker::CreateCornerPieceMesh);
    for (int32_t a = 0; a <= 8; ++a) {
        // The front patch's row y = 0.5 is the side patch's row s = -0.5.
        EXPECT_TRUE(SamePoint(front[a * 9 + 8], side[a * 9 + 0])) << a;
        // The side patch's column x = 0.5 is the corner patch's points with c = r.
        const int32_t r = a;
        EXPECT_TRUE(SamePoint(side[8 * 9 + a], corner[r * (r + 1) / 2 + r])) << a;
    }
}

TEST_F(GlobeMeshesTest, SurfacesFaceOutOfTheGlobeAndWallsOutOfTheirCube)
{
    for (const KindCase& kind : Kinds) {
        SCOPED_TRACE(kind.name);
        // The prototype's cell centre, in scene units, from its surface's vertex 0.
        GlobeBitMaker maker;
        (maker.*kind.surface)();
        const Point centre = ReadVector(maker.CenterPoint);
        const Point home { centre.X * 128, centre.Y * 128, centre.Z * 128 };

        std::vector<PlacedTriangle> surface;
        AppendPlaced(surface, Build(kind.surface), home);
        for (const PlacedTriangle& triangle : surface) {
            const Point normal = NormalOf(triangle);
            const Point radial = CentroidOf(triangle);
            EXPECT_GE(Dot(normal, radial) / (Length(normal) * Length(radial)), 0.9996);
        }
        std::vector<PlacedTriangle> walls;
        AppendPlaced(walls, Build(kind.walls));
        for (const PlacedTriangle& triangle : walls)
            EXPECT_GT(Dot(NormalOf(triangle), CentroidOf(triangle)), 0);
    }
}

TEST_F(GlobeMeshesTest, SurfaceAndWallsCloseEachPiece)
{
    for (const KindCase& kind : Kinds) {
        SCOPED_TRACE(kind.name);
        std::vector<PlacedTriangle> piece;
        AppendPlaced(piece, Build(kind.surface));
        AppendPlaced(piece, Build(kind.walls));
        const Closure closure = ClosureOf(piece);
        EXPECT_TRUE(closure.ClosedAndOriented);
        EXPECT_EQ(closure.Vertices, kind.pieceVertices);
        EXPECT_GT(closure.SignedVolume, 0);
    }
}
