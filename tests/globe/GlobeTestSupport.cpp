#include "GlobeTestSupport.h"

#include "bindings/EntryPoints.h"
#include "game/Resources.h"
#include "globe/GlobeBitCreation.h"
#include "globe/PuzzlePiece.h"

#include <lxframework/Property.h>
#include <lxframework/RGBSurface.h>

#include <cmath>
#include <map>
#include <tuple>

using bindings::Call;
using bindings::Slot;

void StartGlobeRuntime()
{
    static bool started = false;
    if (started)
        return;
    started = true;
    lx::RuntimeInit();
    globe::RegisterPuzzleClasses();
    lx::RuntimeInitExternalClasses();
    bindings::BindEntryPoints();
    // The earth map as the game's start-up hands it over.
    globe::GlobeBitCreation::SetEarthMapAccessor(&game::land_ocean_ice_512);
}

namespace {

int32_t IntegerProperty(lx::Object& object, const char* name)
{
    const lx::Property* property = object.ObjectClass().FindProperty(name);
    if (!property)
        throw std::logic_error(std::string("no property ") + name);
    return lx::GetProperty<int32_t>(object, *property);
}

}

int32_t MaterialHandle(lx::Object* material) { return IntegerProperty(*material, "Handle"); }

MeshData ReadMesh(lx::Object* mesh)
{
    MeshData data;
    const int32_t vertices = IntegerProperty(*mesh, "VertexCount");
    const int32_t triangles = IntegerProperty(*mesh, "TriangleCount");
    auto positions = Call<bindings::ObjectRef>(Slot::TrimeshVertexPositions, mesh);
    auto uvs = Call<bindings::ObjectRef>(Slot::TrimeshVertexUVs, mesh);
    auto normals = Call<bindings::ObjectRef>(Slot::TrimeshVertexNormals, mesh);
    for (int32_t i = 0; i < vertices; ++i) {
        auto read = [i](lx::Object* list) {
            return bindings::Point { Call<double>(Slot::VectorListX, list, i),
                Call<double>(Slot::VectorListY, list, i), Call<double>(Slot::VectorListZ, list, i) };
        };
        data.Positions.push_back(read(positions.Get()));
        if (uvs)
            data.UVs.push_back(
                { Call<double>(Slot::UVListU, uvs.Get(), i), Call<double>(Slot::UVListV, uvs.Get(), i) });
        if (normals)
            data.Normals.push_back(read(normals.Get()));
    }
    auto list = Call<bindings::ObjectRef>(Slot::TrimeshTriangles, mesh);
    for (int32_t j = 0; j < triangles; ++j)
        data.Triangles.push_back({ Call<int32_t>(Slot::TriangleListA, list.Get(), j),
            Call<int32_t>(Slot::TriangleListB, list.Get(), j), Call<int32_t>(Slot::TriangleListC, list.Get(), j) });
    // A mesh without a material gets a fresh empty one by this read, whose
    // handle matches no other material's.
    auto material = Call<bindings::ObjectRef>(Slot::TrimeshMaterialGet, mesh);
    data.MaterialHandle = MaterialHandle(material.Get());
    return data;
}

DebugLogCapture::DebugLogCapture()
    : mPrevious(lx::SetDebugLogSink([this](std::string_view line) { mLines.emplace_back(line); }))
{
}

DebugLogCapture::~DebugLogCapture() { lx::SetDebugLogSink(std::move(mPrevious)); }

lx::Ref<lx::Picture> CoordinateMap(int32_t width, int32_t height)
{
    lx::Ref<lx::Picture> map = lx::Picture::New(width, height, 32);
    lx::Ref<lx::RGBSurface> surface = map->RGBSurface();
    for (int32_t x = 0; x < width; ++x) {
        for (int32_t y = 0; y < height; ++y)
            surface->SetPixel(x, y, lx::Color { uint32_t((x / 256) << 16 | (x % 256) << 8 | y) });
    }
    return map;
}

uint32_t PixelAt(lx::Picture& picture, int32_t x, int32_t y) { return picture.RGBSurface()->Pixel(x, y).rgb; }

void AppendPlaced(std::vector<PlacedTriangle>& triangles, const MeshData& mesh, const bindings::Point& offset)
{
    auto place = [&](int32_t index) {
        const bindings::Point& p = mesh.Positions.at(index);
        return bindings::Point { p.X + offset.X, p.Y + offset.Y, p.Z + offset.Z };
    };
    for (const auto& corners : mesh.Triangles)
        triangles.push_back({ place(corners[0]), place(corners[1]), place(corners[2]) });
}

Closure ClosureOf(const std::vector<PlacedTriangle>& triangles)
{
    using Key = std::tuple<double, double, double>;
    std::map<Key, int32_t> ids;
    std::map<std::pair<int32_t, int32_t>, int32_t> directed;
    Closure closure;
    for (const PlacedTriangle& triangle : triangles) {
        std::array<int32_t, 3> corner {};
        for (int32_t k = 0; k < 3; ++k) {
            const Key key { triangle[k].X, triangle[k].Y, triangle[k].Z };
            corner[k] = ids.emplace(key, int32_t(ids.size())).first->second;
        }
        for (int32_t k = 0; k < 3; ++k)
            ++directed[{ corner[k], corner[(k + 1) % 3] }];
        closure.SignedVolume += Dot(triangle[0], Cross(triangle[1], triangle[2])) / 6;
    }
    closure.Vertices = int32_t(ids.size());
    closure.ClosedAndOriented = true;
    for (const auto& [edge, count] : directed) {
        auto reverse = directed.find({ edge.second, edge.first });
        if (count != 1 || reverse == directed.end() || reverse->second != 1)
            closure.ClosedAndOriented = false;
    }
    closure.Edges = int32_t(directed.size() / 2);
    return closure;
}

bindings::Point Minus(const bindings::Point& a, const bindings::Point& b)
{
    return { a.X - b.X, a.Y - b.Y, a.Z - b.Z };
}

bindings::Point Cross(const bindings::Point& a, const bindings::Point& b)
{
    return { a.Y * b.Z - a.Z * b.Y, a.Z * b.X - a.X * b.Z, a.X * b.Y - a.Y * b.X };
}

double Dot(const bindings::Point& a, const bindings::Point& b) { return a.X * b.X + a.Y * b.Y + a.Z * b.Z; }

double Length(const bindings::Point& a) { return std::sqrt(Dot(a, a)); }

bindings::Point NormalOf(const PlacedTriangle& t) { return Cross(Minus(t[1], t[0]), Minus(t[2], t[0])); }

bindings::Point CentroidOf(const PlacedTriangle& t)
{
    return { (t[0].X + t[1].X + t[2].X) / 3, (t[0].Y + t[1].Y + t[2].Y) / 3, (t[0].Z + t[1].Z + t[2].Z) / 3 };
}
