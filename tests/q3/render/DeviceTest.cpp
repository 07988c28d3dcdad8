#include "RenderTestSupport.h"

#include "SyntheticScene.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string_view>

using namespace q3::render;
using namespace q3::render::testing;

namespace {

constexpr TQ3ColorRGB ClearColor { 0, 0, 0 };
constexpr Rgb Cleared { 0, 0, 0 };
constexpr Rgb Red { 255, 0, 0 };
constexpr Rgb Green { 0, 255, 0 };
constexpr Rgb Blue { 0, 0, 255 };
constexpr int Tolerance = 3;
constexpr int Centre = Canvas::Size / 2;

struct TestMesh {
    std::vector<TQ3Point3D> points {};
    std::vector<TQ3Param2D> uvs {};
    std::vector<TQ3ColorRGB> colors {};
    std::vector<TQ3Vector3D> normals {};
    std::vector<TQ3Vector3D> triangleNormals {};
    std::vector<std::array<uint32_t, 3>> triangles {};

    Mesh View() const
    {
        Mesh mesh;
        mesh.points = points.empty() ? nullptr : points.data();
        mesh.pointCount = uint32_t(points.size());
        mesh.triangles = triangles.empty() ? nullptr : reinterpret_cast<const uint32_t(*)[3]>(triangles.data());
        mesh.triangleCount = uint32_t(triangles.size());
        mesh.vertexUVs = uvs.empty() ? nullptr : uvs.data();
        mesh.vertexColors = colors.empty() ? nullptr : colors.data();
        mesh.vertexNormals = normals.empty() ? nullptr : normals.data();
        mesh.triangleNormals = triangleNormals.empty() ? nullptr : triangleNormals.data();
        return mesh;
    }
};

// A rectangle parallel to the screen, counter-clockwise seen from +z, with
// u across from `u0` to `u1` and v from 0 at the bottom to 1 at the top.
TestMesh Rectangle(float left, float bottom, float right, float top, float z, float u0 = 0, float u1 = 1)
{
    TestMesh mesh;
    mesh.points = { { left, top, z }, { left, bottom, z }, { right, bottom, z }, { right, top, z } };
    mesh.uvs = { { u0, 1 }, { u0, 0 }, { u1, 0 }, { u1, 1 } };
    mesh.triangles = { { 0, 1, 2 }, { 0, 2, 3 } };
    return mesh;
}

TestMesh FullView(float z = 0, float u0 = 0, float u1 = 1) { return Rectangle(-10, -10, 10, 10, z, u0, u1); }

TestMesh Reversed(TestMesh mesh)
{
    for (auto& triangle : mesh.triangles)
        std::swap(triangle[1], triangle[2]);
    return mesh;
}

DrawState Unlit(TQ3ColorRGB diffuse = { 1, 1, 1 }, std::shared_ptr<const DecodedTexture> texture = {})
{
    DrawState state;
    state.localToWorld = Identity();
    state.surface.diffuse = diffuse;
    state.surface.texture = std::move(texture);
    state.surface.illuminated = false;
    return state;
}

DrawState Lit(TQ3ColorRGB diffuse = { 1, 1, 1 })
{
    DrawState state = Unlit(diffuse);
    state.surface.illuminated = true;
    return state;
}

Light Ambient(float brightness)
{
    Light light;
    light.brightness = brightness;
    return light;
}

// A directional light shining straight away from the eye, onto surfaces facing it.
Light Headlamp(float brightness)
{
    Light light;
    light.kind = Light::Kind::Directional;
    light.brightness = brightness;
    light.direction = { 0, 0, -1 };
    return light;
}

// One frame with the test camera: the meshes drawn in order.
class Frame {
public:
    explicit Frame(std::vector<Light> lights = {}, Fog fog = {})
    {
        mDevice.Begin(mCanvas.GetTarget(), { 0, 0, Canvas::Size, Canvas::Size }, ClearColor);
        mDevice.SetCamera(TestCamera(), TestEye);
        mDevice.SetLights(lights);
        mDevice.SetFog(fog);
    }

    Frame& Draw(const TestMesh& mesh, const DrawState& state)
    {
        mDevice.DrawMesh(mesh.View(), state);
        return *this;
    }

    Device& GetDevice() { return mDevice; }

    Canvas Finish()
    {
        mDevice.End();
        return mCanvas;
    }

private:
    Canvas mCanvas {};
    Device mDevice {};
};

int Channel(float value) { return int(std::lround(std::clamp(value, 0.0f, 1.0f) * 255)); }

}

