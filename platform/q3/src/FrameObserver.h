#pragma once

// A window on what the rendering loop hands its device, frame by frame: the
// benchmark records the game's frame through it and replays it elsewhere.
// One observer at a time, on the thread that renders.

#include "render/Device.h"

#include <span>

namespace q3 {

class FrameObserver {
public:
    virtual ~FrameObserver() = default;

    // A frame starts: the pane of the target it fills, its clear color, the
    // camera and lights it is drawn with, and whether it is drawn as wires.
    virtual void Begin(const render::Pane& pane, TQ3ColorRGB clear, const TQ3Matrix4x4& worldToFrustum, TQ3Point3D eye,
        std::span<const render::Light> lights, bool wireframe)
        = 0;
    // A mesh is drawn, with the fog in force.
    virtual void Mesh(const render::Mesh& mesh, const render::DrawState& state, const render::Fog& fog) = 0;
    // The frame is finished, having shaded `shadedPixels` (see
    // render::Device::ShadedPixels).
    virtual void End([[maybe_unused]] uint64_t shadedPixels) { }
};

// Every frame rendered from now on is shown to `observer`; null stops.
void ObserveFrames(FrameObserver* observer);

}
