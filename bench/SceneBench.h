#pragma once

// What the view benchmark of the synthetic scene uses: the scene, built
// once; the rasteriser's own frame of it; and a reporter that keeps each
// benchmark's median, from which it prints its ratios.

#include "SyntheticScene.h"

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace q3::render {

constexpr int Repetitions = 10;

const SyntheticScene& Scene();

// Renders the scene through the device into a Size × Size buffer each iteration.
void DeviceFrame(benchmark::State& state);

// Prints as usual and keeps each benchmark's median real time.
class MedianReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override;
    std::map<std::string, double> medians {};
};

}
