// LX3D's work for what a script holds, each beside a peer that does the same
// amount of plain work, so that the ratio shows whether the work grows only
// with what is held:
//   - a redraw after every light of a view changed kind, beside a redraw of
//     the same lights unchanged;
//   - building a chain of nested groups, from the bottom up and from the top
//     down, and releasing it, beside as many groups side by side in one;
//   - a model's mesh and material counts over one group of references to one
//     mesh, beside reading that model;
//   - a frame of groups that each hold the one below twice, beside a frame of
//     one group that holds the bottom as often as there are paths to it.
// Run it on Qt's offscreen platform (QT_QPA_PLATFORM=offscreen).

#include "Lx3DView.h"

#include <lxframework/String.h>

#include <benchmark/benchmark.h>
#include <q3/Q3.h>

#include <string>

namespace {

// The view fixture of the tests, driven by the benchmarks instead.
class BenchView : public ViewFixture {
public:
    BenchView() { SetUp(); }
    ~BenchView() override { TearDown(); }
    void TestBody() override { }

    using ViewFixture::OpenGameScene;
    using ViewFixture::Quad;
    using ViewFixture::Redraw;
    using ViewFixture::view;
};

// Every light a point light first; each flip turns them all into
// directional lights or back.
void FlipKinds(const std::vector<ObjectRef>& lights, bool directional)
{
    for (const ObjectRef& light : lights) {
        SetObject(*light, "Position", directional ? nullptr : NewVector(0, 0, 500).Get());
        SetObject(*light, "Direction", directional ? NewVector(0, 0, -1).Get() : nullptr);
    }
}

void RedrawWithLights(benchmark::State& state, bool changeKind)
{
    BenchView bench;
    bench.OpenGameScene();
    std::vector<ObjectRef> lights;
    for (int64_t i = 0; i < state.range(0); ++i) {
        lights.push_back(NewObject("Light3D"));
        Invoke("Lx3DSpace.AddLight(light as Light3D)", bench.view.Get(), lights.back().Get());
    }
    FlipKinds(lights, false);
    bench.Redraw();
    bool directional = false;
    for (auto _ : state) {
        if (changeKind) {
            state.PauseTiming();
            directional = !directional;
            FlipKinds(lights, directional);
            state.ResumeTiming();
        }
        bench.Redraw();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void RedrawAfterLightsChangeKind(benchmark::State& state) { RedrawWithLights(state, true); }
void RedrawWithLightsUnchanged(benchmark::State& state) { RedrawWithLights(state, false); }
BENCHMARK(RedrawAfterLightsChangeKind)->Arg(1000)->Arg(3000)->Unit(benchmark::kMillisecond);
BENCHMARK(RedrawWithLightsUnchanged)->Arg(1000)->Arg(3000)->Unit(benchmark::kMillisecond);

GroupChain FlatGroup(int count, lx::Object* leaf)
{
    GroupChain flat { NewObject("Group3D"), nullptr };
    for (int i = 1; i < count; ++i)
        Append(flat.top.Get(), NewObject("Group3D").Get());
    Append(flat.top.Get(), leaf);
    return flat;
}

// Building, then releasing: `count` groups as a chain in either order, or
// side by side in one group.
enum class Shape { ChainBottomUp, ChainTopDown, SideBySide };

GroupChain Build(Shape shape, int count, lx::Object* leaf)
{
    if (shape == Shape::SideBySide)
        return FlatGroup(count, leaf);
    return ChainOfGroups(count, leaf, shape == Shape::ChainBottomUp ? BuildOrder::BottomUp : BuildOrder::TopDown);
}

void BuildGroups(benchmark::State& state, Shape shape)
{
    ObjectRef leaf = NewObject("Element3D");
    const int count = int(state.range(0));
    for (auto _ : state) {
        GroupChain built = Build(shape, count, leaf.Get());
        state.PauseTiming();
        built = {};
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * count);
}

void ReleaseGroups(benchmark::State& state, Shape shape)
{
    ObjectRef leaf = NewObject("Element3D");
    const int count = int(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        GroupChain built = Build(shape, count, leaf.Get());
        state.ResumeTiming();
        built = {};
    }
    state.SetItemsProcessed(state.iterations() * count);
}

void BuildChainBottomUp(benchmark::State& state) { BuildGroups(state, Shape::ChainBottomUp); }
void BuildChainTopDown(benchmark::State& state) { BuildGroups(state, Shape::ChainTopDown); }
void BuildSideBySide(benchmark::State& state) { BuildGroups(state, Shape::SideBySide); }
void ReleaseChain(benchmark::State& state) { ReleaseGroups(state, Shape::ChainTopDown); }
void ReleaseSideBySide(benchmark::State& state) { ReleaseGroups(state, Shape::SideBySide); }
BENCHMARK(BuildChainBottomUp)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BuildChainTopDown)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BuildSideBySide)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);
BENCHMARK(ReleaseChain)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);
BENCHMARK(ReleaseSideBySide)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);

