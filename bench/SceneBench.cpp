#include "SceneBench.h"

namespace q3::render {

const SyntheticScene& Scene()
{
    static const SyntheticScene scene = SyntheticScene::Make();
    return scene;
}

void DeviceFrame(benchmark::State& state)
{
    constexpr int Size = SyntheticScene::Size;
    std::vector<uint8_t> pixels(size_t(Size) * Size * 4);
    Target target { pixels.data(), Size, Size, Size * 4 };
    Device device;
    for (auto _ : state) {
        Scene().Render(device, target);
        benchmark::DoNotOptimize(pixels.data());
    }
}

void MedianReporter::ReportRuns(const std::vector<Run>& runs)
{
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        if (run.aggregate_name == "median")
            medians[run.run_name.function_name] = run.GetAdjustedRealTime();
    }
}

}
