// Draws a script's deliberately deep scene through the library's public
// interface, as LX3D draws a picture of it: levels of display groups, each
// referring twice to the one below, over one triangle, into a 64 × 64
// pixmap. Sixteen levels make 65,536 copies of the triangle, all of which
// a frame holds at once; twenty and twenty-three make 16 and 128 times as
// many, which it draws in pieces. The time per triangle must stay the
// same, and the process's peak memory (peak_rss_MiB, which only grows,
// so run one size alone to read its own) must not grow with the scene.

#include "SceneFixtures.h"

#include <q3/Q3.h>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <array>
#include <vector>

namespace {

constexpr TQ3Uns32 Size = 64;

class DeepScene {
public:
    explicit DeepScene(int levels)
    {
        Q3Initialize();
        TQ3TriMeshData data {};
        data.numTriangles = 1;
        data.triangles = &mTriangle;
        data.numPoints = TQ3Uns32(mPoints.size());
        data.points = mPoints.data();
        mScene = fixtures::DoubledLevels(Q3TriMesh_New(&data), levels);
        mCamera = fixtures::Camera();
        mView = fixtures::View(mPixels.data(), Size, Size, mCamera);
    }

    ~DeepScene()
    {
        Q3Object_Dispose(mView);
        Q3Object_Dispose(mCamera);
        Q3Object_Dispose(mScene);
    }

    DeepScene(const DeepScene&) = delete;
    DeepScene& operator=(const DeepScene&) = delete;

    bool Frame()
    {
        if (Q3View_StartRendering(mView) != kQ3Success)
            return false;
        TQ3ViewStatus status = kQ3ViewStatusRetraverse;
        while (status == kQ3ViewStatusRetraverse) {
            Q3DisplayGroup_Submit(mScene, mView);
            status = Q3View_EndRendering(mView);
        }
        return status == kQ3ViewStatusDone;
    }

    const std::vector<uint32_t>& Pixels() const { return mPixels; }

private:
    std::array<TQ3Point3D, 3> mPoints { { { -3, -3, 0 }, { 3, -3, 0 }, { 0, 3, 0 } } };
    TQ3TriMeshTriangleData mTriangle { { 0, 1, 2 } };
    std::vector<uint32_t> mPixels = std::vector<uint32_t>(Size * Size);
    TQ3Object mScene { nullptr };
    TQ3CameraObject mCamera { nullptr };
    TQ3ViewObject mView { nullptr };
};

double PeakMemoryMiB()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024; // kilobytes on Linux
}

void DrawDeepScene(benchmark::State& state)
{
    const auto levels = int(state.range(0));
    DeepScene scene(levels);
    for (auto _ : state) {
        if (!scene.Frame()) {
            state.SkipWithError("the rendering loop failed");
            break;
        }
        benchmark::DoNotOptimize(scene.Pixels().data());
    }
    state.SetItemsProcessed(state.iterations() * (int64_t(1) << levels));
    state.counters["peak_rss_MiB"] = PeakMemoryMiB();
}
BENCHMARK(DrawDeepScene)->Arg(16)->Arg(20)->Arg(23)->Unit(benchmark::kMillisecond)->UseRealTime();

}
