// Start-up to the first frame: the whole program in this process, from its
// entry to the view's first frame on screen, then quit. The first run loads
// the plug-in; later runs find it loaded, as the process keeps it.

#include "GameRun.h"
#include "Startup.h"
#include "TestHooks.h"

#include <lxframework/Framework.h>

#include <QElapsedTimer>
#include <QTimer>

#include <benchmark/benchmark.h>

namespace {

// Polls the event loop until the main window has shown its first frame.
void StopAtFirstFrame(const QElapsedTimer& clock, double& seconds)
{
    lx::Ref<lx::Window> window = lx::test::FindWindow("MainWindow");
    auto* game = dynamic_cast<game::MainWindow*>(window.Get());
    if (!game || lx::test::PresentCount(*game->View3D1()) == 0) {
        QTimer::singleShot(0, [&clock, &seconds] { StopAtFirstFrame(clock, seconds); });
        return;
    }
    seconds = static_cast<double>(clock.nsecsElapsed()) * 1e-9;
    lx::Quit(0);
}

void StartupToFirstFrame(benchmark::State& state)
{
    bench::EnsureQtApplication();
    for (auto _ : state) {
        double seconds = 0;
        QElapsedTimer clock;
        clock.start();
        QTimer::singleShot(0, [&clock, &seconds] { StopAtFirstFrame(clock, seconds); });
        benchmark::DoNotOptimize(game::TerraslideMain());
        state.SetIterationTime(seconds);
    }
}

}

BENCHMARK(StartupToFirstFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
