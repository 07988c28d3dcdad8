// The game's own scene, built by its real start-up in this process
// (offscreen), timed as the player drives it: a frame of an orbit step and a
// frame of a slide step (render only), an orbit frame with its present, the
// present alone, and a pick at 100 points over the view. A step of an orbit
// drag (the mouse event, the camera's turn, the frame, its present and the
// events it posts) is timed twice: back to back, with warm caches, and in the
// game's rhythm, each step after a display refresh of idleness, as the
// player's drag comes. One orbit frame is captured as the device saw it and
// written to a file. The rasteriser alone and Mesa's llvmpipe,
// single-threaded, render the capture in this process, their runs
// interleaved at random with the game's so that both see the same machine;
// llvmpipe draws it twice, used naively and carefully (see MesaReplay.h).
// llvmpipe with its default threads reads the file in a child process, since
// it reads its thread count once per process. The program fails if
// llvmpipe's picture of the capture is not the game's frame.
//
//   game_bench [--capture=FILE] [--pictures=FOLDER] [--smoke] [benchmark flags]
//
// FILE (default game-frame.capture in the current folder) receives the
// capture; FOLDER, if given, the game's frame and llvmpipe's as game.png and
// llvmpipe.png. --smoke runs everything once, to see that it still works.
// Pin the program to one core (taskset -c N) for a fair run.

#include "ChildProcess.h"
#include "GameRun.h"
#include "MesaReplay.h"
#include "SceneCapture.h"

#include "bindings/Lx3D.h"
#include "TestHooks.h"
#include "Widgets.h"

#include <carbon/Carbon.h>

#include <QCoreApplication>
#include <QImage>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <map>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

using namespace bench;