TEST(DeviceClear, FillsThePaneOnlyAndKeepsToTheTarget)
{
    Canvas canvas;
    Device device;
    device.Begin(canvas.GetTarget(), { 8, 8, 24, 24 }, { 1, 0, 0 });
    device.End();
    EXPECT_EQ(canvas.At(8, 8), Red);
    EXPECT_EQ(canvas.At(23, 23), Red);
    EXPECT_NE(canvas.At(24, 24), Red);
    EXPECT_NE(canvas.At(7, 8), Red);
    EXPECT_EQ(canvas.CountOtherThan(Red), Canvas::Size * Canvas::Size - 16 * 16);
    EXPECT_TRUE(canvas.GuardsIntact());
}

TEST(DeviceTexturing, TexturedQuadShowsKnownTexelsAtKnownPixels)
{
    // Four by four texels, each 16 × 16 pixels on screen; row 0 on top.
    std::vector<uint32_t> texels;
    for (uint32_t row = 0; row < 4; ++row) {
        for (uint32_t column = 0; column < 4; ++column)
            texels.push_back(0xFF000000 | (row * 80) << 16 | (column * 80) << 8 | 0x40);
    }
    const Canvas canvas = Frame().Draw(FullView(), Unlit({ 1, 1, 1 }, MakeTexture(texels, 4, 4))).Finish();
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            Rgb expected { row * 80, column * 80, 0x40 };
            Rgb seen = canvas.At(column * 16 + 8, row * 16 + 8);
            EXPECT_TRUE(Near(seen, expected, 8)) << row << ", " << column << ": " << Describe(seen);
        }
    }
}

TEST(DeviceTexturing, UWrapsPastOneAndBelowZero)
{
    auto texture = MakeTexture({ 0xFFFF0000, 0xFF0000FF }, 2, 1);
    for (auto [u0, u1] : { std::pair { -1.0f, 1.0f }, std::pair { 1.0f, 3.0f } }) {
        const Canvas canvas = Frame().Draw(FullView(0, u0, u1), Unlit({ 1, 1, 1 }, texture)).Finish();
        for (int column = 0; column < 4; ++column) {
            Rgb expected = column % 2 ? Blue : Red;
            EXPECT_TRUE(Near(canvas.At(column * 16 + 8, Centre), expected, 16))
                << "u from " << u0 << ", column " << column << ": " << Describe(canvas.At(column * 16 + 8, Centre));
        }
    }
}

TEST(DeviceTexturing, ClampStretchesTheEdgeTexelsPastTheEdges)
{
    // A 2 x 2 texture, top row red and green, bottom row blue and white,
    // over the whole view with u and v from -1 to 2: the texture fills the
    // middle ninth. Pixels 15 and 48 lie a quarter of the texture past its
    // edges (u or v -0.27 and 1.27), pixel 2 almost a whole texture.
    auto texture = MakeTexture({ 0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF }, 2, 2);
    TestMesh mesh = FullView();
    mesh.uvs = { { -1, 2 }, { -1, -1 }, { 2, -1 }, { 2, 2 } };
    const Rgb White { 255, 255, 255 };
    struct Row {
        const char* name;
        Boundary u;
        Boundary v;
        Rgb topLeft, topRight, bottomLeft, bottomRight;
    };
    for (const Row& row : { Row { "clamp, clamp", Boundary::Clamp, Boundary::Clamp, Red, Green, Blue, White },
             Row { "wrap, clamp", Boundary::Wrap, Boundary::Clamp, Green, Red, White, Blue },
             Row { "clamp, wrap", Boundary::Clamp, Boundary::Wrap, Blue, White, Red, Green },
             Row { "wrap, wrap", Boundary::Wrap, Boundary::Wrap, White, Blue, Green, Red } }) {
        DrawState state = Unlit({ 1, 1, 1 }, texture);
        state.surface.uBoundary = row.u;
        state.surface.vBoundary = row.v;
        const Canvas canvas = Frame().Draw(mesh, state).Finish();
        auto expect = [&](int x, int y, Rgb expected) {
            // Wrapped, the filter blends a little of the far column in.
            EXPECT_TRUE(Near(canvas.At(x, y), expected, 32))
                << row.name << " at " << x << ", " << y << ": " << Describe(canvas.At(x, y));
        };
        expect(15, 15, row.topLeft);
        expect(48, 15, row.topRight);
        expect(15, 48, row.bottomLeft);
        expect(48, 48, row.bottomRight);
        // On the texture itself every mode reads the same texels.
        expect(26, 26, Red);
        expect(37, 37, White);
    }
    // Far past the edges, a clamped texture still shows its edge texels.
    DrawState clamped = Unlit({ 1, 1, 1 }, texture);
    clamped.surface.uBoundary = clamped.surface.vBoundary = Boundary::Clamp;
    const Canvas canvas = Frame().Draw(mesh, clamped).Finish();
    EXPECT_EQ(canvas.At(1, 1), Red);
    EXPECT_EQ(canvas.At(62, 1), Green);
    EXPECT_EQ(canvas.At(1, 62), Blue);
    EXPECT_EQ(canvas.At(62, 62), White);
    // Past the top edge, u = 0.52 still filters between the two top texels.
    EXPECT_TRUE(Near(canvas.At(Centre, 1), { 115, 140, 0 }, Tolerance)) << Describe(canvas.At(Centre, 1));
}

