// The frame capture must carry the whole frame: drawn again from the capture,
// alone or after a trip through its file, it gives the view's pixels exactly.

#include "SceneCapture.h"

#include "../q3/SceneFixtures.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <stdexcept>

using namespace bench;

namespace {

constexpr int Size = 64;

std::string TemporaryPath(const std::string& name)
{
    return (std::filesystem::temp_directory_path() / ("scene-capture-" + std::to_string(getpid()) + "-" + name))
        .string();
}

// A texture shader in a new attribute set, with a diffuse and a transparency color beside it.
TQ3AttributeSet Material(
    const std::vector<uint32_t>& texels, uint32_t side, TQ3ColorRGB diffuse, TQ3ColorRGB transparency = { 1, 1, 1 })
{
    TQ3AttributeSet set = texels.empty() ? Q3AttributeSet_New() : TexturedAttributes(texels, side, side);
    Q3AttributeSet_Add(set, kQ3AttributeTypeDiffuseColor, &diffuse);
    Q3AttributeSet_Add(set, kQ3AttributeTypeTransparencyColor, &transparency);
    return set;
}

std::vector<uint32_t> Checks(uint32_t side, uint32_t a, uint32_t b)
{
    std::vector<uint32_t> texels(size_t(side) * side);
    for (uint32_t i = 0; i < texels.size(); ++i)
        texels[i] = (i / side + i % side) % 2 ? a : b;
    return texels;
}

// A scene that takes every way the capture records: an unlit opaque backdrop,
// a flat-lit quad whose texture has transparent texels, a half-transparent
// Gouraud-lit sphere in a diffuse color under a transform, and ambient,
// point and directional light.
class CaptureScene : public ::testing::Test {
protected:
    void SetUp() override
    {
        Q3Initialize();
        mCamera = fixtures::Camera();
        mView = fixtures::View(mPixels.data(), Size, Size, mCamera);
        TQ3GroupObject lights = Q3LightGroup_New();
        const TQ3LightData ambient { kQ3True, 0.3f, { 1, 1, 1 } };
        const TQ3PointLightData point { { kQ3True, 0.6f, { 1, 0.9f, 0.8f } }, kQ3False, kQ3AttenuationTypeNone,
            { 3, 4, 10 } };
        const TQ3DirectionalLightData directional { { kQ3True, 0.4f, { 0.5f, 0.5f, 1 } }, kQ3False,
            { 0.6f, 0, -0.8f } };
        for (TQ3LightObject light :
            { Q3AmbientLight_New(&ambient), Q3PointLight_New(&point), Q3DirectionalLight_New(&directional) }) {
            Q3Group_AddObject(lights, light);
            Q3Object_Dispose(light);
        }
        Q3View_SetLightGroup(mView, lights);
        Q3Object_Dispose(lights);

        mBackdrop.data.triMeshAttributeSet = Material(Checks(8, 0xFF203060, 0xFF102030), 8, { 1, 1, 1 });
        mQuad.data.triMeshAttributeSet = Material(Checks(4, 0x80FF8000, 0xFFFFFFFF), 4, { 1, 1, 1 });
        mSphereData.triMeshAttributeSet = Material({}, 0, { 0.9f, 0.2f, 0.1f }, { 0.6f, 0.6f, 0.6f });
        mSphereAttributes = { { { kQ3AttributeTypeNormal, mSphere.normals.data(), nullptr } } };
        mSphereData.numTriangles = TQ3Uns32(mSphere.triangles.size());
        mSphereData.triangles = reinterpret_cast<TQ3TriMeshTriangleData*>(mSphere.triangles.data());
        mSphereData.numPoints = TQ3Uns32(mSphere.points.size());
        mSphereData.points = mSphere.points.data();
        mSphereData.numVertexAttributeTypes = 1;
        mSphereData.vertexAttributeTypes = mSphereAttributes.data();
        mNull = Q3NULLIllumination_New();
        mPhong = Q3PhongIllumination_New();
    }

    void TearDown() override
    {
        for (TQ3Object object : { mBackdrop.data.triMeshAttributeSet, mQuad.data.triMeshAttributeSet,
                 mSphereData.triMeshAttributeSet, mNull, mPhong, mView, mCamera })
            Q3Object_Dispose(object);
    }

    void Render(const std::function<void()>& styles = [] {})
    {
        ASSERT_EQ(Q3View_StartRendering(mView), kQ3Success);
        do {
            Q3BackfacingStyle_Submit(kQ3BackfacingStyleRemove, mView);
            styles();
            Q3Shader_Submit(mNull, mView);
            Q3TriMesh_Submit(&mBackdrop.data, mView);
            Q3Shader_Submit(mPhong, mView);
            Q3TriMesh_Submit(&mQuad.data, mView);
            Q3Push_Submit(mView);
            const TQ3Vector3D offset { 2, 2, 1 };
            Q3TranslateTransform_Submit(&offset, mView);
            Q3TriMesh_Submit(&mSphereData, mView);
            Q3Pop_Submit(mView);
        } while (Q3View_EndRendering(mView) == kQ3ViewStatusRetraverse);
    }