namespace {

constexpr int Repetitions = 10;
constexpr int FrameIterations = 40;
constexpr int PresentIterations = 200;
constexpr int PickIterations = 300;
constexpr int OrbitPixels = 4; // of drag per frame, a brisk drag
constexpr QPoint DragStart { 20, 20 }; // on the star backdrop, where a press starts an orbit
// One display refresh at 60 Hz: the least the game idles between the steps of a drag.
constexpr std::chrono::nanoseconds RefreshGap { 16'666'667 };
constexpr int PickGrid = 10; // 10 × 10 points over the view
constexpr int SlidePiece = 14; // in front of the empty slot at the start
constexpr double SlideStart = 128; // its z, one cell in front of the slot
constexpr int SlideSteps = 4; // as the game slides
constexpr int VisibleDifference = 32; // of 255 in a channel, between the two pictures
constexpr double MaximumDifferingShare = 2; // percent of the pixels

// Names of the benchmarks, as the summary reads their results.
constexpr const char* OrbitFrameName = "OrbitFrame";
constexpr const char* SlideFrameName = "SlideFrame";
constexpr const char* OrbitShownName = "OrbitFrameShown";
constexpr const char* DragName = "OrbitDrag";
constexpr const char* DragInRhythmName = "OrbitDragInRhythm";
constexpr const char* PresentName = "Present";
constexpr const char* PickName = "Pick";
constexpr const char* RasteriserName = "RasteriserAlone";
constexpr const char* MesaName = "LlvmpipeFrame";
constexpr const char* MesaCarefulName = "LlvmpipeFrameCareful";

struct Options {
    std::string capturePath { "game-frame.capture" };
    std::string pictures {};
    std::string replayInMesa {}; // set in the child that renders with llvmpipe
    bool smoke { false }; // one iteration of everything, to see that it all still runs
    std::vector<std::string> benchmarkFlags {};
};

Options TheOptions;
SceneCapture TheCapture;

// ---- Driving the game, as the player does ----

bindings::ObjectRef ViewOf(game::MainWindow& window) { return window.View3D1(); }

void OrbitStep(game::MainWindow& window, int& frame)
{
    // A drag to and fro keeps the view next to the captured one, so that
    // llvmpipe's frame and these are alike.
    window.MoveCamera(frame++ % 2 ? -OrbitPixels : OrbitPixels, 0);
    bindings::Lx3DSpace::Update(ViewOf(window));
}

// The piece in front of the slot moves into it a quarter cell per frame and
// back again, as a slide there and a slide back would.
void SlideStep(game::MainWindow& window, int& frame)
{
    const int step
        = frame % (2 * SlideSteps) < SlideSteps ? frame % SlideSteps + 1 : SlideSteps - frame % SlideSteps - 1;
    bindings::ObjectRef position = bindings::Element3D::Position(window.myCubes[SlidePiece]);
    bindings::Vector3D::SetZ(position, SlideStart * (1 - double(step) / SlideSteps));
    bindings::Lx3DSpace::Update(ViewOf(window));
    ++frame;
}

// What the draw context does once a frame is finished: the view's pane of
// the window's port goes to the screen.
void PresentView(game::MainWindow& window)
{
    const QRect bounds = lx::BoundsOf(*window.View3D1());
    const Rect rect { int16_t(bounds.top()), int16_t(bounds.left()), int16_t(bounds.bottom() + 1),
        int16_t(bounds.right() + 1) };
    FlushWindowRect(window.PlatformWindow(), &rect);
}

// Frames are still drawn into the window's port, but no longer shown.
void StopPresenting(game::MainWindow& window) { SetWindowFlushHook(window.PlatformWindow(), nullptr, nullptr); }

std::vector<QPoint> PickPoints(game::MainWindow& window)
{
    const QRect bounds = lx::BoundsOf(*window.View3D1());
    std::vector<QPoint> points;
    for (int row = 0; row < PickGrid; ++row) {
        for (int column = 0; column < PickGrid; ++column)
            points.push_back(
                { int(bounds.width() * (column + 0.5) / PickGrid), int(bounds.height() * (row + 0.5) / PickGrid) });
    }
    return points;
}

// ---- The benchmarks ----

enum class Presenting { Yes, No };

// Starts the game and runs the benchmark's loop inside it, each iteration one `step`.
template <class Step> void InGame(benchmark::State& state, Presenting presenting, Step step)
{
    bool looped = false;
    const std::string error = RunGame([&](game::MainWindow& window) {
        if (presenting == Presenting::No)
            StopPresenting(window);
        // A view that is not shown skips the repaint of its presents.
        else if (!lx::WidgetOf(*window.View3D1())->isVisible())
            return;
        looped = true;
        for (auto _ : state)
            step(window);
    });
    if (!error.empty() || !looped)
        state.SkipWithError(error.empty() ? "the game's view is not on screen" : error.c_str());
}

void OrbitFrame(benchmark::State& state)
{
    int frame = 0;
    InGame(state, Presenting::No, [&frame](game::MainWindow& window) { OrbitStep(window, frame); });
}

void SlideFrame(benchmark::State& state)
{
    int frame = 0;
    InGame(state, Presenting::No, [&frame](game::MainWindow& window) { SlideStep(window, frame); });
}

void OrbitFrameShown(benchmark::State& state)
{
    int frame = 0;
    InGame(state, Presenting::Yes, [&frame](game::MainWindow& window) { OrbitStep(window, frame); });
}

void Present(benchmark::State& state) { InGame(state, Presenting::Yes, PresentView); }

long MinorPageFaults()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_minflt;
}

// Steps of an orbit drag as the game receives them, each after `gap` of
// idleness, which is not timed: the mouse moves over the view with the
// button held, the game's handler turns the camera and renders, the frame is
// presented, and what the step posted is handled. A frame that finds memory
// handed back to the system faults it in again, which the page faults show.
void OrbitDrag(benchmark::State& state, std::chrono::nanoseconds gap)
{
    int frame = 0;
    long faults = 0;
    InGame(state, Presenting::Yes, [&](game::MainWindow& window) {
        lx::RectControl& view = *window.View3D1();
        if (frame == 0)
            lx::test::MousePress(view, DragStart);
        if (gap.count() > 0) {
            state.PauseTiming();
            std::this_thread::sleep_for(gap);
            state.ResumeTiming();
        }
        const long faultsBefore = MinorPageFaults();
        lx::test::MouseMove(view, DragStart + QPoint(frame++ % 2 ? 0 : OrbitPixels, 0), Qt::LeftButton);
        QCoreApplication::processEvents();
        faults += MinorPageFaults() - faultsBefore;
    });
    state.counters["PageFaults"] = benchmark::Counter(double(faults), benchmark::Counter::kAvgIterations);
}

void OrbitDragBackToBack(benchmark::State& state) { OrbitDrag(state, std::chrono::nanoseconds(0)); }
void OrbitDragInRhythm(benchmark::State& state) { OrbitDrag(state, RefreshGap); }

