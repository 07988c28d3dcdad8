#include "GlobeTestSupport.h"

#include "game/EntryPoints.h"
#include "globe/PuzzlePiece.h"

#include <lxframework/Property.h>
#include <lxframework/RGBSurface.h>

using game::Call;
using game::Slot;

void StartGlobeRuntime()
{
    static bool started = false;
    if (started)
        return;
    started = true;
    lx::RuntimeInit();
    globe::RegisterPuzzleClasses();
    lx::RuntimeInitExternalClasses();
    game::BindEntryPoints();
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
    auto positions = Call<globe::ObjectRef>(Slot::TrimeshVertexPositions, mesh);
    auto uvs = Call<globe::ObjectRef>(Slot::TrimeshVertexUVs, mesh);
    auto normals = Call<globe::ObjectRef>(Slot::TrimeshVertexNormals, mesh);
    for (int32_t i = 0; i < vertices; ++i) {
        auto read = [i](lx::Object* list) {
            return globe::VectorValue { Call<double>(Slot::VectorListX, list, i), Call<double>(Slot::VectorListY, list, i),
                Call<double>(Slot::VectorListZ, list, i) };
        };
        data.Positions.push_back(read(positions.Get()));
        if (uvs)
            data.UVs.push_back({ Call<double>(Slot::UVListU, uvs.Get(), i), Call<double>(Slot::UVListV, uvs.Get(), i) });
        if (normals)
            data.Normals.push_back(read(normals.Get()));
    }
    auto list = Call<globe::ObjectRef>(Slot::TrimeshTriangles, mesh);
    for (int32_t j = 0; j < triangles; ++j)
        data.Triangles.push_back({ Call<int32_t>(Slot::TriangleListA, list.Get(), j),
            Call<int32_t>(Slot::TriangleListB, list.Get(), j), Call<int32_t>(Slot::TriangleListC, list.Get(), j) });
    // A mesh without a material gets a fresh empty one by this read, whose
    // handle matches no other material's.
    auto material = Call<globe::ObjectRef>(Slot::TrimeshMaterialGet, mesh);
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