TEST(DeviceTexturing, TextureCoordinatesArePerspectiveCorrect)
{
    // A rectangle receding to the right: its middle, where the texture turns
    // from red to blue, projects to the centre column, not to the middle of
    // its projected edges (column 24), where straight screen interpolation
    // would put it.
    TestMesh mesh;
    mesh.points = { { -8, 5, 0 }, { -8, -5, 0 }, { 8, -5, -16 }, { 8, 5, -16 } };
    mesh.uvs = { { 0, 1 }, { 0, 0 }, { 1, 0 }, { 1, 1 } };
    mesh.triangles = { { 0, 1, 2 }, { 0, 2, 3 } };
    std::vector<uint32_t> texels(16, 0xFFFF0000);
    std::fill(texels.begin() + 8, texels.end(), 0xFF0000FF);
    const Canvas canvas = Frame().Draw(mesh, Unlit({ 1, 1, 1 }, MakeTexture(texels, 16, 1))).Finish();
    EXPECT_TRUE(Near(canvas.At(24, Centre), Red, Tolerance)) << Describe(canvas.At(24, Centre));
    EXPECT_TRUE(Near(canvas.At(30, Centre), Red, Tolerance)) << Describe(canvas.At(30, Centre));
    EXPECT_TRUE(Near(canvas.At(34, Centre), Blue, Tolerance)) << Describe(canvas.At(34, Centre));
}

TEST(DeviceTexturing, TransparentTexelsShowWhatIsBehind)
{
    // A picture quad whose left half is transparent, drawn before the red
    // wall behind it: the wall shows through on the left, the picture's
    // green on the right, and its half-transparent strip blends.
    // Eight texels across, eight pixels each: four transparent, two half
    // transparent green, two green.
    std::vector<uint32_t> texels(4, 0x00000000);
    texels.insert(texels.end(), { 0x8000FF00, 0x8000FF00, 0xFF00FF00, 0xFF00FF00 });
    auto picture = MakeTexture(texels, 8, 1);
    const Canvas canvas = Frame()
                              .Draw(FullView(0), Unlit({ 1, 1, 1 }, picture))
                              .Draw(Rectangle(-20, -20, 20, 20, -5), Unlit({ 1, 0, 0 }))
                              .Finish();
    EXPECT_EQ(canvas.At(12, Centre), Red);
    EXPECT_EQ(canvas.At(52, Centre), Green);
    EXPECT_TRUE(Near(canvas.At(40, Centre), { 127, 128, 0 }, Tolerance)) << Describe(canvas.At(40, Centre));

    const Canvas alone = Frame().Draw(FullView(0), Unlit({ 1, 1, 1 }, picture)).Finish();
    EXPECT_EQ(alone.At(12, Centre), Cleared);
}

TEST(DeviceTransparency, HalfTransparentSurfaceBlendsOverWhatIsBehind)
{
    // A half transparent green square in front of a red wall, drawn before
    // it and after it: either way the wall shows through by half.
    DrawState veil = Unlit({ 0, 1, 0 });
    veil.surface.opacity = 0.5f;
    TestMesh square = Rectangle(-5, -5, 5, 5, 0), wall = Rectangle(-20, -20, 20, 20, -5);
    const Rgb blended { 128, 128, 0 };
    const Canvas veilFirst = Frame().Draw(square, veil).Draw(wall, Unlit({ 1, 0, 0 })).Finish();
    EXPECT_TRUE(Near(veilFirst.At(Centre, Centre), blended, Tolerance)) << Describe(veilFirst.At(Centre, Centre));
    EXPECT_EQ(veilFirst.At(4, 4), Red);
    const Canvas wallFirst = Frame().Draw(wall, Unlit({ 1, 0, 0 })).Draw(square, veil).Finish();
    EXPECT_TRUE(Near(wallFirst.At(Centre, Centre), blended, Tolerance)) << Describe(wallFirst.At(Centre, Centre));

    // Two veils, the nearer drawn first: each blends over what lies behind it.
    DrawState blueVeil = Unlit({ 0, 0, 1 });
    blueVeil.surface.opacity = 0.5f;
    const Canvas veils = Frame().Draw(square, veil).Draw(Rectangle(-5, -5, 5, 5, -2), blueVeil).Finish();
    EXPECT_TRUE(Near(veils.At(Centre, Centre), { 0, 128, 64 }, Tolerance)) << Describe(veils.At(Centre, Centre));

    // A textured surface is blended by its opacity times each texel's alpha.
    // Columns 20 and 44 fall between opaque texels and between half
    // transparent ones.
    DrawState picture = Unlit({ 1, 1, 1 }, MakeTexture({ 0xFF0000FF, 0xFF0000FF, 0x800000FF, 0x800000FF }, 4, 1));
    picture.surface.opacity = 0.5f;
    const Canvas textured = Frame().Draw(FullView(0), picture).Draw(wall, Unlit({ 1, 0, 0 })).Finish();
    EXPECT_TRUE(Near(textured.At(20, Centre), { 128, 0, 128 }, Tolerance)) << Describe(textured.At(20, Centre));
    EXPECT_TRUE(Near(textured.At(44, Centre), { 191, 0, 64 }, Tolerance)) << Describe(textured.At(44, Centre));

    // Opacity outside [0, 1] is clamped, and NaN is opaque.
    for (float opacity : { 1.5f, std::numeric_limits<float>::quiet_NaN() }) {
        veil.surface.opacity = opacity;
        EXPECT_EQ(Frame().Draw(wall, Unlit({ 1, 0, 0 })).Draw(square, veil).Finish().At(Centre, Centre), Green)
            << opacity;
    }
    veil.surface.opacity = -1;
    EXPECT_EQ(Frame().Draw(wall, Unlit({ 1, 0, 0 })).Draw(square, veil).Finish().At(Centre, Centre), Red);
}

