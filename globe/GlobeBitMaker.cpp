#include "globe/GlobeBitMaker.h"

#include "globe/GlobeBitCreation.h"
#include "globe/PuzzleTrimesh.h"

#include <lxframework/Functions.h>
#include <lxframework/Runtime.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace globe {

using namespace bindings;

namespace {

    constexpr int32_t FineGrid = 8;
    // The literals of the texture mapping are deliberately short of full
    // precision: the meshes must come out as they always have.
    constexpr double HalfTurn = 3.1415926536;
    constexpr double FullTurn = 6.283185308;
    // A step in u larger than this between neighbouring vertices means the
    // piece straddles the back meridian.
    constexpr double SeamJump = 0.3;
    // The cap pictures stretch the polar region by 1.02 (see MakePolarCaps);
    // this is the double nearest 1 / 1.02.
    constexpr double PoleTextureScale = 0.9803921568627451;
    constexpr double GlobeRadius = 1.5;

    void RequireMesh(PuzzleTrimesh* tm)
    {
        if (!tm)
            lx::Throw<lx::NilObjectException>("no mesh to fill");
    }

}

GlobeBitMaker::GlobeBitMaker()
{
    SetGridSize(FineGrid);
    FinalSize = CellSize;
}

void GlobeBitMaker::AddPoint(double x, double y, double z) { Points.push_back(NewVector(x, y, z)); }

void GlobeBitMaker::AddTriangle(int32_t a, int32_t b, int32_t c)
{
    TriangleVertexA.push_back(a);
    TriangleVertexB.push_back(b);
    TriangleVertexC.push_back(c);
}

void GlobeBitMaker::SetGridSize(int32_t n)
{
    HalfGridSize = lx::ToInteger(std::max(n / 2.0, 1.0));
    GridSize = 2 * HalfGridSize;
}

// The turns only exchange and negate stored floats, so they are exact. The
// centre is checked first so that a turn without one changes nothing.
template <class Map> void GlobeBitMaker::TurnAll(Map map)
{
    if (!CenterPoint)
        lx::Throw<lx::NilObjectException>("the maker has no centre; no piece was built");
    for (const ObjectRef& point : Points)
        WriteVector(point, map(ReadVector(point)));
    WriteVector(CenterPoint, map(ReadVector(CenterPoint)));
}

void GlobeBitMaker::Yaw()
{
    TurnAll([](const Point& p) { return Point { p.Z, p.Y, -p.X }; });
}

void GlobeBitMaker::Pitch()
{
    TurnAll([](const Point& p) { return Point { p.X, -p.Z, p.Y }; });
}

void GlobeBitMaker::GetTrimesh(PuzzleTrimesh* tm)
{
    if (IsBoxPiece)
        GetBoxTrimesh(tm);
    else
        GetMeshTrimesh(tm);
}

// (P x F) - (C x F) in the vector's own single-precision arithmetic; with
// F = 128 this is (P - C) x 128 exactly.
ObjectRef GlobeBitMaker::ScenePosition(const ObjectRef& point) const
{
    const double scale = FinalSize;
    ObjectRef scaled = Vector3D::Times(point, scale);
    ObjectRef centre = Vector3D::Times(CenterPoint, scale);
    return Vector3D::Minus(scaled, centre);
}

// A new vertex count discards the vertex attributes, so the counts come first.
void GlobeBitMaker::StartMesh(PuzzleTrimesh* tm) const
{
    RequireMesh(tm);
    const ObjectRef mesh(tm);
    Trimesh::SetVertexCount(mesh, int32_t(Points.size()));
    Trimesh::SetTriangleCount(mesh, int32_t(TriangleVertexA.size()));
    Trimesh::SetHasVertexUVs(mesh, true);
}

void GlobeBitMaker::CopyTriangles(PuzzleTrimesh* tm) const
{
    const ObjectRef mesh(tm);
    for (std::size_t j = 0; j < TriangleVertexA.size(); ++j) {
        TriangleList::SetABC(
            Trimesh::Triangles(mesh), int32_t(j), TriangleVertexA[j], TriangleVertexB[j], TriangleVertexC[j]);
    }
}

void GlobeBitMaker::GetMeshTrimesh(PuzzleTrimesh* tm)
{
    StartMesh(tm);
    const ObjectRef mesh(tm);
    Trimesh::SetHasVertexNormals(mesh, true);

    double lastV = 0;
    for (std::size_t i = 0; i < Points.size(); ++i) {
        const ObjectRef& point = Points[i];
        const auto index = int32_t(i);
        VectorList::SetVector(Trimesh::VertexPositions(mesh), index, ScenePosition(point));

        // Longitude and colatitude, longitude 0 on +Z growing toward +X.
        const Point p = ReadVector(point);
        double v = 1 - std::atan2(std::sqrt(p.X * p.X + p.Z * p.Z), p.Y) / HalfTurn;
        double u = std::atan2(p.X, p.Z) / FullTurn;
        // Keep u continuous within a piece that straddles the back meridian;
        // the earth texture repeats in u, so u may leave -0.5 to 0.5.
        if (i != 0 && std::abs(u - oldu) > SeamJump)
            u -= std::round(u - oldu);
        oldu = u;
        if (UsePoleTexture) {
            u = p.X * PoleTextureScale + 0.5;
            v = p.Z * PoleTextureScale + 0.5;
        }
        UVList::SetUV(Trimesh::VertexUVs(mesh), index, u, v);
        lastV = v;

        const double length = Vector3D::Length(point);
        ObjectRef normal = Vector3D::Times(point, 1.0 / length);
        VectorList::SetVector(Trimesh::VertexNormals(mesh), index, normal);
    }
    CopyTriangles(tm);

    // A pole cap turned to -Y ends on a point of planar v near 1, one turned
    // to +Y on a point of v near 0. A maker without points keeps GlobeSurface.
    ObjectRef material = GlobeBitCreation::GlobeSurface;
    if (UsePoleTexture && GlobeBitCreation::NorthPoleSurface && !Points.empty())
        material = lastV >= 0.5 ? GlobeBitCreation::SouthPoleSurface : GlobeBitCreation::NorthPoleSurface;
    Trimesh::SetMaterial(mesh, material);
}

void GlobeBitMaker::GetBoxTrimesh(PuzzleTrimesh* tm)
{
    StartMesh(tm);
    const ObjectRef mesh(tm);
    for (std::size_t i = 0; i < Points.size(); ++i) {
        const ObjectRef& point = Points[i];
        const auto index = int32_t(i);
        VectorList::SetVector(Trimesh::VertexPositions(mesh), index, ScenePosition(point));

        // The walls sample the ring picture on its vertical centre line by
        // relative distance from the globe's centre.
        const Point p = ReadVector(point);
        const double r = std::sqrt(p.X * p.X + p.Y * p.Y + p.Z * p.Z);
        lx::DebugLog(lx::Str(r / GlobeRadius) + std::string(lx::EndOfLine));
        UVList::SetUV(Trimesh::VertexUVs(mesh), index, 0.5, r / GlobeRadius);
    }
    CopyTriangles(tm);
    Trimesh::SetMaterial(mesh, GlobeBitCreation::GlobeInterior);
}

void GlobeBitMaker::SetCenter(double x, double y, double z) { CenterPoint = NewVector(x, y, z); }

}
