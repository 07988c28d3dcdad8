#include "RenderTestSupport.h"

#include "SyntheticScene.h"

#include <gtest/gtest.h>

using namespace q3::render;
using namespace q3::render::testing;

namespace {

void RenderSphere(Canvas& canvas, bool wireframe)
{
    SyntheticMesh sphere = MakeSphere(7, 16, 12);
    Device device;
    device.Begin(canvas.GetTarget(), { 0, 0, Canvas::Size, Canvas::Size }, { 0.1f, 0.1f, 0.2f });
    device.SetCamera(TestCamera(), TestEye);
    Light ambient;
    ambient.brightness = 0.3f;
    Light point;
    point.kind = Light::Kind::Point;
    point.location = { -10, 10, 10 };
    point.brightness = 0.9f;
    const Light lights[] = { ambient, point };
    device.SetLights(lights);
    device.SetWireframe(wireframe);
    DrawState state;
    state.localToWorld = Identity();
    state.surface.diffuse = { 1, 0.6f, 0.2f };
    device.DrawMesh(sphere.View(), state);
    device.End();
}

}

TEST(ReferenceImages, LitSphere)
{
    Canvas canvas;
    RenderSphere(canvas, false);
    EXPECT_TRUE(MatchesReference(canvas, "lit_sphere"));
    EXPECT_TRUE(DrawsRecordedBytes(canvas, "lit_sphere"));
}

TEST(ReferenceImages, WireframeSphere)
{
    Canvas canvas;
    RenderSphere(canvas, true);
    EXPECT_TRUE(MatchesReference(canvas, "wireframe_sphere"));
    EXPECT_TRUE(DrawsRecordedBytes(canvas, "wireframe_sphere"));
}

TEST(ReferenceImages, TexturedFloorWithMipmaps)
{
    // A checkered floor running into the distance: near squares sharp, far
    // ones fading to grey through the mipmaps.
    std::vector<uint32_t> texels(8 * 8);
    for (uint32_t i = 0; i < texels.size(); ++i)
        texels[i] = ((i % 8) + (i / 8)) % 2 ? 0xFFFFFFFF : 0xFF202080;
    auto texture = MakeTexture(texels, 8, 8);
    std::vector<TQ3Point3D> points { { -20, -4, 9 }, { -20, -4, -90 }, { 20, -4, -90 }, { 20, -4, 9 } };
    std::vector<TQ3Param2D> uvs { { 0, 0 }, { 0, 10 }, { 4, 10 }, { 4, 0 } };
    const uint32_t triangles[][3] = { { 0, 2, 1 }, { 0, 3, 2 } };
    Mesh floor;
    floor.points = points.data();
    floor.pointCount = 4;
    floor.vertexUVs = uvs.data();
    floor.triangles = triangles;
    floor.triangleCount = 2;
    DrawState state;
    state.localToWorld = Identity();
    state.surface.texture = texture;
    state.surface.illuminated = false;
    Canvas canvas;
    Device device;
    device.Begin(canvas.GetTarget(), { 0, 0, Canvas::Size, Canvas::Size }, { 0.5f, 0.7f, 1 });
    device.SetCamera(TestCamera(), TestEye);
    device.DrawMesh(floor, state);
    device.End();
    EXPECT_TRUE(MatchesReference(canvas, "textured_floor"));
    EXPECT_TRUE(DrawsRecordedBytes(canvas, "textured_floor"));
}

TEST(ReferenceImages, FoggedGlobesOverTheBackdrop)
{
    // Every way a pixel is shaded: the backdrop's texels alone, lit texels,
    // texels blended over others, fog on all of them, runs that wrap around
    // the texture and runs that stay inside it.
    SyntheticScene scene = SyntheticScene::Make();
    Canvas canvas(96, 96);
    Device device;
    device.Begin(canvas.GetTarget(), { 0, 0, 96, 96 }, { 0.55f, 0.7f, 0.95f });
    device.SetCamera(scene.worldToFrustum, scene.eye);
    device.SetLights(scene.lights);
    Fog fog;
    fog.on = true;
    fog.start = 900;
    fog.end = 1400;
    fog.color = { 0.3f, 0.2f, 0.6f };
    device.SetFog(fog);
    DrawState state;
    state.localToWorld = Identity();
    state.surface.texture = scene.backdropTexture;
    state.surface.illuminated = false;
    device.DrawMesh(scene.backdrop.View(), state);
    state.surface.texture = scene.globeTexture;
    state.surface.illuminated = true;
    device.DrawMesh(scene.globe.View(), state);
    // A small globe in front wearing the backdrop's texture, lit, so that
    // its transparent texels blend over the big one.
    constexpr float Scale = 0.4f;
    for (int i = 0; i < 3; ++i)
        state.localToWorld.value[i][i] = Scale;
    state.localToWorld.value[3][0] = 120;
    state.localToWorld.value[3][2] = 350;
    state.surface.texture = scene.backdropTexture;
    device.DrawMesh(scene.globe.View(), state);
    device.End();
    EXPECT_TRUE(canvas.GuardsIntact());
    EXPECT_TRUE(MatchesReference(canvas, "fogged_globes", 0));
    EXPECT_TRUE(DrawsRecordedBytes(canvas, "fogged_globes"));
}

TEST(SceneImage, BenchmarkSceneIsWrittenForALook)
{
    SyntheticScene scene = SyntheticScene::Make();
    ASSERT_TRUE(scene.globeTexture && scene.backdropTexture);
    Canvas canvas(SyntheticScene::Size, SyntheticScene::Size);
    Device device;
    scene.Render(device, canvas.GetTarget());
    EXPECT_TRUE(canvas.GuardsIntact());
    EXPECT_TRUE(WritePng(canvas, std::string(OUTPUT_DIR) + "/synthetic_scene.png"));
    EXPECT_TRUE(DrawsRecordedBytes(canvas, "synthetic_scene"));

    // The globe fills the middle, lit; the dark sky fills the corners, and
    // its transparent band lets the clear color through.
    Rgb middle = canvas.At(256, 256);
    EXPECT_GT(middle.r + middle.g + middle.b, 150) << Describe(middle);
    EXPECT_TRUE(Near(canvas.At(4, 4), { 0x10, 0x10, 0x28 }, 2)) << Describe(canvas.At(4, 4));
    int clearInBand = 0;
    for (int x = 0; x < 40; ++x)
        clearInBand += Near(canvas.At(x, 270), { 140, 179, 242 }, 2) ? 1 : 0;
    EXPECT_GT(clearInBand, 5);
}