TEST(DeviceTransparency, PastTheBudgetSurfacesLessThanOpaqueStillBlendOverWhatCameBefore)
{
    // With room for two triangles of each kind, one quad fills a list.
    Q3Debug_SetTrianglesHeld(2);
    DrawState veil = Unlit({ 0, 1, 0 });
    veil.surface.opacity = 0.5f;
    TestMesh left = Rectangle(-8, -4, -1, 4, 0), right = Rectangle(1, -4, 8, 4, 0);
    TestMesh wall = Rectangle(-20, -20, 20, 20, -5), nearerWall = Rectangle(-12, -12, 12, 12, -2);
    // The second veil sends the first out, and the wall before it first.
    const Canvas veilsLast = Frame().Draw(wall, Unlit({ 1, 0, 0 })).Draw(left, veil).Draw(right, veil).Finish();
    const TQ3Uns32 peak = Q3Debug_PeakTrianglesHeld();
    // The nearer wall sends the first wall out and leaves the veil for the
    // end of the frame, over both walls.
    const Canvas veilFirst
        = Frame().Draw(left, veil).Draw(wall, Unlit({ 1, 0, 0 })).Draw(nearerWall, Unlit({ 0, 0, 1 })).Finish();
    Q3Debug_SetTrianglesHeld(0);
    EXPECT_LE(peak, 2u);
    EXPECT_LE(Q3Debug_PeakTrianglesHeld(), 2u);
    for (int x : { 17, 46 })
        EXPECT_TRUE(Near(veilsLast.At(x, Centre), { 128, 128, 0 }, Tolerance))
            << x << ": " << Describe(veilsLast.At(x, Centre));
    EXPECT_TRUE(Near(veilFirst.At(17, Centre), { 0, 128, 128 }, Tolerance)) << Describe(veilFirst.At(17, Centre));
    EXPECT_EQ(veilFirst.At(46, Centre), Blue);
}

TEST(DeviceTexturing, SharedEdgeIsDrawnOnce)
{
    // Half-transparent texels blend once per drawing: a pixel on the
    // diagonal drawn by both triangles would come out brighter.
    auto veil = MakeTexture({ 0x80FFFFFF }, 1, 1);
    const Canvas canvas = Frame().Draw(Rectangle(-7.3f, -6.1f, 8.2f, 5.9f, 0), Unlit({ 1, 1, 1 }, veil)).Finish();
    Rgb veiled = canvas.At(Centre, Centre);
    for (int y = 0; y < Canvas::Size; ++y) {
        for (int x = 0; x < Canvas::Size; ++x) {
            Rgb seen = canvas.At(x, y);
            EXPECT_TRUE(seen == Cleared || seen == veiled) << x << ", " << y << ": " << Describe(seen);
        }
    }
}

TEST(DeviceDepth, NearerSurfaceWinsInEitherOrder)
{
    TestMesh nearSquare = Rectangle(-5, -5, 5, 5, 0), farSquare = Rectangle(-12, -12, 12, 12, -5);
    const Canvas nearFirst = Frame().Draw(nearSquare, Unlit({ 1, 0, 0 })).Draw(farSquare, Unlit({ 0, 1, 0 })).Finish();
    EXPECT_EQ(nearFirst.At(Centre, Centre), Red);
    EXPECT_EQ(nearFirst.At(Centre, 10), Green);
    const Canvas farFirst = Frame().Draw(farSquare, Unlit({ 0, 1, 0 })).Draw(nearSquare, Unlit({ 1, 0, 0 })).Finish();
    EXPECT_EQ(farFirst.At(Centre, Centre), Red);
    EXPECT_EQ(farFirst.At(Centre, 10), Green);
}