void Pick(benchmark::State& state)
{
    size_t next = 0;
    std::vector<QPoint> points;
    int misses = 0;
    InGame(state, Presenting::Yes, [&](game::MainWindow& window) {
        if (points.empty())
            points = PickPoints(window);
        const QPoint point = points[next++ % points.size()];
        // Every point of the view shows a piece or the star backdrop.
        misses += !window.FindObjectCorrected(ViewOf(window), point.x(), point.y());
    });
    if (misses > 0)
        state.SkipWithError("a pick found nothing");
}

void RasteriserAlone(benchmark::State& state)
{
    Device device;
    std::vector<uint8_t> pixels;
    // As llvmpipe's, the first frame, which sizes the buffers, is not timed.
    TheCapture.Render(device, pixels);
    for (auto _ : state) {
        TheCapture.Render(device, pixels);
        benchmark::DoNotOptimize(pixels.data());
    }
}

template <GlUse Use> void MesaFrame(benchmark::State& state)
{
    try {
        MesaReplay mesa(TheCapture, Use);
        // The first frame compiles llvmpipe's shaders for the context.
        mesa.Frame();
        for (auto _ : state)
            mesa.Frame();
    } catch (const std::exception& exception) {
        state.SkipWithError(exception.what());
    }
}

int RepetitionCount() { return TheOptions.smoke ? 1 : Repetitions; }

// Iterations 0 lets the library choose.
void Register(const char* name, void (*function)(benchmark::State&), int iterations, benchmark::TimeUnit unit)
{
    benchmark::internal::Benchmark* registered = benchmark::RegisterBenchmark(name, function);
    if (TheOptions.smoke)
        registered->Iterations(1);
    else if (iterations > 0)
        registered->Iterations(iterations);
    registered->Unit(unit)->Repetitions(RepetitionCount());
}

void RegisterMesa()
{
    Register(MesaName, MesaFrame<GlUse::Naive>, 0, benchmark::kMillisecond);
    Register(MesaCarefulName, MesaFrame<GlUse::Careful>, 0, benchmark::kMillisecond);
}

// ---- Results ----

// Real time, as the player waits for it, and the CPU time spent, which a
// busy machine disturbs less.
struct Result {
    double median { 0 }; // milliseconds
    double min { 0 };
    double max { 0 };
    double cpuMedian { 0 };
    int runs { 0 };
    bool Measured() const { return median > 0; }
};

// Keeps the time of each run of each benchmark, in milliseconds, and prints
// the runs' statistics (or the run, when there is only one).
class Keeper : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        std::vector<Run> shown;
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Aggregate) {
                shown.push_back(run);
                continue;
            }
            if (run.repetitions <= 1)
                shown.push_back(run);
            const double toMilliseconds = 1e3 / benchmark::GetTimeUnitMultiplier(run.time_unit);
            if (!run.error_occurred) {
                mTimes[run.run_name.function_name].push_back(run.GetAdjustedRealTime() * toMilliseconds);
                mCpuTimes[run.run_name.function_name].push_back(run.GetAdjustedCPUTime() * toMilliseconds);
            }
        }
        ConsoleReporter::ReportRuns(shown);
    }

    Result Of(const std::string& name) const
    {
        auto found = mTimes.find(name);
        if (found == mTimes.end() || found->second.empty())
            return {};
        std::vector<double> times = found->second;
        std::sort(times.begin(), times.end());
        return { Median(times), times.front(), times.back(), Median(mCpuTimes.at(name)), int(times.size()) };
    }

private:
    static double Median(std::vector<double> values)
    {
        std::sort(values.begin(), values.end());
        const size_t middle = values.size() / 2;
        return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
    }

    std::map<std::string, std::vector<double>> mTimes {};
    std::map<std::string, std::vector<double>> mCpuTimes {};
};

// ---- The capture ----

// The device's pixels (bytes A, R, G, B) as a picture; alpha is not drawn.
QImage DevicePicture(const std::vector<uint8_t>& pixels, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        const uint8_t* source = pixels.data() + size_t(y) * width * 4;
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x, source += 4)
            row[x] = qRgb(source[1], source[2], source[3]);
    }
    return image;
}

