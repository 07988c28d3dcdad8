#pragma once

// A scene shaped like the game's, though not the game's (game_bench renders
// that): a textured globe of about 4,700 triangles before a full-view
// backdrop quad whose texture has transparent texels, lit by an ambient
// light and a point light at the eye. The view benchmark renders it, the
// rasteriser's tests draw it, and a test writes it out as a picture. Its
// mesh type also holds the meshes of a captured frame.

#include "render/DecodedTexture.h"
#include "render/Device.h"

#include <vector>

namespace q3::render {

struct SyntheticMesh {
    std::vector<TQ3Point3D> points {};
    std::vector<TQ3Vector3D> normals {};
    std::vector<TQ3Param2D> uvs {};
    std::vector<std::array<uint32_t, 3>> triangles {};

    Mesh View() const;
};

// A sphere about the origin with unit normals, counter-clockwise seen from
// outside; u runs from -0.5 to 0.5 around it and v from 1 at the north pole.
SyntheticMesh MakeSphere(float radius, int slices, int stacks);

// The mesh's triangles cut into `count` runs of nearly equal length, in
// order, each piece with only the points (and their normals and UVs) it uses.
std::vector<SyntheticMesh> SplitMesh(const SyntheticMesh& mesh, int count);

struct SyntheticScene {
    static constexpr int Size = 512;
    static constexpr float FieldOfView = 0.6981317f; // 40 degrees
    static constexpr float Hither = 500;
    static constexpr float Yon = 1500;

    TQ3Point3D eye { 0, 0, 1000 };
    TQ3Matrix4x4 worldToFrustum {};
    std::vector<Light> lights {};
    SyntheticMesh globe {};
    SyntheticMesh backdrop {};
    // The texels the textures were made from, 0xAARRGGBB, top row first.
    std::vector<uint32_t> globeTexels {};
    std::vector<uint32_t> backdropTexels {};
    uint32_t globeWidth { 0 }, globeHeight { 0 }, backdropWidth { 0 }, backdropHeight { 0 };
    std::shared_ptr<const DecodedTexture> globeTexture {};
    std::shared_ptr<const DecodedTexture> backdropTexture {};

    static SyntheticScene Make();

    // Renders one frame through the device into `target` (Size × Size).
    void Render(Device& device, const Target& target) const;
};

// A view-angle-aspect camera's world-to-frustum matrix (row vectors): x, y
// in [-1, 1], z from 0 at hither to -1 at yon after the divide, w the
// distance along the view direction. The field of view spans the height.
TQ3Matrix4x4 LookAt(
    TQ3Point3D eye, TQ3Point3D target, TQ3Vector3D up, float fieldOfView, float aspect, float hither, float yon);

TQ3Matrix4x4 Identity();

// 0xAARRGGBB texels as the bytes of a big-endian ARGB32 pixmap: A, R, G, B.
std::vector<uint8_t> BigEndianBytes(const std::vector<uint32_t>& texels);

// Whether any texel is less than opaque.
bool HasTransparency(const std::vector<uint32_t>& texels);

// A texture shader made from 0xAARRGGBB texels, in a new attribute set, as
// a material holds it.
TQ3AttributeSet TexturedAttributes(const std::vector<uint32_t>& texels, uint32_t width, uint32_t height);

// A texture made from 0xAARRGGBB texels stored big-endian as ARGB32.
std::shared_ptr<const DecodedTexture> TextureFromTexels(
    const std::vector<uint32_t>& texels, uint32_t width, uint32_t height);

}