TEST(DeviceDepth, AtEqualDepthTheFirstDrawnWins)
{
    // A first mesh covering the pane, as a backdrop does, with two coplanar
    // quads, red then blue; then a green square in the same plane.
    TestMesh backdrop = FullView();
    TestMesh second = FullView();
    backdrop.points.insert(backdrop.points.end(), second.points.begin(), second.points.end());
    backdrop.colors.assign(4, { 1, 0, 0 });
    backdrop.colors.resize(8, { 0, 0, 1 });
    backdrop.uvs.clear();
    backdrop.triangles.insert(backdrop.triangles.end(), { { 4, 5, 6 }, { 4, 6, 7 } });
    TestMesh square = Rectangle(-5, -5, 5, 5, 0);
    const Canvas canvas = Frame().Draw(backdrop, Unlit()).Draw(square, Unlit({ 0, 1, 0 })).Finish();
    EXPECT_EQ(canvas.At(Centre, Centre), Red);
    EXPECT_EQ(canvas.At(2, 2), Red);
    // Drawn after the square, the square wins.
    const Canvas later = Frame().Draw(square, Unlit({ 0, 1, 0 })).Draw(backdrop, Unlit()).Finish();
    EXPECT_EQ(later.At(Centre, Centre), Green);
    EXPECT_EQ(later.At(2, 2), Red);
}

TEST(DeviceClipping, TriangleCrossingNearPlaneIsClipped)
{
    // One corner behind the eye, two in front: the visible part is drawn,
    // and only in the triangle's color.
    TestMesh mesh;
    mesh.points = { { 0, 0, 20 }, { -5, -3, 0 }, { 5, -3, 0 } };
    mesh.triangles = { { 0, 2, 1 } };
    const Canvas canvas = Frame().Draw(mesh, Unlit({ 0, 0, 1 })).Finish();
    int drawn = Canvas::Size * Canvas::Size - canvas.CountOtherThan(Blue);
    EXPECT_GT(drawn, 0);
    EXPECT_EQ(drawn + (Canvas::Size * Canvas::Size - canvas.CountOtherThan(Cleared)), Canvas::Size * Canvas::Size);
    EXPECT_TRUE(canvas.GuardsIntact());
}

TEST(DeviceFacing, BackFacesAreRemovedFlippedOrKept)
{
    std::vector<Light> lights { Ambient(0.2f), Headlamp(0.6f) };
    TestMesh back = Reversed(FullView());
    const int litFront = Channel(0.8f), ambientOnly = Channel(0.2f);

    DrawState state = Lit();
    const Canvas front = Frame(lights).Draw(FullView(), state).Finish();
    EXPECT_TRUE(Near(front.At(Centre, Centre), { litFront, litFront, litFront }, Tolerance));

    state.backfacing = Backfacing::Remove;
    EXPECT_EQ(Frame(lights).Draw(back, state).Finish().CountOtherThan(Cleared), 0);

    // Flipped, the back face is lit as if it faced the light.
    state.backfacing = Backfacing::Flip;
    const Canvas flipped = Frame(lights).Draw(back, state).Finish();
    EXPECT_TRUE(Near(flipped.At(Centre, Centre), { litFront, litFront, litFront }, Tolerance))
        << Describe(flipped.At(Centre, Centre));

    // Kept as it is, its normal points away from the light.
    state.backfacing = Backfacing::Both;
    const Canvas both = Frame(lights).Draw(back, state).Finish();
    EXPECT_TRUE(Near(both.At(Centre, Centre), { ambientOnly, ambientOnly, ambientOnly }, Tolerance))
        << Describe(both.At(Centre, Centre));
}

TEST(DeviceLighting, LitAgainstNullShaded)
{
    std::vector<Light> lights { Ambient(0.2f), Headlamp(0.5f) };
    TQ3ColorRGB diffuse { 1, 0.5f, 0.25f };
    Rgb lit = Frame(lights).Draw(FullView(), Lit(diffuse)).Finish().At(Centre, Centre);
    EXPECT_TRUE(Near(lit, { Channel(0.7f), Channel(0.35f), Channel(0.175f) }, Tolerance)) << Describe(lit);
    Rgb unlit = Frame(lights).Draw(FullView(), Unlit(diffuse)).Finish().At(Centre, Centre);
    EXPECT_TRUE(Near(unlit, { 255, Channel(0.5f), Channel(0.25f) }, Tolerance)) << Describe(unlit);
}

