#include "SceneCapture.h"

#include "VectorState.h"
#include "render/DecodedTexture.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <type_traits>

namespace bench {

namespace {

    constexpr char Magic[8] = { 'T', 'S', 'F', 'R', 'A', 'M', 'E', '1' };
    // Nothing in a frame comes near these; a count past them means a broken file.
    constexpr uint64_t MaximumCount = uint64_t(1) << 26;
    constexpr int MaximumSide = 1 << 14;

    class Writer {
    public:
        explicit Writer(const std::string& path)
            : mFile(path, std::ios::binary)
        {
            if (!mFile)
                throw std::runtime_error("cannot write " + path);
        }

        template <class T> void Put(const T& value)
        {
            static_assert(std::is_trivially_copyable_v<T>);
            mFile.write(reinterpret_cast<const char*>(&value), sizeof value);
        }

        template <class T> void PutArray(const std::vector<T>& values)
        {
            static_assert(std::is_trivially_copyable_v<T>);
            Put(uint64_t(values.size()));
            mFile.write(reinterpret_cast<const char*>(values.data()), std::streamsize(values.size() * sizeof(T)));
        }

        void Finish(const std::string& path)
        {
            mFile.flush();
            if (!mFile)
                throw std::runtime_error("cannot write " + path);
        }

    private:
        std::ofstream mFile;
    };

    class Reader {
    public:
        explicit Reader(const std::string& path)
            : mPath(path)
            , mFile(path, std::ios::binary)
        {
            if (!mFile)
                Fail("cannot open");
        }

        template <class T> T Get()
        {
            static_assert(std::is_trivially_copyable_v<T>);
            T value {};
            if (!mFile.read(reinterpret_cast<char*>(&value), sizeof value))
                Fail("ends early");
            return value;
        }

        uint64_t GetCount()
        {
            const uint64_t count = Get<uint64_t>();
            if (count > MaximumCount)
                Fail("holds an impossible count");
            return count;
        }

        template <class T> std::vector<T> GetArray()
        {
            static_assert(std::is_trivially_copyable_v<T>);
            const uint64_t count = GetCount();
            std::vector<T> values(count);
            if (!mFile.read(reinterpret_cast<char*>(values.data()), std::streamsize(count * sizeof(T))))
                Fail("ends early");
            return values;
        }

        void ExpectEnd()
        {
            if (mFile.peek() != std::char_traits<char>::eof())
                Fail("has bytes past its end");
        }

        [[noreturn]] void Fail(const std::string& what) const
        {
            throw std::runtime_error("the frame capture " + mPath + " " + what);
        }

    private:
        std::string mPath;
        std::ifstream mFile;
    };

    // Triangles whose corners lie past the points are skipped by the
    // device; the capture leaves them out.
    std::vector<std::array<uint32_t, 3>> UsableTriangles(const q3::render::Mesh& mesh)
    {
        std::vector<std::array<uint32_t, 3>> triangles;
        for (uint32_t t = 0; t < mesh.triangleCount; ++t) {
            const uint32_t(&corners)[3] = mesh.triangles[t];
            if (corners[0] < mesh.pointCount && corners[1] < mesh.pointCount && corners[2] < mesh.pointCount)
                triangles.push_back({ corners[0], corners[1], corners[2] });
        }
        return triangles;
    }

    // Texels with their color no longer premultiplied, as a pixel map holds
    // them, so that decoding premultiplies them back to what they were.
    std::vector<uint32_t> StraightAlpha(const std::vector<uint32_t>& texels)
    {
        std::vector<uint32_t> straight(texels);
        for (uint32_t& texel : straight) {
            const uint32_t alpha = texel >> 24;
            if (alpha == 0 || alpha == 255)
                continue;
            auto channel = [&](int shift) {
                return std::min<uint32_t>(255, (((texel >> shift) & 0xFF) * 255 + alpha / 2) / alpha);
            };
            texel = (alpha << 24) | (channel(16) << 16) | (channel(8) << 8) | channel(0);
        }
        return straight;
    }

    bool IsBoundary(Boundary boundary) { return boundary == Boundary::Wrap || boundary == Boundary::Clamp; }

