// Start-up to the first frame on screen, two ways. In this process: from the
// program's entry to the view's first frame, then quit; the first run loads
// the plug-in, later runs find it loaded, as the process keeps it. From a
// launch: a fresh process of this program, timed from just before it is
// spawned to its first frame, so loading the libraries, making the Qt
// application and loading the plug-in all count.

#include "ChildProcess.h"
#include "GameRun.h"
#include "game/Startup.h"
#include "TestHooks.h"

#include <lxframework/AppLife.h>

#include <QTimer>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

namespace {

constexpr const char* LaunchedAtFlag = "--launched-at=";

// Nanoseconds on a clock that every process of the machine shares.
long long MonotonicNanoseconds()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

// Polls the event loop until the main window has shown its first frame.
void StopAtFirstFrame(long long start, double& seconds)
{
    lx::Ref<lx::Window> window = lx::test::FindWindow("MainWindow");
    auto* game = dynamic_cast<game::MainWindow*>(window.Get());
    if (!game || lx::test::PresentCount(*game->View3D1()) == 0) {
        QTimer::singleShot(0, [start, &seconds] { StopAtFirstFrame(start, seconds); });
        return;
    }
    seconds = double(MonotonicNanoseconds() - start) * 1e-9;
    lx::Quit(0);
}

// Seconds from `start` to the game's first frame; 0 when it showed none.
double RunToFirstFrame(long long start)
{
    double seconds = 0;
    bench::EnsureQtApplication();
    QTimer::singleShot(0, [start, &seconds] { StopAtFirstFrame(start, seconds); });
    benchmark::DoNotOptimize(game::TerraslideMain());
    return seconds;
}

void StartupToFirstFrame(benchmark::State& state)
{
    for (auto _ : state)
        state.SetIterationTime(RunToFirstFrame(MonotonicNanoseconds()));
}
BENCHMARK(StartupToFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

void LaunchToFirstFrame(benchmark::State& state)
{
    for (auto _ : state) {
        const std::string flag = LaunchedAtFlag + std::to_string(MonotonicNanoseconds());
        const std::optional<std::string> output = bench::RunSelf({ flag }, {});
        double seconds = 0;
        if (!output || std::sscanf(output->c_str(), "%lf", &seconds) != 1 || seconds <= 0) {
            state.SkipWithError("the launched game showed no frame");
            break;
        }
        state.SetIterationTime(seconds);
    }
}
BENCHMARK(LaunchToFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

}

int main(int argc, char** argv)
{
    // A launched copy reports its own start-up and stops.
    if (argc == 2 && std::strncmp(argv[1], LaunchedAtFlag, std::strlen(LaunchedAtFlag)) == 0) {
        const double seconds = RunToFirstFrame(std::atoll(argv[1] + std::strlen(LaunchedAtFlag)));
        std::printf("%.9f\n", seconds);
        return seconds > 0 ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