TEST(DeviceLighting, BrightnessMayExceedOneAndTheColorClamps)
{
    Rgb bright = Frame({ Ambient(1.5f) }).Draw(FullView(), Lit({ 0.5f, 0.5f, 0.5f })).Finish().At(Centre, Centre);
    EXPECT_TRUE(Near(bright, { Channel(0.75f), Channel(0.75f), Channel(0.75f) }, Tolerance)) << Describe(bright);
    Rgb clamped = Frame({ Ambient(3) }).Draw(FullView(), Lit({ 0.5f, 0.1f, 0 })).Finish().At(Centre, Centre);
    EXPECT_TRUE(Near(clamped, { 255, Channel(0.3f), 0 }, Tolerance)) << Describe(clamped);
}

TEST(DeviceLighting, PointLightAttenuation)
{
    // The light sits 10 units in front of a small square: lighting is per
    // vertex, so its corners must see the light as its centre does.
    struct Row {
        const char* name;
        TQ3AttenuationType attenuation;
        float factor;
    };
    for (Row row : { Row { "none", kQ3AttenuationTypeNone, 1.0f },
             Row { "inverse distance", kQ3AttenuationTypeInverseDistance, 0.1f },
             Row { "inverse distance squared", kQ3AttenuationTypeInverseDistanceSquared, 0.01f } }) {
        Light light;
        light.kind = Light::Kind::Point;
        light.location = { 0, 0, 10 };
        light.brightness = 2;
        light.attenuation = row.attenuation;
        TestMesh square = Rectangle(-0.5f, -0.5f, 0.5f, 0.5f, 0);
        Rgb seen = Frame({ light }).Draw(square, Lit({ 0.5f, 0.5f, 0.5f })).Finish().At(Centre, Centre);
        int expected = Channel(row.factor);
        EXPECT_TRUE(Near(seen, { expected, expected, expected }, Tolerance)) << row.name << ": " << Describe(seen);
    }
}

TEST(DeviceLighting, NormalsFollowNonUniformScales)
{
    // A slope whose local normal leans 45 degrees; stretched twice along x
    // it leans less, and faces the light more. A normal transformed like a
    // point would lean more instead.
    TestMesh slope;
    slope.points = { { -4, 4, 4 }, { -4, -4, 4 }, { 4, -4, -4 }, { 4, 4, -4 } };
    slope.triangles = { { 0, 1, 2 }, { 0, 2, 3 } };
    DrawState state = Lit();
    state.localToWorld.value[0][0] = 2;
    const int expected = Channel(1 / std::sqrt(1.25f));
    const TQ3Vector3D leaning { 0.70710678f, 0, 0.70710678f };
    for (const char* normals : { "vertex normals", "triangle normals", "face normals" }) {
        TestMesh mesh = slope;
        if (normals == std::string_view("vertex normals"))
            mesh.normals.assign(4, leaning);
        else if (normals == std::string_view("triangle normals"))
            mesh.triangleNormals.assign(2, leaning);
        Rgb seen = Frame({ Headlamp(1) }).Draw(mesh, state).Finish().At(Centre, Centre);
        EXPECT_TRUE(Near(seen, { expected, expected, expected }, Tolerance)) << normals << ": " << Describe(seen);
    }
}

TEST(DeviceLighting, VertexColorsOverrideTheDiffuseColor)
{
    TestMesh mesh;
    mesh.points = { { -10, 10, 0 }, { -10, -10, 0 }, { 10, -10, 0 } };
    mesh.colors = { { 1, 0, 0 }, { 0, 1, 0 }, { 0, 0, 1 } };
    mesh.triangles = { { 0, 1, 2 } };
    const Canvas canvas = Frame().Draw(mesh, Unlit({ 1, 1, 1 })).Finish();
    Rgb top = canvas.At(1, 4), bottomLeft = canvas.At(1, 62), bottomRight = canvas.At(59, 62);
    EXPECT_GT(top.r, 230) << Describe(top);
    EXPECT_GT(bottomLeft.g, 230) << Describe(bottomLeft);
    EXPECT_GT(bottomRight.b, 230) << Describe(bottomRight);
    // Near the middle of the bottom edge: a little red, about as much green
    // as blue, by the pixel centre's distances from the corners.
    Rgb middle = canvas.At(Centre, 62);
    EXPECT_TRUE(Near(middle, { 6, 120, 130 }, Tolerance)) << Describe(middle);
}

