// The builders of the earth-surface patches: the part of the sphere of radius
// 1.5 inside the piece's cube, every triangle wound counter-clockwise seen
// from outside the globe. Neighbouring patches share their boundary points
// bit for bit, so the 26 patches close into one sphere.

#include "globe/GlobeBitCreation.h"
#include "globe/GlobeBitMaker.h"

#include <cmath>

namespace globe {

namespace {

    // The sphere's radius squared, and the squared distance from the centre
    // of the edge y = z = 0.5 to the sphere's points above it.
    constexpr double RadiusSquared = 2.25;
    constexpr double EdgeRadiusSquared = 1.75;
    // The corner patch's grid lies in the plane x + y + z = 2.5; each point
    // is carried from the inner corner (0.5, 0.5, 0.5) out to the sphere.
    constexpr double CornerRootConstant = -1.5;

}

// t is the larger root of Q t^2 + S t + (x^2 - 1.75) = 0, which follows from
// x^2 + (0.5 + A t)^2 + (0.5 + B t)^2 = 2.25.
GlobeBitMaker::ArcPoint GlobeBitMaker::EdgeArc(double x, double s)
{
    const double a = (s + 1) - 0.5;
    const double b = (1 - s) - 0.5;
    const double sum = b + a;
    const double q = b * b + a * a;
    const double t = (-sum + std::sqrt(sum * sum - q * 4 * (x * x - EdgeRadiusSquared))) / (q * 2);
    return { a * t + 0.5, b * t + 0.5 };
}

void GlobeBitMaker::AddSurfaceGridTriangles()
{
    for (int32_t b = 0; b < GridSize; ++b) {
        for (int32_t a = 0; a < GridSize; ++a) {
            AddTriangle(GridIndex(a, b + 1), GridIndex(a, b), GridIndex(a + 1, b));
            AddTriangle(GridIndex(a, b + 1), GridIndex(a + 1, b), GridIndex(a + 1, b + 1));
        }
    }
}

// A square grid over -0.5 to 0.5 in x and y, lifted along z onto the sphere.
void GlobeBitMaker::CreateFrontPieceMesh()
{
    SetCenter(0, 0, 1);
    const double g = GridSize;
    for (int32_t i = -HalfGridSize; i <= HalfGridSize; ++i) {
        for (int32_t j = -HalfGridSize; j <= HalfGridSize; ++j) {
            const double x = i / g;
            const double y = j / g;
            AddPoint(x, y, std::sqrt(RadiusSquared - (x * x + y * y)));
        }
    }
    AddSurfaceGridTriangles();
}

// Each column is the arc where a fan of rays from the inner edge meets the
// sphere, turning from +Z (in the plane y = 0.5) to +Y (in the plane z = 0.5).
void GlobeBitMaker::CreateSidePieceMesh()
{
    SetCenter(0, 1, 1);
    const double g = GridSize;
    for (int32_t i = -HalfGridSize; i <= HalfGridSize; ++i) {
        for (int32_t j = -HalfGridSize; j <= HalfGridSize; ++j) {
            const double x = i / g;
            const ArcPoint arc = EdgeArc(x, j / g);
            AddPoint(x, arc.A, arc.B);
        }
    }
    AddSurfaceGridTriangles();
}

// A triangular grid of G rows; row r has r + 1 points and begins at index
// r (r + 1) / 2. The "+ 0.5 - 0.5" keeps the grid on the plane's float grid.
void GlobeBitMaker::CreateCornerPieceMesh()
{
    SetCenter(1, 1, 1);
    const double g = GridSize;
    for (int32_t r = 0; r <= GridSize; ++r) {
        for (int32_t c = 0; c <= r; ++c) {
            const double dx = ((r - c) / g + 0.5) - 0.5;
            const double dy = (c / g + 0.5) - 0.5;
            const double dz = ((GridSize - r) / g + 0.5) - 0.5;
            const double l = dz * dz + dy * dy + dx * dx;
            const double sum = dz + dy + dx;
            const double t = (-sum + std::sqrt(sum * sum - l * 4 * CornerRootConstant)) / (l * 2);
            AddPoint(dx * t + 0.5, dy * t + 0.5, dz * t + 0.5);
        }
    }
    int32_t rowStart = 0;
    for (int32_t r = 0; r < GridSize; ++r) {
        const int32_t next = rowStart + r + 1;
        for (int32_t c = 0; c <= r; ++c) {
            AddTriangle(rowStart + c, next + c, next + c + 1);
            if (c > 0)
                AddTriangle(rowStart + c, rowStart + c - 1, next + c);
        }
        rowStart = next;
    }
}

// The caps take the planar polar mapping only when both cap materials exist;
// without them the piece is drawn from the earth map like a face centre.
void GlobeBitMaker::CreatePolePieceMesh()
{
    if (GlobeBitCreation::NorthPoleSurface && GlobeBitCreation::SouthPoleSurface)
        UsePoleTexture = true;
    CreateFrontPieceMesh();
}

}