// One display group of `references` references to one labelled mesh.
std::string ReferencesModel(int64_t references)
{
    std::string text = "3DMetafile ( 1 6 Normal toc> )\nBeginGroup ( DisplayGroup ( ) )\n";
    text += "mesh: Container ( TriMesh ( 1 0 0 0 3 0  0 1 2  0 0 0  1 0 0  0 1 0  0 0 0  1 1 0  False ) "
            "Container ( AttributeSet ( ) DiffuseColor ( 1 0.5 0 ) ) )\n";
    for (int64_t i = 1; i < references; ++i)
        text += "Reference ( 1 )\n";
    return text + "EndGroup ( )\ntoc: TableOfContents ( -1 2 -1 0 12 1\n1 mesh>\n)\n";
}

// The largest model holds more references than a model file may make a view
// visit, so the library's limit is lifted while it is read.
ObjectRef ReadModel(const std::string& text)
{
    ObjectRef object = NewObject("Object3D");
    Q3Debug_SetFileVisitLimit(UINT32_MAX);
    Invoke("Object3D.AddShapeFromString(data as String, insertPos as Integer=-1)", object.Get(),
        ObjectRef(lx::NewString(text)), -1);
    Q3Debug_SetFileVisitLimit(0);
    return object;
}

void CountInModel(benchmark::State& state, const char* property)
{
    ObjectRef object = ReadModel(ReferencesModel(state.range(0)));
    const int32_t counted = Get<int32_t>(*object, property);
    if (counted != state.range(0)) {
        state.SkipWithError(("the count was " + std::to_string(counted)).c_str());
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(Get<int32_t>(*object, property));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void ReadReferencesModel(benchmark::State& state)
{
    const std::string text = ReferencesModel(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadModel(text));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void TrimeshCount(benchmark::State& state) { CountInModel(state, "TrimeshCount"); }
void MaterialCount(benchmark::State& state) { CountInModel(state, "MaterialCount"); }
BENCHMARK(TrimeshCount)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);
BENCHMARK(MaterialCount)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);
BENCHMARK(ReadReferencesModel)->RangeMultiplier(10)->Range(1000, 100000)->Unit(benchmark::kMillisecond);

// A small quad in the middle of the view, drawn once for every path to it.
void DrawPaths(benchmark::State& state, bool shared)
{
    BenchView bench;
    bench.OpenGameScene();
    ObjectRef quad = bench.Quad(20, { 0, 0, 0 });
    const int levels = int(state.range(0));
    ObjectRef top = NewObject("Group3D");
    Append(top.Get(), quad.Get());
    if (shared) {
        for (int level = 1; level < levels; ++level) {
            ObjectRef group = NewObject("Group3D");
            Append(group.Get(), top.Get());
            Append(group.Get(), top.Get());
            top = group;
        }
    } else {
        for (int64_t path = 1; path < int64_t(1) << (levels - 1); ++path)
            Append(top.Get(), quad.Get());
    }
    Append(Get<ObjectRef>(*bench.view, "Objects").Get(), top.Get());
    for (auto _ : state)
        bench.Redraw();
    state.SetItemsProcessed(state.iterations() * (int64_t(1) << (levels - 1)));
}

void DrawSharedLevels(benchmark::State& state) { DrawPaths(state, true); }
void DrawSideBySide(benchmark::State& state) { DrawPaths(state, false); }
BENCHMARK(DrawSharedLevels)->Arg(12)->Arg(16)->Unit(benchmark::kMillisecond);
BENCHMARK(DrawSideBySide)->Arg(12)->Arg(16)->Unit(benchmark::kMillisecond);

}

BENCHMARK_MAIN();
