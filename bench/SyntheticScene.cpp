#include "SyntheticScene.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace q3::render {

namespace {

    constexpr float GlobeRadius = 300;
    constexpr int Slices = 48;
    constexpr int Stacks = 50; // 48 × 48 × 2 + 2 × 48 = 4,704 triangles
    constexpr float BackdropDistance = 352;
    constexpr float BackdropHalfSize = 520;
    constexpr uint32_t GlobeTextureWidth = 500; // not a power of two, like the game's maps
    constexpr uint32_t GlobeTextureHeight = 250;
    constexpr uint32_t BackdropTextureSize = 256;

    float Dot(TQ3Vector3D a, TQ3Vector3D b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

    TQ3Vector3D Unit(TQ3Vector3D v)
    {
        float length = std::sqrt(Dot(v, v));
        return { v.x / length, v.y / length, v.z / length };
    }

    TQ3Vector3D Cross(TQ3Vector3D a, TQ3Vector3D b)
    {
        return { a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x };
    }

}

SyntheticMesh MakeSphere(float radius, int slices, int stacks)
{
    constexpr float Pi = std::numbers::pi_v<float>;
    SyntheticMesh mesh;
    // Rows of points from the north pole to the south, each row with a
    // seam column so that u runs from -0.5 to 0.5 without wrapping.
    for (int stack = 0; stack <= stacks; ++stack) {
        float latitude = Pi * (0.5f - float(stack) / float(stacks));
        for (int slice = 0; slice <= slices; ++slice) {
            float longitude = 2 * Pi * (float(slice) / float(slices) - 0.5f);
            TQ3Vector3D normal { std::cos(latitude) * std::sin(longitude), std::sin(latitude),
                std::cos(latitude) * std::cos(longitude) };
            mesh.normals.push_back(normal);
            mesh.points.push_back({ normal.x * radius, normal.y * radius, normal.z * radius });
            mesh.uvs.push_back({ float(slice) / float(slices) - 0.5f, 1 - float(stack) / float(stacks) });
        }
    }
    auto at = [slices](int stack, int slice) { return uint32_t(stack * (slices + 1) + slice); };
    for (int stack = 0; stack < stacks; ++stack) {
        for (int slice = 0; slice < slices; ++slice) {
            // Counter-clockwise seen from outside.
            uint32_t a = at(stack, slice), b = at(stack + 1, slice), c = at(stack + 1, slice + 1),
                     d = at(stack, slice + 1);
            if (stack != 0)
                mesh.triangles.push_back({ a, b, d });
            if (stack != stacks - 1)
                mesh.triangles.push_back({ d, b, c });
        }
    }
    return mesh;
}

std::vector<SyntheticMesh> SplitMesh(const SyntheticMesh& mesh, int count)
{
    std::vector<SyntheticMesh> pieces(size_t(std::max(count, 1)));
    const size_t total = mesh.triangles.size();
    for (size_t index = 0; index < pieces.size(); ++index) {
        SyntheticMesh& piece = pieces[index];
        // Where each of the mesh's points landed in this piece, if it did.
        std::vector<uint32_t> renumbered(mesh.points.size(), UINT32_MAX);
        const size_t first = total * index / pieces.size(), last = total * (index + 1) / pieces.size();
        for (size_t t = first; t < last; ++t) {
            std::array<uint32_t, 3> corners {};
            for (int i = 0; i < 3; ++i) {
                uint32_t point = mesh.triangles[t][i];
                if (renumbered[point] == UINT32_MAX) {
                    renumbered[point] = uint32_t(piece.points.size());
                    piece.points.push_back(mesh.points[point]);
                    if (!mesh.normals.empty())
                        piece.normals.push_back(mesh.normals[point]);
                    if (!mesh.uvs.empty())
                        piece.uvs.push_back(mesh.uvs[point]);
                }
                corners[i] = renumbered[point];
            }
            piece.triangles.push_back(corners);
        }
    }
    return pieces;
}

namespace {