TEST(DeviceLighting, SharedPointsAreLitForEachFacingAndEachMesh)
{
    // Vertex normals towards the eye: lit on a front face; a flipped back
    // face sharing two of its points turns them away from the light.
    std::vector<Light> lights { Ambient(0.2f), Headlamp(0.6f) };
    const int litFront = Channel(0.8f), ambientOnly = Channel(0.2f);
    TestMesh mixed = FullView();
    mixed.normals.assign(4, { 0, 0, 1 });
    mixed.triangles = { { 0, 1, 2 }, { 0, 3, 2 } };
    DrawState state = Lit();
    state.backfacing = Backfacing::Flip;
    const Canvas flipped = Frame(lights).Draw(mixed, state).Finish();
    EXPECT_TRUE(Near(flipped.At(8, 56), { litFront, litFront, litFront }, Tolerance)) << Describe(flipped.At(8, 56));
    EXPECT_TRUE(Near(flipped.At(56, 8), { ambientOnly, ambientOnly, ambientOnly }, Tolerance))
        << Describe(flipped.At(56, 8));

    // A second mesh with as many points but normals away from the light
    // is lit on its own, not with the first mesh's colors.
    TestMesh facing = FullView();
    facing.normals.assign(4, { 0, 0, 1 });
    TestMesh away = Rectangle(-5, -5, 5, 5, 1);
    away.normals.assign(4, { 0, 0, -1 });
    const Canvas both = Frame(lights).Draw(facing, Lit()).Draw(away, Lit()).Finish();
    EXPECT_TRUE(Near(both.At(2, 2), { litFront, litFront, litFront }, Tolerance)) << Describe(both.At(2, 2));
    EXPECT_TRUE(Near(both.At(Centre, Centre), { ambientOnly, ambientOnly, ambientOnly }, Tolerance))
        << Describe(both.At(Centre, Centre));
}

TEST(DeviceFog, LinearBetweenStartAndEnd)
{
    // The eye is 10 units from the plane z = 0; fog from 5 to 15 towards blue.
    Fog fog { true, 5, 15, { 0, 0, 1 } };
    auto seen = [&](float z) {
        return Frame({}, fog).Draw(FullView(z), Unlit({ 1, 1, 1 })).Finish().At(Centre, Centre);
    };
    EXPECT_EQ(seen(6), (Rgb { 255, 255, 255 })) << "before the start";
    EXPECT_TRUE(Near(seen(0), { 128, 128, 255 }, Tolerance)) << "halfway: " << Describe(seen(0));
    EXPECT_EQ(seen(-6), Blue) << "past the end";

    // A plane slanting from z = 5 at x = -10 to z = -5 at x = 10 recedes
    // along every row: up to the middle of the view, where it lies 10 away,
    // the fog thickens from each pixel to the next, not from run to run.
    TestMesh slanted = FullView();
    slanted.points = { { -10, 10, 5 }, { -10, -10, 5 }, { 10, -10, -5 }, { 10, 10, -5 } };
    const Canvas ramp = Frame({}, { true, 7, 10, { 0, 0, 1 } }).Draw(slanted, Unlit({ 1, 1, 1 })).Finish();
    for (int x = 6; x < Centre; ++x)
        EXPECT_LT(ramp.At(x, Centre).r, ramp.At(x - 1, Centre).r) << "at column " << x;

    Fog backwards { true, 15, 5, { 0, 0, 1 } };
    Rgb clear = Frame({}, backwards).Draw(FullView(-6), Unlit({ 1, 1, 1 })).Finish().At(Centre, Centre);
    EXPECT_EQ(clear, (Rgb { 255, 255, 255 })) << "an end before the start means no fog";
}

TEST(DeviceFog, TransparentTrianglesKeepTheFogOfTheirMesh)
{
    // Drawn at the end of the frame, after the fog has turned from blue to
    // red, a picture fogged halfway still takes half of blue.
    auto picture = MakeTexture({ 0x80FFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF }, 4, 1);
    Frame frame({}, { true, 5, 15, { 0, 0, 1 } });
    frame.Draw(FullView(0), Unlit({ 1, 1, 1 }, picture));
    frame.GetDevice().SetFog({ true, 5, 15, { 1, 0, 0 } });
    Rgb seen = frame.Finish().At(40, Centre);
    EXPECT_TRUE(Near(seen, { 128, 128, 255 }, Tolerance)) << Describe(seen);
}

TEST(DeviceWireframe, DrawsEdgesOnly)
{
    TestMesh square = Rectangle(-5.3f, -5.3f, 5.3f, 5.3f, 0);
    auto check = [&](const Canvas& canvas, const char* how) {
        // Edges through columns and rows 15 and 48, the diagonal in between.
        EXPECT_EQ(canvas.At(15, 30), Red) << how;
        EXPECT_EQ(canvas.At(48, 30), Red) << how;
        EXPECT_EQ(canvas.At(30, 15), Red) << how;
        EXPECT_EQ(canvas.At(30, 48), Red) << how;
        EXPECT_EQ(canvas.At(Centre, Centre), Red) << how << ": the shared diagonal";
        EXPECT_EQ(canvas.At(22, 40), Cleared) << how << ": inside";
        EXPECT_EQ(canvas.At(40, 22), Cleared) << how << ": inside";
        EXPECT_EQ(canvas.At(8, 8), Cleared) << how << ": outside";
    };
    Frame wireframe;
    wireframe.GetDevice().SetWireframe(true);
    check(wireframe.Draw(square, Lit({ 1, 0, 0 })).Finish(), "wireframe renderer");
    DrawState edges = Unlit({ 1, 0, 0 });
    edges.fill = Fill::Edges;
    check(Frame().Draw(square, edges).Finish(), "edge fill");
}

