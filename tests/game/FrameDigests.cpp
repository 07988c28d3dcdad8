// Prints a digest of each frame the game shows through an orbit all round
// the globe, up and down, and a slide there and back, one line a frame. Two
// builds of the rasteriser draw the game alike exactly when their lines
// are the same: scripts/test --reference compares the reference build's
// with the fast build's.

#include "GameHarness.h"

#include "TestHooks.h"
#include "bindings/Lx3D.h"

#include <QImage>

#include <cstdio>
#include <string>

namespace {

constexpr int OrbitSteps = 24;
constexpr int OrbitPixels = 30; // of drag per step: all round the globe in 24
constexpr int TiltSteps = 6;
constexpr int TiltPixels = 20;
constexpr int SlidePiece = 14; // in front of the empty slot at the start
constexpr double SlideStart = 128; // its z, one cell in front of the slot
constexpr int SlideSteps = 4; // as the game slides

// 64-bit FNV-1a of the frame's colors, row by row.
uint64_t Digest(const QImage& frame)
{
    constexpr uint64_t Basis = 0xCBF29CE484222325, Prime = 0x100000001B3;
    const QImage colors = frame.convertToFormat(QImage::Format_RGB32);
    uint64_t digest = Basis;
    for (int y = 0; y < colors.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(colors.constScanLine(y));
        for (int x = 0; x < colors.width(); ++x) {
            for (int shift = 16; shift >= 0; shift -= 8)
                digest = (digest ^ ((row[x] >> shift) & 0xFF)) * Prime;
        }
    }
    return digest;
}

void Show(game::MainWindow& window, const std::string& name)
{
    bindings::Lx3DSpace::Update(window.View3D1());
    const QImage frame = lx::test::PresentedFrame(*window.View3D1());
    std::printf("%s %dx%d %016llx\n", name.c_str(), frame.width(), frame.height(),
        static_cast<unsigned long long>(Digest(frame)));
}

}

int main()
{
    harness::EnsureQtApplication("game_frame_digests");
    const harness::GameRun run = harness::PlayGame([](game::MainWindow& window) {
        Show(window, "start");
        for (int step = 0; step < OrbitSteps; ++step) {
            window.MoveCamera(OrbitPixels, 0);
            Show(window, "orbit " + std::to_string(step));
        }
        for (int step = 0; step < 2 * TiltSteps; ++step) {
            window.MoveCamera(OrbitPixels / 3, step < TiltSteps ? TiltPixels : -TiltPixels);
            Show(window, "tilt " + std::to_string(step));
        }
        bindings::ObjectRef position = bindings::Element3D::Position(window.myCubes[SlidePiece]);
        for (int step = 1; step <= 2 * SlideSteps; ++step) {
            const int into = step <= SlideSteps ? step : 2 * SlideSteps - step;
            bindings::Vector3D::SetZ(position, SlideStart * (1 - double(into) / SlideSteps));
            Show(window, "slide " + std::to_string(step));
        }
    });
    if (!run.error.empty()) {
        std::fprintf(stderr, "%s\n", run.error.c_str());
        return 1;
    }
    return run.status;
}