    SyntheticMesh MakeBackdrop()
    {
        SyntheticMesh mesh;
        float z = -BackdropDistance, s = BackdropHalfSize;
        mesh.points = { { -s, s, z }, { -s, -s, z }, { s, -s, z }, { s, s, z } };
        mesh.uvs = { { 0, 1 }, { 0, 0 }, { 1, 0 }, { 1, 1 } };
        mesh.triangles = { { 0, 1, 2 }, { 0, 2, 3 } };
        return mesh;
    }

    // Oceans and land in bands and blotches, with a grid of meridians.
    std::vector<uint32_t> MakeGlobeTexels()
    {
        std::vector<uint32_t> texels(size_t(GlobeTextureWidth) * GlobeTextureHeight);
        for (uint32_t y = 0; y < GlobeTextureHeight; ++y) {
            for (uint32_t x = 0; x < GlobeTextureWidth; ++x) {
                float u = float(x) / GlobeTextureWidth, v = float(y) / GlobeTextureHeight;
                bool land = std::sin(u * 19) * std::cos(v * 11) + std::sin(u * 7 + v * 5) > 0.6f;
                bool grid = x % 25 == 0 || y % 25 == 0;
                uint32_t color = grid ? 0xFFE0E0E0 : land ? 0xFF4C9A3A : 0xFF1F4FA8;
                texels[size_t(y) * GlobeTextureWidth + x] = color;
            }
        }
        return texels;
    }

