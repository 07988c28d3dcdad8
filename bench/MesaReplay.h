#pragma once

// A captured frame drawn by Mesa's llvmpipe through its off-screen library,
// with the same work the rasteriser does: per-vertex (Gouraud) lighting in
// the fixed-function pipeline from the same lights, normals and transforms;
// bilinear filtering of the nearest mipmap level, wrapped or clamped as each
// surface asks; the same culling, clear and pane size; meshes less than
// opaque, or whose texture has transparent texels, blended after the others. Geometry and textures are uploaded once,
// as the rasteriser's are retained, so each frame costs only its drawing.

#include "SceneCapture.h"

#include <memory>

namespace bench {

class MesaReplay {
public:
    // Throws std::runtime_error when no context can be made.
    explicit MesaReplay(const SceneCapture& capture);
    ~MesaReplay();
    MesaReplay(const MesaReplay&) = delete;
    MesaReplay& operator=(const MesaReplay&) = delete;

    // Draws the frame and waits until it is finished.
    void Frame();
    // The frame, top row first, bytes R, G, B, A.
    const std::vector<uint8_t>& Pixels() const;

private:
    struct State;
    std::unique_ptr<State> mState;
};

}