// Records one orbit frame of the game, checks that the rasteriser alone
// draws the capture exactly as the game showed it, and writes the capture.
// Returns the frame the game showed.
QImage CaptureGameFrame()
{
    QImage shown;
    const std::string error = RunGame([&shown](game::MainWindow& window) {
        FrameRecorder recorder;
        int frame = 0;
        OrbitStep(window, frame);
        TheCapture = recorder.Capture();
        shown = lx::test::PresentedFrame(*window.View3D1()).convertToFormat(QImage::Format_RGB32);
    });
    if (!error.empty())
        throw std::runtime_error(error);
    Device device;
    std::vector<uint8_t> pixels;
    TheCapture.Render(device, pixels);
    if (DevicePicture(pixels, TheCapture.width, TheCapture.height) != shown)
        throw std::runtime_error("the capture does not draw what the game showed");
    TheCapture.Write(TheOptions.capturePath);
    std::printf(
        "Captured the game's frame: %zu meshes, %zu triangles, %zu textures (%s), %d × %d, in %s\n",
        TheCapture.meshes.size(), TheCapture.TriangleCount(), TheCapture.textures.size(),
        [] {
            std::string sizes;
            for (const CapturedTexture& texture : TheCapture.textures)
                sizes += (sizes.empty() ? "" : ", ") + std::to_string(texture.width) + " × "
                    + std::to_string(texture.height) + (texture.transparent ? " with transparency" : "");
            return sizes;
        }()
            .c_str(),
        TheCapture.width, TheCapture.height, TheOptions.capturePath.c_str());
    return shown;
}

QImage LlvmpipePicture(GlUse use)
{
    MesaReplay mesa(TheCapture, use);
    mesa.Frame();
    const std::vector<uint8_t>& pixels = mesa.Pixels();
    return QImage(pixels.data(), TheCapture.width, TheCapture.height, TheCapture.width * 4, QImage::Format_RGBA8888)
        .convertToFormat(QImage::Format_RGB32);
}

// The share of pixels, in percent, that differ visibly between two pictures
// of the same size.
double DifferingShare(const QImage& ours, const QImage& theirs)
{
    int differing = 0;
    for (int y = 0; y < ours.height(); ++y) {
        for (int x = 0; x < ours.width(); ++x) {
            const QRgb a = ours.pixel(x, y), b = theirs.pixel(x, y);
            differing += std::abs(qRed(a) - qRed(b)) > VisibleDifference
                || std::abs(qGreen(a) - qGreen(b)) > VisibleDifference
                || std::abs(qBlue(a) - qBlue(b)) > VisibleDifference;
        }
    }
    return 100.0 * differing / (ours.width() * ours.height());
}

// Captures the game's frame and checks that llvmpipe draws the same scene:
// edges and filtering differ a little, a different scene a lot.
void CaptureAndCompare()
{
    const QImage game = CaptureGameFrame();
    if (!TheOptions.pictures.empty())
        game.save(QString::fromStdString(TheOptions.pictures + "/game.png"));
    for (const auto& [use, name] :
        { std::pair(GlUse::Naive, "llvmpipe"), std::pair(GlUse::Careful, "llvmpipe-careful") }) {
        const QImage llvmpipe = LlvmpipePicture(use);
        if (!TheOptions.pictures.empty())
            llvmpipe.save(QString::fromStdString(TheOptions.pictures + "/" + name + ".png"));
        const double share = llvmpipe.size() == game.size() ? DifferingShare(game, llvmpipe) : 100;
        std::printf(
            "Pixels differing by more than %d in a channel, game vs %s: %.2f%%\n", VisibleDifference, name, share);
        if (share > MaximumDifferingShare)
            throw std::runtime_error(std::string(name) + " does not draw the game's scene");
    }
}

// ---- llvmpipe with its default threads, in a process of its own ----

// The child's side: reads the capture, renders it, prints its result.
int ReplayInMesa(int argc, char** argv)
{
    try {
        TheCapture = SceneCapture::Read(TheOptions.replayInMesa);
    } catch (const std::exception& exception) {
        std::fprintf(stderr, "%s\n", exception.what());
        return 1;
    }
    RegisterMesa();
    benchmark::Initialize(&argc, argv);
    Keeper keeper;
    keeper.SetOutputStream(&std::cerr);
    keeper.SetErrorStream(&std::cerr);
    benchmark::RunSpecifiedBenchmarks(&keeper);
    bool measured = true;
    for (const char* name : { MesaName, MesaCarefulName }) {
        const Result result = keeper.Of(name);
        std::printf("%f %f %f %f %d\n", result.median, result.min, result.max, result.cpuMedian, result.runs);
        measured = measured && result.Measured();
    }
    return measured ? 0 : 1;
}

