#pragma once

// A captured frame drawn by Mesa's llvmpipe through its off-screen library,
// with the same work the rasteriser does: per-vertex (Gouraud) lighting in
// the fixed-function pipeline from the same lights, normals and transforms;
// bilinear filtering of the nearest mipmap level, wrapped or clamped as each
// surface asks; the same culling, clear and pane size; meshes less than
// opaque, or whose texture has transparent texels, blended after the others.
// Geometry and textures are uploaded once, as the rasteriser's are retained,
// so each frame costs only its drawing.

#include "SceneCapture.h"

#include <memory>

namespace bench {

// How the replay uses OpenGL. Naive draws the meshes in the frame's order
// into the off-screen library's own buffer, which llvmpipe copies out at
// every finish. Careful does what a careful user of OpenGL would, and what
// the rasteriser does: opaque meshes nearest first, so that what they hide
// fails the depth test before it is shaded, into a framebuffer object read
// back only when the picture is asked for.
enum class GlUse { Naive, Careful };

class MesaReplay {
public:
    // Throws std::runtime_error when no context can be made.
    MesaReplay(const SceneCapture& capture, GlUse use);
    ~MesaReplay();
    MesaReplay(const MesaReplay&) = delete;
    MesaReplay& operator=(const MesaReplay&) = delete;

    // Draws the frame and waits until it is finished.
    void Frame();
    // The frame last drawn, top row first, bytes R, G, B, A.
    const std::vector<uint8_t>& Pixels();

private:
    struct State;
    std::unique_ptr<State> mState;
};

}
