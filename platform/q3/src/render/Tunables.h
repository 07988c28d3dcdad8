#pragma once

// The renderer's tunables and the formats of the rasteriser's numbers, in
// one place.

#include <cstddef>
#include <cstdint>

namespace q3::render {

// Screen positions are snapped to 1/16 of a pixel before the edge functions.
static constexpr int SubpixelBits = 4;
static constexpr int32_t SubpixelScale = 1 << SubpixelBits;

// Triangles are clipped against the near and far planes exactly and against
// the sides only where they reach this many frustum half-widths out, which
// keeps snapped coordinates small while sparing most triangles the clipper.
static constexpr float GuardBand = 4.0f;

// No clipped vertex comes closer to the eye plane than this in w, so the
// divide can never blow up, even for a camera with a zero hither distance.
static constexpr float MinimumW = 1e-6f;

// The largest pane the rasteriser accepts on either side. It bounds the
// snapped coordinates well inside 32 bits, guard band included.
static constexpr int MaximumPaneSize = 1 << 14;
static constexpr int32_t CoordinateLimit = 1 << 26;

// Point lights nearer than this do not brighten further under attenuation.
static constexpr float MinimumAttenuationDistance = 1.0f;

// Spans are shaded in runs of this many pixels, with a division by w at
// the ends of each run only.
static constexpr int SubspanLength = 8;

// Lines are drawn as quads this wide, in pixels.
static constexpr float LineWidth = 1.0f;

// A target pixel is four bytes: A (or unused), R, G, B. A channel, of a
// pixel or a texel, runs from 0 to Opaque, which is also an opaque alpha.
static constexpr int PixelBytes = 4;
static constexpr uint32_t Opaque = 255;

// Texel positions in fixed point: 1/256 of a texel, counted from the left
// or top edge of the texture. The same fraction weighs the second texel of
// a bilinear pair.
static constexpr int TexelFractionBits = 8;
static constexpr int32_t TexelOne = 1 << TexelFractionBits;

// How far past the edges a clamped texel position may lie, in fixed point:
// far enough that a whole run of steps, each less than a texture across,
// stays within 32 bits however far out it starts.
static constexpr int32_t ClampReach = 1 << 28;

// The lit color's factors, the opacity and the fog are stepped across a
// run in 1/4096 (see Stepper). Factors beyond FactorLargest all saturate
// any texel but the faintest.
static constexpr int FactorBits = 12;
static constexpr int32_t FactorOne = 1 << FactorBits;
static constexpr float FactorLargest = 64;

// Opaque triangles are drawn nearest first by the depth of their nearest
// corner, in this many slices of the depth range. Within a slice they
// keep the order they came in: near enough to nearest first, and their
// orders keep the picture exact whatever the order.
static constexpr int DepthSlices = 1024;

// The room a frame's triangles of each kind, opaque and less than opaque,
// may take while they wait to be sorted and drawn; past it the frame draws
// what it holds and goes on, so that a scene of any depth costs time and
// never memory. 12 MiB a kind is of the order of what the frame's own
// pixels, depths and orders take in a 1024 × 768 window (9 MiB). It holds
// 65,536 triangles, 27 times the game's frame, and a flush costs a pass
// over the depth slices, nothing beside drawing that many triangles.
static constexpr size_t HeldTriangleBytes = size_t(12) << 20;

// A textured triangle facing the eye has its runs set up by additions
// along a row rather than by a division at each run, where that moves its
// texel positions by no more than this many texels anywhere on it...
static constexpr double FacingTexelTolerance = 1.0 / 512;
// ...and where the light at its corners differs by no more than this, so
// that one run's color serves them all.
static constexpr double FacingColorTolerance = 1.0 / 16384;
// Those additions keep texel positions this many bits finer than the
// runs' fixed point, so that a whole span of them adds up to much less
// than a position's unit.
static constexpr int FacingFineBits = 16;

}
