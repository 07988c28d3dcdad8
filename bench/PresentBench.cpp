// Putting a 512 x 512 view's frame on screen: a flush of the whole window
// port through the framework to the widget, without rendering. Beside it the
// two peers that bound it: converting the port's pixels for Qt alone, and a
// plain copy of the same bytes, the least any present must do.
//
// Run it on Qt's offscreen platform (QT_QPA_PLATFORM=offscreen) for the
// framework's own cost, or on a display for the window system's share too.
// Presents are not paced to the display, except in the slide: four presents
// in a row, as a slide's four steps, which the pacing spreads over four
// refresh periods while the process sleeps.

#include "PortImage.h"
#include "TestHooks.h"
#include "ViewPlugin.h"

#include <lxframework/Runtime.h>
#include <lxframework/Window.h>

#include <QApplication>
#include <QElapsedTimer>

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

constexpr int Side = 512;
constexpr int SettleMilliseconds = 300;
constexpr int SlideSteps = 4;

class PresentWindow : public lx::Window {
public:
    void Layout() override { SetProperties(*this, { { "Width", Side }, { "Height", Side } }); }
    void CreateControls() override
    {
        lx::Ref<lx::RectControl> view = New("TestView");
        AddControl("View", view);
        SetProperties(*view, { { "Left", 0 }, { "Top", 0 }, { "Width", Side }, { "Height", Side } });
    }
};

// Every pixel different, so no conversion can take a short cut.
void FillWithPattern(CGrafPtr port)
{
    PixMapHandle map = GetPortPixMap(port);
    auto* bytes = reinterpret_cast<uint8_t*>(GetPixBaseAddr(map));
    const int32_t rowBytes = GetPixRowBytes(map);
    for (int y = 0; y < Side; ++y) {
        for (int x = 0; x < Side * 4; ++x)
            bytes[y * rowBytes + x] = static_cast<uint8_t>(x * 7 + y * 13);
    }
}

lx::Ref<PresentWindow> OpenPresentWindow()
{
    viewplugin::Register();
    lx::test::SetPresentPacing(false);
    if (!lx::FindClass("PresentWindow"))
        lx::RegisterClass<PresentWindow>("PresentWindow", "Window");
    lx::Ref<PresentWindow> window = lx::New<PresentWindow>();
    window->Constructor();
    // A display server maps and exposes the window a little later; until then
    // a present has nothing to paint.
    QElapsedTimer settling;
    settling.start();
    while (settling.elapsed() < SettleMilliseconds)
        QApplication::processEvents();
    FillWithPattern(GetWindowPort(window->PlatformWindow()));
    return window;
}

void PresentFrame(benchmark::State& state)
{
    lx::Ref<PresentWindow> window = OpenPresentWindow();
    const Rect whole { 0, 0, Side, Side };
    for (auto _ : state)
        FlushWindowRect(window->PlatformWindow(), &whole);
    window->Close();
    QApplication::processEvents();
}

void ConvertPortForQt(benchmark::State& state)
{
    lx::Ref<PresentWindow> window = OpenPresentWindow();
    CGrafPtr port = GetWindowPort(window->PlatformWindow());
    QImage image(Side, Side, QImage::Format_RGB32);
    for (auto _ : state) {
        lx::CopyPortToImage(port, lx::PortRect(port), image, QPoint(0, 0));
        benchmark::ClobberMemory();
    }
    window->Close();
    QApplication::processEvents();
}

void PacedSlide(benchmark::State& state)
{
    lx::Ref<PresentWindow> window = OpenPresentWindow();
    lx::test::SetPresentPacing(true);
    const Rect whole { 0, 0, Side, Side };
    for (auto _ : state) {
        for (int step = 0; step < SlideSteps; ++step)
            FlushWindowRect(window->PlatformWindow(), &whole);
    }
    lx::test::SetPresentPacing(false);
    window->Close();
    QApplication::processEvents();
}

void CopyFrameBytes(benchmark::State& state)
{
    std::vector<uint8_t> source(Side * Side * 4, 0x5A);
    std::vector<uint8_t> target(source.size());
    for (auto _ : state) {
        std::memcpy(target.data(), source.data(), source.size());
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
}

}

BENCHMARK(PresentFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(ConvertPortForQt)->Unit(benchmark::kMicrosecond);
BENCHMARK(CopyFrameBytes)->Unit(benchmark::kMicrosecond);
BENCHMARK(PacedSlide)->Unit(benchmark::kMillisecond)->Iterations(20);
