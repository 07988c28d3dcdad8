// The builders of the inner walls: where a piece's cube meets a neighbouring
// cube, from the cube's inner edges up to the sphere. Every triangle is wound
// so that it faces out of the piece's own cube. The tops of the walls are the
// same points as the borders of the piece's surface patch, so surface and walls
// together close the piece.

#include "globe/GlobeBitMaker.h"

#include <cmath>

namespace globe {

namespace {

    constexpr double RadiusSquared = 2.25;
    constexpr double InnerFace = 0.5;

}

double GlobeBitMaker::WallHeight(double x) { return std::sqrt(RadiusSquared - (x * x + InnerFace * InnerFace)); }

// Three fans from the inner corner, one in each of the planes x, z and y = 0.5,
// over one arc carried onto the three walls by a cyclic exchange of coordinates.
void GlobeBitMaker::CreateCornerPieceBox()
{
    IsBoxPiece = true;
    SetCenter(1, 1, 1);
    const double g = GridSize;
    const double w = HalfGridSize / g;
    for (int32_t fan = 0; fan < 3; ++fan)
        AddPoint(InnerFace, InnerFace, InnerFace);
    for (int32_t k = -HalfGridSize; k <= HalfGridSize; ++k) {
        const ArcPoint arc = EdgeArc(w, k / g);
        AddPoint(w, arc.A, arc.B);
        AddPoint(arc.A, arc.B, w);
        AddPoint(arc.B, w, arc.A);
    }
    for (int32_t m = 1; m <= GridSize; ++m) {
        AddTriangle(0, 3 * m, 3 * m + 3);
        AddTriangle(1, 3 * m + 1, 3 * m + 4);
        AddTriangle(2, 3 * m + 2, 3 * m + 5);
    }
}

// Two end caps (fans from the ends of the inner edge) and two long walls,
// y = 0.5 and z = 0.5, from the inner edge up to the sphere.
void GlobeBitMaker::CreateSidePieceBox()
{
    IsBoxPiece = true;
    SetCenter(0, 1, 1);
    const double g = GridSize;
    const double w = HalfGridSize / g;
    AddPoint(InnerFace, InnerFace, InnerFace);
    AddPoint(-InnerFace, InnerFace, InnerFace);
    for (int32_t k = -HalfGridSize; k <= HalfGridSize; ++k) {
        const ArcPoint arc = EdgeArc(w, k / g);
        AddPoint(w, arc.A, arc.B);
        AddPoint(-w, arc.A, arc.B);
    }
    for (int32_t m = 1; m <= GridSize; ++m) {
        AddTriangle(0, 2 * m + 2, 2 * m);
        AddTriangle(1, 2 * m + 1, 2 * m + 3);
    }

    const int32_t yWall = int32_t(Points.size());
    for (int32_t k = -HalfGridSize; k <= HalfGridSize; ++k) {
        const double x = k / g;
        AddPoint(x, InnerFace, InnerFace);
        AddPoint(x, InnerFace, WallHeight(x));
    }
    for (int32_t m = 0; m < GridSize; ++m) {
        const int32_t q = yWall + 2 * m;
        AddTriangle(q + 1, q, q + 2);
        AddTriangle(q + 1, q + 2, q + 3);
    }

    const int32_t zWall = int32_t(Points.size());
    for (int32_t k = -HalfGridSize; k <= HalfGridSize; ++k) {
        const double x = k / g;
        AddPoint(x, InnerFace, InnerFace);
        AddPoint(x, WallHeight(x), InnerFace);
    }
    for (int32_t m = 0; m < GridSize; ++m) {
        const int32_t q = zWall + 2 * m;
        AddTriangle(q, q + 1, q + 2);
        AddTriangle(q + 2, q + 1, q + 3);
    }
}

// The inner face z = 0.5 (facing -Z, the opposite winding from the surface
// patch) and four side walls, x = +-0.5 and y = +-0.5, up to the sphere.
void GlobeBitMaker::CreateFrontPieceBox()
{
    IsBoxPiece = true;
    SetCenter(0, 0, 1);
    const double g = GridSize;
    for (int32_t i = -HalfGridSize; i <= HalfGridSize; ++i) {
        for (int32_t j = -HalfGridSize; j <= HalfGridSize; ++j)
            AddPoint(i / g, j / g, InnerFace);
    }
    for (int32_t b = 0; b < GridSize; ++b) {
        for (int32_t a = 0; a < GridSize; ++a) {
            AddTriangle(GridIndex(a, b), GridIndex(a, b + 1), GridIndex(a + 1, b));
            AddTriangle(GridIndex(a + 1, b), GridIndex(a, b + 1), GridIndex(a + 1, b + 1));
        }
    }

    // Eight points a step: foot and top of the walls y = 0.5, y = -0.5,
    // x = 0.5 and x = -0.5, in that order.
    constexpr int32_t PointsPerStep = 8;
    const int32_t walls = int32_t(Points.size());
    for (int32_t k = -HalfGridSize; k <= HalfGridSize; ++k) {
        const double x = k / g;
        const double h = WallHeight(x);
        AddPoint(x, InnerFace, InnerFace);
        AddPoint(x, InnerFace, h);
        AddPoint(x, -InnerFace, InnerFace);
        AddPoint(x, -InnerFace, h);
        AddPoint(InnerFace, x, InnerFace);
        AddPoint(InnerFace, x, h);
        AddPoint(-InnerFace, x, InnerFace);
        AddPoint(-InnerFace, x, h);
    }
    for (int32_t m = 0; m < GridSize; ++m) {
        const int32_t q = walls + PointsPerStep * m;
        AddTriangle(q, q + 1, q + 8); // y = 0.5, facing +Y
        AddTriangle(q + 8, q + 1, q + 9);
        AddTriangle(q + 3, q + 2, q + 10); // y = -0.5, facing -Y
        AddTriangle(q + 3, q + 10, q + 11);
        AddTriangle(q + 5, q + 4, q + 12); // x = 0.5, facing +X
        AddTriangle(q + 5, q + 12, q + 13);
        AddTriangle(q + 6, q + 7, q + 14); // x = -0.5, facing -X
        AddTriangle(q + 14, q + 7, q + 15);
    }
}

// The pole walls are the face-centre walls, turned onto the polar axis later.
void GlobeBitMaker::CreatePolePieceBox() { CreateFrontPieceBox(); }

}
