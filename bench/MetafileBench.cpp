// Reads model files through the library's public interface, as a script
// hands them to LX3D, and walks and draws what they hold:
// - text files whose labels stand many in a row before one shared object,
//   every label listed in the table of contents. The time per label must
//   stay the same from 10,000 labels to 100,000: reading is linear in the
//   file's size.
// - files of shared levels, each a group referring to the level below once
//   (a chain) or twice (doubling the objects a view visits with each level),
//   in both encodings. Reading them must cost what their bytes do, however
//   many objects a view would visit; past the library's limit on those,
//   the file reads as malformed. Chains are read whole too, with the limit
//   lifted.
// - a group of many members walked through its positions, one step each.
// - a chain of groups built through the interface, bounded and released.

#include "MetafileSamples.h"
#include "SceneFixtures.h"

#include <q3/Q3.h>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

// The labels, the attribute set they all name, two meshes that refer to
// it, and the table of contents that lists every label.
std::string LabelledFile(int labels)
{
    std::string text = "3DMetafile ( 1 6 Normal toc> )\n";
    for (int i = 0; i < labels; ++i)
        text += "label" + std::to_string(i) + ": ";
    text += "Container ( AttributeSet ( ) DiffuseColor ( 1 0.5 0 ) )\n";
    const std::string mesh = "TriMesh ( 1 0 0 0 3 0  0 1 2  0 0 0  1 0 0  0 1 0  0 0 0  1 1 0  False )";
    for (int id : { 1, labels })
        text += "Container ( " + mesh + " Reference ( " + std::to_string(id) + " ) )\n";
    text += "toc: TableOfContents ( -1 " + std::to_string(labels + 1) + " -1 0 12 " + std::to_string(labels) + "\n";
    for (int i = 0; i < labels; ++i)
        text += std::to_string(i + 1) + " label" + std::to_string(i) + ">\n";
    return text + ")\n";
}

// Every object of the file in one display group, as LX3D reads a string.
TQ3GroupObject ReadAll(samples::Bytes& bytes)
{
    const auto size = static_cast<TQ3Uns32>(bytes.size());
    TQ3StorageObject storage = Q3MemoryStorage_NewBuffer(bytes.data(), size, size);
    TQ3FileObject file = Q3File_New();
    Q3File_SetStorage(file, storage);
    Q3Object_Dispose(storage);
    TQ3GroupObject group = Q3DisplayGroup_New();
    if (Q3File_OpenRead(file, nullptr) == kQ3Success) {
        while (!Q3File_IsEndOfFile(file)) {
            if (TQ3Object object = Q3File_ReadObject(file)) {
                Q3Group_AddObject(group, object);
                Q3Object_Dispose(object);
            }
        }
        Q3File_Close(file);
    }
    Q3Object_Dispose(file);
    return group;
}

// How many members a group has, counted through its positions.
int64_t CountMembers(TQ3GroupObject group)
{
    int64_t members = 0;
    TQ3GroupPosition position = nullptr;
    for (Q3Group_GetFirstPosition(group, &position); position; Q3Group_GetNextPosition(group, &position)) {
        TQ3Object member = nullptr;
        Q3Group_GetPositionObject(group, position, &member);
        members += member ? 1 : 0;
        Q3Object_Dispose(member);
    }
    return members;
}

void ReadAndCount(benchmark::State& state, samples::Bytes bytes)
{
    int64_t read = 0;
    for (auto _ : state) {
        TQ3GroupObject group = ReadAll(bytes);
        read = CountMembers(group);
        Q3Object_Dispose(group);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(bytes.size()));
    state.counters["kilobytes"] = static_cast<double>(bytes.size()) / 1024;
    state.counters["objects_read"] = static_cast<double>(read);
}

void ReadLabelledText(benchmark::State& state)
{
    const auto labels = static_cast<int>(state.range(0));
    ReadAndCount(state, samples::FromText(LabelledFile(labels)));
    state.SetItemsProcessed(state.iterations() * labels);
}