    // A dark sky whose pure white specks, as in a picture made transparent where
    // it is white, let the clear color through.
    std::vector<uint32_t> MakeBackdropTexels()
    {
        std::vector<uint32_t> texels(size_t(BackdropTextureSize) * BackdropTextureSize, 0xFF101028);
        uint32_t seed = 12345;
        for (int speck = 0; speck < 600; ++speck) {
            seed = seed * 1664525 + 1013904223;
            texels[(seed >> 8) % texels.size()] = 0x00000000;
        }
        for (uint32_t y = 96; y < 160; ++y) {
            for (uint32_t x = 0; x < BackdropTextureSize; ++x)
                texels[size_t(y) * BackdropTextureSize + x] = (x / 8 + y / 8) % 2 ? 0x00000000 : 0xFF303060;
        }
        return texels;
    }

}

Mesh SyntheticMesh::View() const
{
    Mesh mesh;
    mesh.points = points.data();
    mesh.pointCount = uint32_t(points.size());
    mesh.triangles = reinterpret_cast<const uint32_t(*)[3]>(triangles.data());
    mesh.triangleCount = uint32_t(triangles.size());
    mesh.vertexNormals = normals.empty() ? nullptr : normals.data();
    mesh.vertexUVs = uvs.empty() ? nullptr : uvs.data();
    return mesh;
}

TQ3Matrix4x4 Identity()
{
    TQ3Matrix4x4 m {};
    for (int i = 0; i < 4; ++i)
        m.value[i][i] = 1;
    return m;
}

TQ3Matrix4x4 LookAt(
    TQ3Point3D eye, TQ3Point3D target, TQ3Vector3D up, float fieldOfView, float aspect, float hither, float yon)
{
    TQ3Vector3D forward = Unit({ target.x - eye.x, target.y - eye.y, target.z - eye.z });
    TQ3Vector3D right = Unit(Cross(forward, up));
    TQ3Vector3D top = Cross(right, forward);
    float scaleY = 1 / std::tan(fieldOfView / 2), scaleX = scaleY / aspect;
    // z/w is 0 at hither and -1 at yon: z = a·d + b with w = d.
    float a = -yon / (yon - hither), b = yon * hither / (yon - hither);
    TQ3Vector3D e { eye.x, eye.y, eye.z };
    // Columns: the eye-space x, y and distance, scaled and offset.
    const TQ3Vector3D axes[4] = { right, top, forward, forward };
    const float scales[4] = { scaleX, scaleY, a, 1 };
    TQ3Matrix4x4 m {};
    for (int column = 0; column < 4; ++column) {
        const TQ3Vector3D& axis = axes[column];
        m.value[0][column] = axis.x * scales[column];
        m.value[1][column] = axis.y * scales[column];
        m.value[2][column] = axis.z * scales[column];
        m.value[3][column] = -Dot(e, axis) * scales[column];
    }
    m.value[3][2] += b;
    return m;
}

std::vector<uint8_t> BigEndianBytes(const std::vector<uint32_t>& texels)
{
    std::vector<uint8_t> bytes;
    bytes.reserve(texels.size() * 4);
    for (uint32_t texel : texels) {
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes.push_back(uint8_t(texel >> shift));
    }
    return bytes;
}

bool HasTransparency(const std::vector<uint32_t>& texels)
{
    return std::any_of(texels.begin(), texels.end(), [](uint32_t texel) { return (texel >> 24) != 0xFF; });
}

TQ3AttributeSet TexturedAttributes(const std::vector<uint32_t>& texels, uint32_t width, uint32_t height)
{
    const std::vector<uint8_t> bytes = BigEndianBytes(texels);
    TQ3StorageObject storage = Q3MemoryStorage_New(bytes.data(), TQ3Uns32(bytes.size()));
    const TQ3StoragePixmap pixmap { storage, width, height, width * 4, 32,
        HasTransparency(texels) ? kQ3PixelTypeARGB32 : kQ3PixelTypeRGB32, kQ3EndianBig, kQ3EndianBig };
    TQ3TextureObject texture = Q3PixmapTexture_New(&pixmap);
    TQ3ShaderObject shader = Q3TextureShader_New(texture);
    TQ3AttributeSet set = Q3AttributeSet_New();
    Q3AttributeSet_Add(set, kQ3AttributeTypeSurfaceShader, &shader);
    for (TQ3Object object : { shader, texture, storage })
        Q3Object_Dispose(object);
    return set;
}

std::shared_ptr<const DecodedTexture> TextureFromTexels(
    const std::vector<uint32_t>& texels, uint32_t width, uint32_t height)
{
    const std::vector<uint8_t> bytes = BigEndianBytes(texels);
    PixmapData pixmap { bytes, width, height, width * 4,
        uint32_t(HasTransparency(texels) ? PixelType::ARGB32 : PixelType::RGB32), uint32_t(ByteOrder::Big) };
    return DecodedTexture::FromPixmap(pixmap);
}

SyntheticScene SyntheticScene::Make()
{
    SyntheticScene scene;
    scene.worldToFrustum = LookAt(scene.eye, { 0, 0, 0 }, { 0, 1, 0 }, FieldOfView, 1, Hither, Yon);
    Light ambient;
    ambient.brightness = 0.8f;
    Light headlight;
    headlight.kind = Light::Kind::Point;
    headlight.brightness = 0.25f;
    headlight.location = scene.eye;
    scene.lights = { ambient, headlight };
    scene.globe = MakeSphere(GlobeRadius, Slices, Stacks);
    scene.backdrop = MakeBackdrop();
    scene.globeTexels = MakeGlobeTexels();
    scene.globeWidth = GlobeTextureWidth;
    scene.globeHeight = GlobeTextureHeight;
    scene.backdropTexels = MakeBackdropTexels();
    scene.backdropWidth = scene.backdropHeight = BackdropTextureSize;
    scene.globeTexture = TextureFromTexels(scene.globeTexels, scene.globeWidth, scene.globeHeight);
    scene.backdropTexture = TextureFromTexels(scene.backdropTexels, scene.backdropWidth, scene.backdropHeight);
    return scene;
}

void SyntheticScene::Render(Device& device, const Target& target) const
{
    device.Begin(target, { 0, 0, Size, Size }, { 0.55f, 0.7f, 0.95f });
    device.SetCamera(worldToFrustum, eye);
    device.SetLights(lights);
    DrawState state;
    state.localToWorld = Identity();
    state.surface.texture = backdropTexture;
    state.surface.illuminated = false;
    device.DrawMesh(backdrop.View(), state);
    state.surface.texture = globeTexture;
    state.surface.illuminated = true;
    device.DrawMesh(globe.View(), state);
    device.End();
}

}