// llvmpipe's frame, used naively and carefully.
struct MesaResults {
    Result naive {};
    Result careful {};
};

// Runs this program on the capture file without LP_NUM_THREADS, and reads
// back its results.
MesaResults LlvmpipeWithDefaultThreads()
{
    std::vector<std::string> arguments { "--llvmpipe=" + TheOptions.capturePath };
    if (TheOptions.smoke)
        arguments.push_back("--smoke");
    arguments.insert(arguments.end(), TheOptions.benchmarkFlags.begin(), TheOptions.benchmarkFlags.end());
    const std::optional<std::string> output = RunSelf(arguments, { "LP_NUM_THREADS" });
    MesaResults results;
    Result& naive = results.naive;
    Result& careful = results.careful;
    if (!output
        || std::sscanf(output->c_str(), "%lf %lf %lf %lf %d %lf %lf %lf %lf %d", &naive.median, &naive.min, &naive.max,
               &naive.cpuMedian, &naive.runs, &careful.median, &careful.min, &careful.max, &careful.cpuMedian,
               &careful.runs)
            != 10)
        return {};
    return results;
}

// ---- The summary ----

void PrintResult(const char* what, const Result& result, double scale, const char* unit)
{
    if (!result.Measured()) {
        std::printf("  %-44s not measured\n", what);
        return;
    }
    std::printf("  %-44s %8.3f %s  (%.3f to %.3f over %d runs; CPU %.3f)\n", what, result.median * scale, unit,
        result.min * scale, result.max * scale, result.runs, result.cpuMedian * scale);
}

enum class CpuRatio { Shown, Hidden };

void PrintRatio(const char* what, const Result& ours, const Result& theirs, CpuRatio cpu)
{
    if (!ours.Measured() || !theirs.Measured())
        return;
    std::printf("  %-44s %8.2f", what, ours.median / theirs.median);
    if (cpu == CpuRatio::Shown)
        std::printf("  (CPU %.2f)", ours.cpuMedian / theirs.cpuMedian);
    std::printf("\n");
}

// Against llvmpipe used naively and carefully, side by side.
void PrintRatios(const char* what, const Result& ours, const MesaResults& theirs, CpuRatio cpu)
{
    if (!ours.Measured() || !theirs.naive.Measured() || !theirs.careful.Measured())
        return;
    std::printf("  %-44s %8.2f  %8.2f", what, ours.median / theirs.naive.median, ours.median / theirs.careful.median);
    if (cpu == CpuRatio::Shown)
        std::printf(
            "  (CPU %.2f, %.2f)", ours.cpuMedian / theirs.naive.cpuMedian, ours.cpuMedian / theirs.careful.cpuMedian);
    std::printf("\n");
}

void PrintSummary(const Keeper& ours, const MesaResults& mesaSingle, const MesaResults& mesaDefault)
{
    const Result orbit = ours.Of(OrbitFrameName);
    const Result shown = ours.Of(OrbitShownName);
    const Result drag = ours.Of(DragName);
    const Result dragInRhythm = ours.Of(DragInRhythmName);
    std::printf("\nThe game's scene (%zu triangles), medians:\n", TheCapture.TriangleCount());
    PrintResult("Orbit frame, render only", orbit, 1, "ms");
    PrintResult("Orbit drag step, back to back (warm)", drag, 1, "ms");
    PrintResult("Orbit drag step in the game's rhythm", dragInRhythm, 1, "ms");
    PrintResult("Slide frame, render only", ours.Of(SlideFrameName), 1, "ms");
    PrintResult("Orbit frame with its present", shown, 1, "ms");
    PrintResult("Present alone (render excluded)", ours.Of(PresentName), 1, "ms");
    if (orbit.Measured() && shown.Measured())
        std::printf("  %-44s %8.3f ms\n", "Present, as shown minus render only", shown.median - orbit.median);
    PrintResult("Pick (100 points over the view)", ours.Of(PickName), 1e3, "µs");
    PrintResult("Rasteriser alone on the captured frame", ours.Of(RasteriserName), 1, "ms");
    PrintResult("llvmpipe single-threaded, used naively", mesaSingle.naive, 1, "ms");
    PrintResult("llvmpipe single-threaded, used carefully", mesaSingle.careful, 1, "ms");
    PrintResult("llvmpipe default threads, used naively", mesaDefault.naive, 1, "ms");
    PrintResult("llvmpipe default threads, used carefully", mesaDefault.careful, 1, "ms");
    std::printf("Ratios:\n");
    PrintRatio("drag step in rhythm / back to back", dragInRhythm, drag, CpuRatio::Shown);
    std::printf("  %-44s %8s  %8s\n", "against llvmpipe", "naive", "careful");
    PrintRatios("orbit frame / llvmpipe single-threaded", orbit, mesaSingle, CpuRatio::Shown);
    PrintRatios("rasteriser alone / llvmpipe single-threaded", ours.Of(RasteriserName), mesaSingle, CpuRatio::Shown);
    // llvmpipe's threads spend CPU time the process's main thread does not see.
    PrintRatios("orbit frame / llvmpipe default threads", orbit, mesaDefault, CpuRatio::Hidden);
}

