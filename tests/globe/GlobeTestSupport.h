#pragma once

// The globe code as the game runs it: the real runtime with lx3d.so loaded,
// the entry-point table bound and the puzzle classes registered.

#include "../lxframework/RaisedBy.h"
#include "bindings/Lx3D.h"

#include <lxframework/Exceptions.h>
#include <lxframework/Picture.h>
#include <lxframework/Runtime.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

void StartGlobeRuntime();

struct UV {
    double U = 0;
    double V = 0;
};

// A mesh read back through its lists, in scene units.
struct MeshData {
    std::vector<bindings::Point> Positions;
    std::vector<UV> UVs;
    std::vector<bindings::Point> Normals;
    std::vector<std::array<int32_t, 3>> Triangles;
    // The handle of the material's attribute set, shared by every mesh given that material.
    int32_t MaterialHandle = 0;
};

MeshData ReadMesh(lx::Object* mesh);
int32_t MaterialHandle(lx::Object* material);

// Collects the debug log while it lives.
class DebugLogCapture {
public:
    DebugLogCapture();
    ~DebugLogCapture();
    const std::vector<std::string>& Lines() const { return mLines; }

private:
    lx::DebugLogSink mPrevious;
    std::vector<std::string> mLines;
};

// A map whose pixel (x, y) encodes its own place: red = x / 256, green = x % 256, blue = y.
lx::Ref<lx::Picture> CoordinateMap(int32_t width, int32_t height);
uint32_t PixelAt(lx::Picture& picture, int32_t x, int32_t y);

// Triangles placed in space, each corner a position.
using PlacedTriangle = std::array<bindings::Point, 3>;

// Appends the mesh's triangles, its positions moved by offset.
void AppendPlaced(std::vector<PlacedTriangle>& triangles, const MeshData& mesh, const bindings::Point& offset = {});

// The surface the triangles make, with corners merged by exact position.
struct Closure {
    int32_t Vertices = 0;
    int32_t Edges = 0;
    // Every directed edge occurs once and its reverse once: a closed,
    // consistently oriented surface.
    bool ClosedAndOriented = false;
    double SignedVolume = 0;
};
Closure ClosureOf(const std::vector<PlacedTriangle>& triangles);

bindings::Point Minus(const bindings::Point& a, const bindings::Point& b);
bindings::Point Cross(const bindings::Point& a, const bindings::Point& b);
double Dot(const bindings::Point& a, const bindings::Point& b);
double Length(const bindings::Point& a);
// The right-hand normal (not normalised) and the centroid of a triangle.
bindings::Point NormalOf(const PlacedTriangle& triangle);
bindings::Point CentroidOf(const PlacedTriangle& triangle);
