#pragma once

// Helpers for rendering tests: a small canvas to render into, a camera
// whose plane z = 0 fills the canvas, reference images and pictures.

#include "render/DecodedTexture.h"
#include "render/Device.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace q3::render::testing {

struct Rgb {
    int r { 0 };
    int g { 0 };
    int b { 0 };
    bool operator==(const Rgb&) const = default;
};

// Channels within `tolerance` of each other.
bool Near(Rgb a, Rgb b, int tolerance);
std::string Describe(Rgb color);
void PrintTo(const Rgb& color, std::ostream* stream);

// A canvas of 32-bit pixels, bytes A, R, G, B, with spare bytes at the end
// of every row and guard bytes around the whole, so that writes outside the
// target show up.
class Canvas {
public:
    static constexpr int Size = 64;
    static constexpr uint8_t Guard = 0xA5;

    explicit Canvas(int width = Size, int height = Size);
    Canvas(const Canvas& other);
    Canvas& operator=(const Canvas&) = delete;

    Target GetTarget() { return mTarget; }
    Rgb At(int x, int y) const;
    int Width() const { return mTarget.width; }
    int Height() const { return mTarget.height; }
    // True while no byte outside the target's pixels has changed.
    bool GuardsIntact() const;
    // How many pixels differ from `color`.
    int CountOtherThan(Rgb color) const;

private:
    std::vector<uint8_t> mBytes {};
    Target mTarget {};
};

// A camera on the +z axis at distance 10 looking at the origin with a
// 90 degree field of view: the square from (-10, -10) to (10, 10) at z = 0
// fills the canvas.
TQ3Matrix4x4 TestCamera(float hither = 1, float yon = 100);
inline constexpr TQ3Point3D TestEye { 0, 0, 10 };
// The pixel column or row where a coordinate of the plane z = 0 lands.
float PixelOf(float coordinate);

// A texture of 0xAARRGGBB texels, top row first.
std::shared_ptr<const DecodedTexture> MakeTexture(const std::vector<uint32_t>& texels, uint32_t width, uint32_t height);

// Compares the canvas with the reference image `name` (channels within
// `tolerance`, a few stray pixels allowed). With TERRASLIDE_REGENERATE_REFERENCES=1
// in the environment it rewrites the reference instead.
::testing::AssertionResult MatchesReference(const Canvas& canvas, const std::string& name, int tolerance = 3);

// Compares the canvas's bytes exactly with those recorded for `name`, by
// digest, so that every build of the rasteriser, with its fast paths or
// without, is held to the same bytes. The regeneration switch of
// MatchesReference records them instead.
::testing::AssertionResult DrawsRecordedBytes(const Canvas& canvas, const std::string& name);

// Writes the canvas as a PNG file.
bool WritePng(const Canvas& canvas, const std::string& path);

}
