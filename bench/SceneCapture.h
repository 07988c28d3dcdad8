#pragma once

// One frame as the rendering loop hands it to the rasteriser's device: the
// pane's size and clear color, the camera, the lights, and every mesh with
// its transform, surface, texture and culling. Recorded from a live view,
// written to a file and read back, it lets another renderer draw exactly the
// work the game's frame asks for, and lets the rasteriser draw it again alone.

#include "FrameObserver.h"
#include "SyntheticScene.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace bench {

using namespace q3::render;

struct CapturedTexture {
    uint32_t width { 0 };
    uint32_t height { 0 };
    // 0xAARRGGBB, color premultiplied by alpha, top row first: the texels
    // the rasteriser samples at its finest level.
    std::vector<uint32_t> texels {};
    bool transparent { false };
    // The rasteriser's own texture, when recorded in this process.
    std::shared_ptr<const DecodedTexture> decoded {};
};

struct CapturedMesh {
    TQ3Matrix4x4 localToWorld {};
    TQ3ColorRGB diffuse { 1, 1, 1 };
    float opacity { 1 };
    bool illuminated { true };
    Backfacing backfacing { Backfacing::Remove };
    int32_t texture { -1 }; // into SceneCapture::textures; -1 for none
    Boundary uBoundary { Boundary::Wrap };
    Boundary vBoundary { Boundary::Wrap };
    SyntheticMesh geometry {};
};

struct SceneCapture {
    int width { 0 };
    int height { 0 };
    TQ3ColorRGB clear { 1, 1, 1 };
    TQ3Matrix4x4 worldToFrustum {};
    TQ3Point3D eye { 0, 0, 0 };
    std::vector<Light> lights {};
    std::vector<CapturedTexture> textures {};
    std::vector<CapturedMesh> meshes {};

    size_t TriangleCount() const;

    // Throws std::runtime_error when the file cannot be written, or read
    // back whole and sound.
    void Write(const std::string& path) const;
    static SceneCapture Read(const std::string& path);

    // Draws the frame through a device into `pixels` (width × height, bytes
    // A, R, G, B), as the view drew it. Textures read from a file are
    // decoded on first use.
    void Render(Device& device, std::vector<uint8_t>& pixels);
};

// Records the frames a view renders while it lives; the last one is kept.
// What the capture cannot carry (fog, wires, edges or points, per-vertex or
// per-triangle colors, triangle normals) makes the recording fail rather
// than differ from the frame. A lit mesh without vertex normals is lit flat,
// by each triangle's own normal, as the device lights it.
class FrameRecorder final : public q3::FrameObserver {
public:
    FrameRecorder();
    ~FrameRecorder() override;
    FrameRecorder(const FrameRecorder&) = delete;
    FrameRecorder& operator=(const FrameRecorder&) = delete;

    void Begin(const Pane& pane, TQ3ColorRGB clear, const TQ3Matrix4x4& worldToFrustum, TQ3Point3D eye,
        std::span<const Light> lights, bool wireframe) override;
    void Mesh(const q3::render::Mesh& mesh, const DrawState& state, const Fog& fog) override;

    // The last frame; throws std::runtime_error if none was recorded whole.
    const SceneCapture& Capture() const;

private:
    int32_t TextureIndex(const std::shared_ptr<const DecodedTexture>& texture);

    SceneCapture mCapture {};
    bool mBegun { false };
    std::string mProblem {};
};

}
