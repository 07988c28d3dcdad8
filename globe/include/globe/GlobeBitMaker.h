#pragma once

#include "bindings/Lx3D.h"

#include <cstdint>
#include <vector>

namespace globe {

using bindings::ObjectRef;

class PuzzleTrimesh;

// Builds the geometry of one kind of globe piece at its prototype cell, turns
// it by quarter turns into each other cell of that kind, and writes its current
// state into a PuzzleTrimesh at each stop.
//
// Globe units: cubes of side 1 centred at coordinates -1, 0 and 1, the globe
// the sphere of radius 1.5 about the origin, Y the polar axis (north at +Y).
// Meshes are written in scene units, FinalSize to the globe unit, relative to
// the centre of the cell the piece occupies.
//
// Use: make a maker, call exactly one builder, then any sequence of Yaw and
// Pitch with a GetTrimesh into a fresh mesh after each step that reaches a
// cell. Builders number their points from 0, so a second builder on the same
// maker would write wrong triangles.
class GlobeBitMaker {
public:
    // A maker with the fine grid (8 steps to a cube side) and 128 scene units to the globe unit.
    GlobeBitMaker();

    void AddPoint(double x, double y, double z);
    void AddTriangle(int32_t a, int32_t b, int32_t c);
    // HalfGridSize = the larger of n / 2 and 1, GridSize twice that.
    void SetGridSize(int32_t n);

    // A quarter turn of every point and of CenterPoint about +Y: (x, y, z) -> (z, y, -x).
    void Yaw();
    // A quarter turn about +X: (x, y, z) -> (x, -z, y).
    void Pitch();

    // Fills tm with the walls when a wall builder ran, else with the surface.
    // A nil tm, or a nil CenterPoint once there are points, raises NilObjectException.
    void GetTrimesh(PuzzleTrimesh* tm);
    void GetMeshTrimesh(PuzzleTrimesh* tm);
    void GetBoxTrimesh(PuzzleTrimesh* tm);

    // The earth-surface patches.
    void CreateFrontPieceMesh();
    void CreateSidePieceMesh();
    void CreateCornerPieceMesh();
    void CreatePolePieceMesh();

    // The inner walls.
    void CreateFrontPieceBox();
    void CreateSidePieceBox();
    void CreateCornerPieceBox();
    void CreatePolePieceBox();

    std::vector<ObjectRef> Points;
    std::vector<int32_t> TriangleVertexA;
    std::vector<int32_t> TriangleVertexB;
    std::vector<int32_t> TriangleVertexC;
    int32_t GridSize = 2;
    int32_t HalfGridSize = 1;
    // The u of the previous vertex while GetMeshTrimesh runs (the seam rule).
    double oldu = 0.0;
    ObjectRef CenterPoint;
    int32_t FinalSize = 1;
    bool IsBoxPiece = false;
    bool UsePoleTexture = false;

private:
    struct ArcPoint {
        double A = 0;
        double B = 0;
    };

    template <class Map> void TurnAll(Map map);
    ObjectRef ScenePosition(const ObjectRef& point) const;
    void StartMesh(PuzzleTrimesh* tm) const;
    void CopyTriangles(PuzzleTrimesh* tm) const;
    void SetCenter(double x, double y, double z);
    // The grid point index p(a, b) of the face-centre and edge patches.
    int32_t GridIndex(int32_t a, int32_t b) const { return a * (GridSize + 1) + b; }
    void AddSurfaceGridTriangles();
    // Where the ray from (x, 0.5, 0.5) in direction (0, 0.5 + s, 0.5 - s) meets the sphere: (y, z).
    static ArcPoint EdgeArc(double x, double s);
    // The height of the sphere above (x, 0.5) in the plane of a wall.
    static double WallHeight(double x);
};

}