    template <class T> std::vector<T> Copied(const T* values, uint32_t count)
    {
        return values ? std::vector<T>(values, values + count) : std::vector<T>();
    }

}

size_t SceneCapture::TriangleCount() const
{
    size_t count = 0;
    for (const CapturedMesh& mesh : meshes)
        count += mesh.geometry.triangles.size();
    return count;
}

void SceneCapture::Write(const std::string& path) const
{
    Writer out(path);
    out.Put(Magic);
    out.Put(width);
    out.Put(height);
    out.Put(clear);
    out.Put(worldToFrustum);
    out.Put(eye);
    out.PutArray(lights);
    out.Put(uint64_t(textures.size()));
    for (const CapturedTexture& texture : textures) {
        out.Put(texture.width);
        out.Put(texture.height);
        out.Put(texture.transparent);
        out.PutArray(texture.texels);
    }
    out.Put(uint64_t(meshes.size()));
    for (const CapturedMesh& mesh : meshes) {
        out.Put(mesh.localToWorld);
        out.Put(mesh.diffuse);
        out.Put(mesh.opacity);
        out.Put(mesh.illuminated);
        out.Put(mesh.backfacing);
        out.Put(mesh.texture);
        out.Put(mesh.uBoundary);
        out.Put(mesh.vBoundary);
        out.PutArray(mesh.geometry.points);
        out.PutArray(mesh.geometry.normals);
        out.PutArray(mesh.geometry.uvs);
        out.PutArray(mesh.geometry.triangles);
    }
    out.Finish(path);
}

SceneCapture SceneCapture::Read(const std::string& path)
{
    Reader in(path);
    if (std::memcmp(in.Get<std::array<char, 8>>().data(), Magic, sizeof Magic) != 0)
        in.Fail("is not a frame capture");
    SceneCapture capture;
    capture.width = in.Get<int>();
    capture.height = in.Get<int>();
    if (capture.width <= 0 || capture.height <= 0 || capture.width > MaximumSide || capture.height > MaximumSide)
        in.Fail("has an impossible size");
    capture.clear = in.Get<TQ3ColorRGB>();
    capture.worldToFrustum = in.Get<TQ3Matrix4x4>();
    capture.eye = in.Get<TQ3Point3D>();
    capture.lights = in.GetArray<Light>();
    for (const Light& light : capture.lights) {
        if (light.kind != Light::Kind::Ambient && light.kind != Light::Kind::Directional
            && light.kind != Light::Kind::Point)
            in.Fail("holds a light of no known kind");
        if (light.attenuation < kQ3AttenuationTypeNone || light.attenuation > kQ3AttenuationTypeInverseDistanceSquared)
            in.Fail("holds a light of no known attenuation");
    }
    const uint64_t textureCount = in.GetCount();
    for (uint64_t i = 0; i < textureCount; ++i) {
        CapturedTexture texture;
        texture.width = in.Get<uint32_t>();
        texture.height = in.Get<uint32_t>();
        texture.transparent = in.Get<bool>();
        texture.texels = in.GetArray<uint32_t>();
        if (texture.width == 0 || texture.width > DecodedTexture::MaximumSize || texture.height == 0
            || texture.height > DecodedTexture::MaximumSize || texture.texels.size() != size_t(texture.width) * texture.height)
            in.Fail("holds a texture whose texels do not fit its size");
        capture.textures.push_back(std::move(texture));
    }
    const uint64_t meshCount = in.GetCount();
    for (uint64_t i = 0; i < meshCount; ++i) {
        CapturedMesh mesh;
        mesh.localToWorld = in.Get<TQ3Matrix4x4>();
        mesh.diffuse = in.Get<TQ3ColorRGB>();
        mesh.opacity = in.Get<float>();
        mesh.illuminated = in.Get<bool>();
        mesh.backfacing = in.Get<Backfacing>();
        mesh.texture = in.Get<int32_t>();
        mesh.uBoundary = in.Get<Boundary>();
        mesh.vBoundary = in.Get<Boundary>();
        SyntheticMesh& geometry = mesh.geometry;
        geometry.points = in.GetArray<TQ3Point3D>();
        geometry.normals = in.GetArray<TQ3Vector3D>();
        geometry.uvs = in.GetArray<TQ3Param2D>();
        geometry.triangles = in.GetArray<std::array<uint32_t, 3>>();
        const size_t points = geometry.points.size();
        if (mesh.texture < -1 || mesh.texture >= int64_t(capture.textures.size())
            || (mesh.texture >= 0 && geometry.uvs.size() != points)
            || (!geometry.normals.empty() && geometry.normals.size() != points)
            || (mesh.backfacing != Backfacing::Both && mesh.backfacing != Backfacing::Remove
                && mesh.backfacing != Backfacing::Flip)
            || !IsBoundary(mesh.uBoundary) || !IsBoundary(mesh.vBoundary))
            in.Fail("holds a mesh whose parts do not fit together");
        for (const auto& corners : geometry.triangles) {
            if (corners[0] >= points || corners[1] >= points || corners[2] >= points)
                in.Fail("holds a triangle past its mesh's points");
        }
        capture.meshes.push_back(std::move(mesh));
    }
    in.ExpectEnd();
    return capture;
}

void SceneCapture::Render(Device& device, std::vector<uint8_t>& pixels)
{
    for (CapturedTexture& texture : textures) {
        if (!texture.decoded)
            texture.decoded = TextureFromTexels(StraightAlpha(texture.texels), texture.width, texture.height);
    }
    pixels.resize(size_t(width) * height * 4);
    // As a view's frame starts.
    q3::ClearUpperVectorState();
    device.Begin({ pixels.data(), width, height, width * 4 }, { 0, 0, width, height }, clear);
    device.SetCamera(worldToFrustum, eye);
    device.SetLights(lights);
    device.SetFog({});
    DrawState state;
    for (const CapturedMesh& mesh : meshes) {
        state.localToWorld = mesh.localToWorld;
        state.surface.diffuse = mesh.diffuse;
        state.surface.opacity = mesh.opacity;
        state.surface.illuminated = mesh.illuminated;
        state.surface.uBoundary = mesh.uBoundary;
        state.surface.vBoundary = mesh.vBoundary;
        state.surface.texture = mesh.texture >= 0 ? textures[size_t(mesh.texture)].decoded : nullptr;
        state.backfacing = mesh.backfacing;
        device.DrawMesh(mesh.geometry.View(), state);
    }
    device.End();
}

FrameRecorder::FrameRecorder() { q3::ObserveFrames(this); }

FrameRecorder::~FrameRecorder() { q3::ObserveFrames(nullptr); }

void FrameRecorder::Begin(const Pane& pane, TQ3ColorRGB clear, const TQ3Matrix4x4& worldToFrustum, TQ3Point3D eye,
    std::span<const Light> lights, bool wireframe)
{
    mCapture = SceneCapture();
    mCapture.width = pane.right - pane.left;
    mCapture.height = pane.bottom - pane.top;
    mCapture.clear = clear;
    mCapture.worldToFrustum = worldToFrustum;
    mCapture.eye = eye;
    mCapture.lights.assign(lights.begin(), lights.end());
    mBegun = true;
    mProblem = wireframe ? "the frame is drawn as wires" : "";
}

void FrameRecorder::Mesh(const q3::render::Mesh& mesh, const DrawState& state, const Fog& fog)
{
    if (!mBegun || !mProblem.empty() || !mesh.points || !mesh.triangles)
        return;
    if (fog.on)
        mProblem = "a mesh is fogged";
    else if (state.fill != Fill::Filled)
        mProblem = "a mesh is drawn as edges or points";
    else if (mesh.vertexColors || mesh.triangleColors || mesh.triangleNormals)
        mProblem = "a mesh has per-vertex or per-triangle colors, or triangle normals";
    if (!mProblem.empty())
        return;
    CapturedMesh captured;
    captured.localToWorld = state.localToWorld;
    captured.diffuse = state.surface.diffuse;
    captured.opacity = state.surface.opacity;
    captured.illuminated = state.surface.illuminated;
    captured.uBoundary = state.surface.uBoundary;
    captured.vBoundary = state.surface.vBoundary;
    captured.backfacing = state.backfacing;
    // The device draws a texture only where the mesh has UVs.
    if (state.surface.texture && mesh.vertexUVs)
        captured.texture = TextureIndex(state.surface.texture);
    SyntheticMesh& geometry = captured.geometry;
    geometry.points = Copied(mesh.points, mesh.pointCount);
    if (state.surface.illuminated)
        geometry.normals = Copied(mesh.vertexNormals, mesh.pointCount);
    if (captured.texture >= 0)
        geometry.uvs = Copied(mesh.vertexUVs, mesh.pointCount);
    geometry.triangles = UsableTriangles(mesh);
    mCapture.meshes.push_back(std::move(captured));
}

const SceneCapture& FrameRecorder::Capture() const
{
    if (!mBegun)
        throw std::runtime_error("no frame was rendered while recording");
    if (!mProblem.empty())
        throw std::runtime_error("the frame cannot be captured: " + mProblem);
    return mCapture;
}

int32_t FrameRecorder::TextureIndex(const std::shared_ptr<const DecodedTexture>& texture)
{
    std::vector<CapturedTexture>& textures = mCapture.textures;
    for (size_t i = 0; i < textures.size(); ++i) {
        if (textures[i].decoded == texture)
            return int32_t(i);
    }
    const TextureLevel& finest = texture->Level(0);
    textures.push_back({ finest.width, finest.height, finest.texels, texture->HasTransparency(), texture });
    return int32_t(textures.size() - 1);
}

}
