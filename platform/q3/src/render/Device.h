#pragma once

// The renderer's device: what the view hands over for each mesh of a frame,
// and the software rasteriser that turns it into pixels. The view walks the
// scene and keeps the state stack; the device lights, clips and rasterises.

#include "Light.h"

#include <q3/Q3.h>

#include <cstdint>
#include <memory>
#include <span>

namespace q3::render {

class DecodedTexture;
class Rasterizer;
struct ScreenVertex;
struct Shading;

// 32-bit pixels, bytes A (or unused), R, G, B in memory order, rows `rowBytes` apart.
struct Target {
    uint8_t* pixels { nullptr };
    int width { 0 };
    int height { 0 };
    int rowBytes { 0 };
};

// A rectangle of target pixels: left and top inclusive, right and bottom exclusive.
struct Pane {
    int left { 0 };
    int top { 0 };
    int right { 0 };
    int bottom { 0 };
};

enum class Backfacing { Both, Remove, Flip };
enum class Interpolation { None, Vertex, Pixel };
enum class Fill { Filled, Edges, Points };
// How a texture coordinate past 0 or 1 reads: the texture repeated, or its
// edge texels stretched outwards.
enum class Boundary { Wrap, Clamp };

// Linear fog between two depths in front of the eye (distances along the
// view direction), towards `color`. An end at or before the start means no fog.
struct Fog {
    bool on { false };
    float start { 0 };
    float end { 1 };
    TQ3ColorRGB color { 0, 0, 0 };
};

// The attributes in force for a mesh.
struct Surface {
    TQ3ColorRGB diffuse { 1, 1, 1 };
    // Shared, because a texture with transparent texels is drawn at End(),
    // after every opaque mesh, and must live until then.
    std::shared_ptr<const DecodedTexture> texture {};
    Boundary uBoundary { Boundary::Wrap };
    Boundary vBoundary { Boundary::Wrap };
    // How much of what lies behind the surface it hides: 1 opaque, 0 unseen.
    float opacity { 1 };
    bool illuminated { true }; // false: the null illumination shader
};

// A triangle mesh in its local coordinates; optional arrays are null.
// Corner indices at or past pointCount are skipped, never read.
struct Mesh {
    const TQ3Point3D* points { nullptr };
    uint32_t pointCount { 0 };
    const uint32_t (*triangles)[3] { nullptr };
    uint32_t triangleCount { 0 };
    const TQ3Vector3D* vertexNormals { nullptr };
    const TQ3Param2D* vertexUVs { nullptr };
    const TQ3ColorRGB* vertexColors { nullptr };
    const TQ3Vector3D* triangleNormals { nullptr };
    const TQ3ColorRGB* triangleColors { nullptr };
};

// Interpolation is always per vertex: lighting is computed at the corners.
struct DrawState {
    TQ3Matrix4x4 localToWorld {};
    Surface surface {};
    Backfacing backfacing { Backfacing::Remove };
    Interpolation interpolation { Interpolation::Vertex };
    Fill fill { Fill::Filled };
};

class Device {
public:
    Device();
    ~Device();

    // Starts a frame: the pane is cleared to `clear` and its depth to the far plane.
    void Begin(const Target& target, const Pane& pane, TQ3ColorRGB clear);

    // World to frustum: x and y in [-1, 1] (+x right, +y up), z from 0 at
    // hither to -1 at yon, after the divide by w. The frustum fills the pane.
    // Points in front of the eye have w > 0 (w grows with the distance).
    // `eye` is where fog distances are measured from.
    void SetCamera(const TQ3Matrix4x4& worldToFrustum, TQ3Point3D eye);
    void SetLights(std::span<const Light> lights);
    void SetFog(const Fog& fog);
    // Wireframe draws every triangle's edges whatever the fill style asks.
    void SetWireframe(bool wireframe);

    // Lines and points are drawn at once; triangles wait for End(), which
    // draws the opaque ones nearest first and then those of a surface less
    // than opaque or whose texture has transparent texels, back to front
    // over the rest. A frame holds a bounded number of triangles of each
    // kind: past it, the opaque ones held are drawn at once, and a full
    // list of those less than opaque is drawn after them.
    void DrawMesh(const Mesh& mesh, const DrawState& state);

    // Ends the frame; every pixel of the pane is final.
    void End();
    // How many pixels the frame shaded, hidden or not: one for each pixel
    // of the pane that opaque surfaces cover, when they are drawn nearest
    // first, and more for what is drawn over them.
    uint64_t ShadedPixels() const;

private:
    struct Frame;
    struct MeshPass;
    Shading ShadingOf(const MeshPass& pass) const;
    void DrawTriangle(MeshPass& pass, uint32_t triangle);
    void DrawPolygon(MeshPass& pass, const uint32_t (&corners)[3], uint32_t planes);
    void Emit(MeshPass& pass, const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c);
    TQ3ColorRGB CornerColor(
        const MeshPass& pass, uint32_t triangle, uint32_t point, const TQ3Vector3D& faceNormal, float normalSign);
    TQ3ColorRGB LitColor(
        const MeshPass& pass, uint32_t triangle, uint32_t point, const TQ3Vector3D& faceNormal, float normalSign) const;
    void DrawEdges(MeshPass& pass, const uint32_t (&corners)[3], bool points);
    uint32_t TakeOrder();
    void DrawOpaque();
    void DrawDeferred();

    std::unique_ptr<Rasterizer> mRasterizer;
    std::unique_ptr<Frame> mFrame;
};

}