    std::vector<uint8_t> mPixels = std::vector<uint8_t>(Size * Size * 4);
    TQ3CameraObject mCamera { nullptr };
    TQ3ViewObject mView { nullptr };
    TQ3ShaderObject mNull { nullptr };
    TQ3ShaderObject mPhong { nullptr };
    fixtures::Quad mBackdrop { 9, -5 };
    fixtures::Quad mQuad { 4, 0, 0, 2 };
    SyntheticMesh mSphere = MakeSphere(3, 12, 8);
    std::array<TQ3TriMeshAttributeData, 1> mSphereAttributes {};
    TQ3TriMeshData mSphereData {};
};

TEST_F(CaptureScene, DrawsAgainWhatTheViewDrew)
{
    SceneCapture capture;
    {
        FrameRecorder recorder;
        Render();
        capture = recorder.Capture();
    }
    EXPECT_EQ(capture.meshes.size(), 3u);
    EXPECT_EQ(capture.textures.size(), 2u);
    std::set<uint32_t> colors;
    for (size_t i = 0; i < mPixels.size(); i += 4)
        colors.insert(uint32_t(mPixels[i + 1]) << 16 | uint32_t(mPixels[i + 2]) << 8 | mPixels[i + 3]);
    ASSERT_GT(colors.size(), 50u) << "the scene drew next to nothing";

    q3::render::Device device;
    std::vector<uint8_t> replayed;
    capture.Render(device, replayed);
    EXPECT_EQ(replayed, mPixels);

    const std::string path = TemporaryPath("whole");
    capture.Write(path);
    SceneCapture read = SceneCapture::Read(path);
    std::filesystem::remove(path);
    std::vector<uint8_t> fromFile;
    read.Render(device, fromFile);
    EXPECT_EQ(fromFile, mPixels);
}

TEST_F(CaptureScene, RecordsOnlyTheLastFrame)
{
    FrameRecorder recorder;
    Render();
    Render();
    EXPECT_EQ(recorder.Capture().meshes.size(), 3u);
}

TEST_F(CaptureScene, RefusesWhatItCannotCarry)
{
    EXPECT_THROW(FrameRecorder().Capture(), std::runtime_error);
    FrameRecorder recorder;
    Render([this] {
        const TQ3FogStyleData fog { kQ3On, kQ3FogModeLinear, 5, 15, 1, { 1, 0.5f, 0.5f, 0.5f } };
        Q3FogStyle_Submit(&fog, mView);
    });
    EXPECT_THROW(recorder.Capture(), std::runtime_error);
    Render([this] { Q3FillStyle_Submit(kQ3FillStyleEdges, mView); });
    EXPECT_THROW(recorder.Capture(), std::runtime_error);
}

SceneCapture SmallCapture()
{
    SceneCapture capture;
    capture.width = capture.height = 4;
    capture.textures.push_back({ 2, 2, { 1, 2, 3, 4 }, false, nullptr });
    CapturedMesh mesh;
    mesh.texture = 0;
    mesh.geometry.points = { { 0, 0, 0 }, { 1, 0, 0 }, { 0, 1, 0 } };
    mesh.geometry.normals = { { 0, 0, 1 }, { 0, 0, 1 }, { 0, 0, 1 } };
    mesh.geometry.uvs = { { 0, 0 }, { 1, 0 }, { 0, 1 } };
    mesh.geometry.triangles = { { 0, 1, 2 } };
    capture.meshes.push_back(mesh);
    return capture;
}

std::string Bytes(const SceneCapture& capture)
{
    const std::string path = TemporaryPath("bytes");
    capture.Write(path);
    std::ifstream file(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::filesystem::remove(path);
    return bytes;
}

TEST(SceneCaptureFile, MalformedFilesAreRefused)
{
    const std::string sound = Bytes(SmallCapture());
    SceneCapture pastPoints = SmallCapture();
    pastPoints.meshes[0].geometry.triangles[0][2] = 3;
    SceneCapture shortTexture = SmallCapture();
    shortTexture.textures[0].texels.pop_back();
    SceneCapture noSuchTexture = SmallCapture();
    noSuchTexture.meshes[0].texture = 1;
    std::string hugeCount = sound;
    // The first count, of lights, follows the header, size, clear, matrix and eye.
    const size_t lightCount = 8 + 2 * sizeof(int) + sizeof(TQ3ColorRGB) + sizeof(TQ3Matrix4x4) + sizeof(TQ3Point3D);
    hugeCount.replace(lightCount, 8, std::string(8, '\xFF'));
    const struct {
        const char* name;
        std::string bytes;
    } rows[] = {
        { "empty", "" },
        { "not a capture", "X" + sound.substr(1) },
        { "cut short", sound.substr(0, sound.size() - 5) },
        { "bytes past the end", sound + "x" },
        { "an impossible count", hugeCount },
        { "a triangle past the points", Bytes(pastPoints) },
        { "texels that do not fill the texture", Bytes(shortTexture) },
        { "a texture that is not there", Bytes(noSuchTexture) },
    };
    const std::string path = TemporaryPath("malformed");
    for (const auto& row : rows) {
        std::ofstream(path, std::ios::binary) << row.bytes;
        EXPECT_THROW(SceneCapture::Read(path), std::runtime_error) << row.name;
    }
    std::ofstream(path, std::ios::binary) << sound;
    EXPECT_NO_THROW(SceneCapture::Read(path));
    std::filesystem::remove(path);
    EXPECT_THROW(SceneCapture::Read(path), std::runtime_error) << "a missing file";
}

}