samples::Bytes SharedLevels(const benchmark::State& state)
{
    const auto levels = static_cast<int>(state.range(0)), references = static_cast<int>(state.range(1));
    return state.range(2) ? samples::FromText(samples::SharedLevelsText(levels, references))
                          : samples::SharedLevelsFile(levels, references);
}

// Arguments: levels, references from each level to the one below, text (1) or binary (0).
void ReadSharedLevels(benchmark::State& state) { ReadAndCount(state, SharedLevels(state)); }

// The same with the library's limit on visits lifted as far as its hook
// allows, so that chains are read whole: what reading alone costs.
void ReadSharedLevelsWhole(benchmark::State& state)
{
    Q3Debug_SetFileVisitLimit(UINT32_MAX);
    ReadSharedLevels(state);
    Q3Debug_SetFileVisitLimit(0);
}

// Reads the shared levels as LX3D does and draws them into a 64 x 64 picture.
void DrawSharedLevels(benchmark::State& state)
{
    samples::Bytes bytes = SharedLevels(state);
    constexpr TQ3Uns32 Size = 64;
    std::vector<uint32_t> pixels(Size * Size);
    TQ3CameraObject camera = fixtures::Camera();
    TQ3ViewObject view = fixtures::View(pixels.data(), Size, Size, camera);
    for (auto _ : state) {
        TQ3GroupObject group = ReadAll(bytes);
        Q3View_StartRendering(view);
        do
            Q3DisplayGroup_Submit(group, view);
        while (Q3View_EndRendering(view) == kQ3ViewStatusRetraverse);
        Q3Object_Dispose(group);
    }
    Q3Object_Dispose(view);
    Q3Object_Dispose(camera);
}

// A group holding one mesh many times, walked through its positions.
void WalkGroupPositions(benchmark::State& state)
{
    fixtures::Quad quad(1);
    TQ3GeometryObject mesh = Q3TriMesh_New(&quad.data);
    TQ3GroupObject group = Q3DisplayGroup_New();
    for (int64_t i = 0; i < state.range(0); ++i)
        Q3Group_AddObject(group, mesh);
    for (auto _ : state)
        benchmark::DoNotOptimize(CountMembers(group));
    state.SetItemsProcessed(state.iterations() * state.range(0));
    Q3Object_Dispose(group);
    Q3Object_Dispose(mesh);
}

// A chain of groups, each holding the one before, the first a mesh, built,
// bounded and released.
void BoundAndReleaseChain(benchmark::State& state)
{
    fixtures::Quad quad(1);
    TQ3ViewObject view = Q3View_New();
    for (auto _ : state) {
        TQ3Object chain = Q3TriMesh_New(&quad.data);
        for (int64_t level = 0; level < state.range(0); ++level) {
            TQ3GroupObject group = Q3DisplayGroup_New();
            Q3Group_AddObject(group, chain);
            Q3Object_Dispose(chain);
            chain = group;
        }
        TQ3BoundingBox box {};
        Q3View_StartBoundingBox(view, kQ3ComputeBoundsExact);
        Q3Object_Submit(chain, view);
        Q3View_EndBoundingBox(view, &box);
        benchmark::DoNotOptimize(box);
        Q3Object_Dispose(chain);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    Q3Object_Dispose(view);
}

}

BENCHMARK(ReadLabelledText)->Arg(10000)->Arg(20000)->Arg(40000)->Arg(100000)->Unit(benchmark::kMillisecond);
// Doubling levels: 28 as a hostile file has them, 15 the most under the
// library's limit; chains of 100,000 levels and of 361, the most under it.
BENCHMARK(ReadSharedLevels)
    ->ArgsProduct({ { 15, 28 }, { 2 }, { 0, 1 } })
    ->ArgsProduct({ { 361, 100000 }, { 1 }, { 0, 1 } })
    ->Unit(benchmark::kMillisecond);
BENCHMARK(ReadSharedLevelsWhole)->ArgsProduct({ { 30000, 90000 }, { 1 }, { 0, 1 } })->Unit(benchmark::kMillisecond);
BENCHMARK(DrawSharedLevels)->Args({ 24, 2, 1 })->Unit(benchmark::kMillisecond);
BENCHMARK(WalkGroupPositions)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BoundAndReleaseChain)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);