Options ParseOptions(int argc, char** argv)
{
    Options options;
    auto value = [](const char* argument, const char* name) -> const char* {
        const size_t length = std::strlen(name);
        return std::strncmp(argument, name, length) == 0 ? argument + length : nullptr;
    };
    for (int i = 1; i < argc; ++i) {
        if (const char* path = value(argv[i], "--capture="))
            options.capturePath = path;
        else if (const char* folder = value(argv[i], "--pictures="))
            options.pictures = folder;
        else if (const char* capture = value(argv[i], "--llvmpipe="))
            options.replayInMesa = capture;
        else if (std::strcmp(argv[i], "--smoke") == 0)
            options.smoke = true;
        else
            options.benchmarkFlags.emplace_back(argv[i]);
    }
    return options;
}

// The benchmark library's flags, with its repetitions interleaved at random
// unless the caller chose.
std::vector<char*> BenchmarkArguments(int argc, char** argv)
{
    static char interleave[] = "--benchmark_enable_random_interleaving=true";
    std::vector<char*> arguments(argv, argv + argc);
    if (std::none_of(argv, argv + argc, [](const char* argument) {
            return std::strstr(argument, "--benchmark_enable_random_interleaving") == argument;
        }))
        arguments.push_back(interleave);
    return arguments;
}

}

int main(int argc, char** argv)
{
    // The cost of a present is measured, not the wait for the display.
    lx::test::SetPresentPacing(false);
    TheOptions = ParseOptions(argc, argv);
    if (!TheOptions.replayInMesa.empty())
        return ReplayInMesa(argc, argv);
    // llvmpipe in this process draws on the calling thread alone.
    setenv("LP_NUM_THREADS", "0", 1);
    try {
        CaptureAndCompare();
    } catch (const std::exception& exception) {
        std::fprintf(stderr, "No comparison on the game's frame: %s\n", exception.what());
        return 1;
    }
    Register(OrbitFrameName, OrbitFrame, FrameIterations, benchmark::kMillisecond);
    Register(DragName, OrbitDragBackToBack, FrameIterations, benchmark::kMillisecond);
    Register(DragInRhythmName, OrbitDragInRhythm, FrameIterations, benchmark::kMillisecond);
    Register(SlideFrameName, SlideFrame, FrameIterations, benchmark::kMillisecond);
    Register(OrbitShownName, OrbitFrameShown, FrameIterations, benchmark::kMillisecond);
    Register(PresentName, Present, PresentIterations, benchmark::kMillisecond);
    Register(PickName, Pick, PickIterations, benchmark::kMicrosecond);
    Register(RasteriserName, RasteriserAlone, 0, benchmark::kMillisecond);
    RegisterMesa();
    std::vector<char*> arguments = BenchmarkArguments(argc, argv);
    int count = int(arguments.size());
    benchmark::Initialize(&count, arguments.data());
    Keeper keeper;
    benchmark::RunSpecifiedBenchmarks(&keeper);
    PrintSummary(keeper, { keeper.Of(MesaName), keeper.Of(MesaCarefulName) }, LlvmpipeWithDefaultThreads());
    benchmark::Shutdown();
    return 0;
}