TEST(DeviceDegenerateInput, DrawsNothingAndStaysInTheTarget)
{
    float nan = std::numeric_limits<float>::quiet_NaN();
    TestMesh zeroArea;
    zeroArea.points = { { 1, 1, 0 }, { 1, 1, 0 }, { 1, 1, 0 }, { -5, -5, 0 }, { 0, 0, 0 }, { 5, 5, 0 } };
    zeroArea.triangles = { { 0, 1, 2 }, { 3, 4, 5 } };
    TestMesh notANumber = FullView();
    notANumber.points[2].x = nan;
    notANumber.points[0].y = nan;
    TestMesh pastTheEnd = FullView();
    pastTheEnd.triangles = { { 0, 1, 4 }, { 0, 2, 0xFFFFFFFF } };
    TestMesh huge = FullView();
    huge.points[1] = { -1e30f, -1e30f, 1e30f };
    huge.points[3] = { 1e38f, 3e38f, -1e38f };
    struct Row {
        const char* name;
        TestMesh mesh;
        bool drawsNothing;
    };
    // Huge but finite corners may leave a visible part; it must stay on the canvas.
    for (const Row& row : { Row { "zero area", zeroArea, true }, Row { "NaN coordinates", notANumber, true },
             Row { "indices past the points", pastTheEnd, true }, Row { "huge coordinates", huge, false } }) {
        const Canvas canvas = Frame().Draw(row.mesh, Lit()).Finish();
        if (row.drawsNothing) {
            EXPECT_EQ(canvas.CountOtherThan(Cleared), 0) << row.name;
        }
        EXPECT_TRUE(canvas.GuardsIntact()) << row.name;
    }
    TestMesh empty;
    EXPECT_EQ(Frame().Draw(empty, Lit()).Finish().CountOtherThan(Cleared), 0) << "no points";
}

TEST(DeviceDegenerateInput, UnusableTargetsAndPanesDrawNothing)
{
    struct Row {
        const char* name;
        Pane pane;
        int width;
        int height;
        bool shrinkRows;
    };
    const Row rows[] = {
        { "pane outside the target", { 100, 100, 164, 164 }, 64, 64, false },
        { "pane left of the target", { -80, 0, -16, 64 }, 64, 64, false },
        { "empty pane", { 10, 10, 10, 40 }, 64, 64, false },
        { "inverted pane", { 40, 40, 10, 10 }, 64, 64, false },
        { "zero-size target", { 0, 0, 64, 64 }, 0, 0, false },
        { "rows shorter than the width", { 0, 0, 64, 64 }, 64, 64, true },
    };
    for (const Row& row : rows) {
        Canvas canvas(std::max(row.width, 1), std::max(row.height, 1));
        Target target = canvas.GetTarget();
        target.width = row.width;
        target.height = row.height;
        if (row.shrinkRows)
            target.rowBytes = 8;
        Device device;
        device.Begin(target, row.pane, { 1, 1, 1 });
        device.SetCamera(TestCamera(), TestEye);
        device.DrawMesh(FullView().View(), Unlit());
        device.End();
        EXPECT_TRUE(canvas.GuardsIntact()) << row.name;
        EXPECT_EQ(canvas.At(0, 0), (Rgb { Canvas::Guard, Canvas::Guard, Canvas::Guard })) << row.name;
    }
}

TEST(DeviceDegenerateInput, PaneLargerThanTheTargetIsCutToIt)
{
    // The pane maps the whole view over 128 × 128 pixels, of which the
    // target holds the top-left quarter.
    Canvas canvas;
    Device device;
    device.Begin(canvas.GetTarget(), { -32, -32, 96, 96 }, { 0, 0, 0 });
    device.SetCamera(TestCamera(), TestEye);
    device.DrawMesh(Rectangle(-10, -10, 10, 10, 0).View(), Unlit({ 0, 1, 0 }));
    device.DrawMesh(Rectangle(-1, -1, 1, 1, 1).View(), Unlit({ 1, 0, 0 }));
    device.End();
    EXPECT_TRUE(canvas.GuardsIntact());
    EXPECT_EQ(canvas.At(0, 0), Green);
    EXPECT_EQ(canvas.At(63, 63), Green);
    EXPECT_EQ(canvas.At(32, 32), Red) << "the view's centre is the pane's, not the target's";
}
