#include "FrameObserver.h"
#include "MetafileSamples.h"
#include "SceneFixtures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <vector>

namespace {

struct Rgb {
    int r { 0 }, g { 0 }, b { 0 };
};

void ExpectColor(Rgb actual, Rgb expected, int tolerance = 6)
{
    EXPECT_NEAR(actual.r, expected.r, tolerance);
    EXPECT_NEAR(actual.g, expected.g, tolerance);
    EXPECT_NEAR(actual.b, expected.b, tolerance);
}

// Frames through a pixmap draw context of 64 x 64 pixels. The camera sees
// the square from (-10, -10) to (10, 10) of the plane z = 0.
class Rendering : public testing::Test {
protected:
    static constexpr int Size = 64;

    void SetUp() override
    {
        mStart = Q3Object_LiveCount();
        camera = fixtures::Camera();
        view = fixtures::View(pixels.data(), Size, Size, camera);
        lights = Q3LightGroup_New();
        Q3View_SetLightGroup(view, lights);
    }
    void TearDown() override
    {
        Q3Object_Dispose(lights);
        Q3Object_Dispose(view);
        Q3Object_Dispose(camera);
        Q3Error_Get(nullptr);
        EXPECT_EQ(Q3Object_LiveCount(), mStart);
    }

    void Frame(const std::function<void()>& submit)
    {
        ASSERT_EQ(Q3View_StartRendering(view), kQ3Success);
        do
            submit();
        while (Q3View_EndRendering(view) == kQ3ViewStatusRetraverse);
    }

    Rgb At(int x, int y) const
    {
        const auto* p = reinterpret_cast<const uint8_t*>(&pixels[y * Size + x]);
        return { p[1], p[2], p[3] };
    }

    // The pixel where a point of the plane z = 0 lands.
    static int Pixel(float coordinate) { return static_cast<int>((coordinate + 10) * Size / 20); }
    Rgb AtWorld(float x, float y) const { return At(Pixel(x), Size - 1 - Pixel(y)); }

    void AddLight(TQ3LightObject light)
    {
        Q3Group_AddObject(lights, light);
        Q3Object_Dispose(light);
    }

    // A quad of one color, unlit unless `lit`, as transparent as `transparency` asks.
    void SubmitQuad(fixtures::Quad& quad, TQ3ColorRGB color, bool lit = false, TQ3ColorRGB transparency = { 1, 1, 1 })
    {
        TQ3AttributeSet set = Q3AttributeSet_New();
        Q3AttributeSet_Add(set, kQ3AttributeTypeDiffuseColor, &color);
        Q3AttributeSet_Add(set, kQ3AttributeTypeTransparencyColor, &transparency);
        quad.data.triMeshAttributeSet = set;
        Q3Push_Submit(view);
        if (!lit) {
            TQ3ShaderObject null = Q3NULLIllumination_New();
            Q3Shader_Submit(null, view);
            Q3Object_Dispose(null);
        }
        Q3TriMesh_Submit(&quad.data, view);
        Q3Pop_Submit(view);
        quad.data.triMeshAttributeSet = nullptr;
        Q3Object_Dispose(set);
    }

    std::vector<uint32_t> pixels = std::vector<uint32_t>(Size * Size);
    TQ3CameraObject camera { nullptr };
    TQ3ViewObject view { nullptr };
    TQ3GroupObject lights { nullptr };

private:
    TQ3Uns32 mStart { 0 };
};

// How many pixels the last frame shaded, as the rendering loop reports it.
class ShadedPixelCounter final : public q3::FrameObserver {
public:
    ShadedPixelCounter() { q3::ObserveFrames(this); }
    ~ShadedPixelCounter() override { q3::ObserveFrames(nullptr); }

    void Begin(const q3::render::Pane&, TQ3ColorRGB, const TQ3Matrix4x4&, TQ3Point3D,
        std::span<const q3::render::Light>, bool) override
    {
    }
    void Mesh(const q3::render::Mesh&, const q3::render::DrawState&, const q3::render::Fog&) override { }
    void End(uint64_t shadedPixels) override { shaded = shadedPixels; }

    uint64_t shaded { 0 };
};

const Rgb Black { 0, 0, 0 }, Red { 255, 0, 0 }, Green { 0, 255, 0 }, Blue { 0, 0, 255 }, White { 255, 255, 255 };

// A 2 x 2 texture, top row red and green, bottom row blue and white.
TQ3ShaderObject FourColorTexture()
{
    const unsigned char texels[16] = { 0xFF, 0xFF, 0, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF };
    TQ3StorageObject storage = Q3MemoryStorage_New(texels, sizeof texels);
    TQ3StoragePixmap pixmap { storage, 2, 2, 8, 32, kQ3PixelTypeARGB32, kQ3EndianBig, kQ3EndianBig };
    TQ3TextureObject texture = Q3PixmapTexture_New(&pixmap);
    TQ3ShaderObject shader = Q3TextureShader_New(texture);
    Q3Object_Dispose(texture);
    Q3Object_Dispose(storage);
    return shader;
}

// The first object of a model file; null if there is none.
TQ3Object ReadFirstObject(const samples::Bytes& bytes)
{
    TQ3StorageObject storage = Q3MemoryStorage_New(bytes.data(), static_cast<TQ3Uns32>(bytes.size()));
    TQ3FileObject file = Q3File_New();
    Q3File_SetStorage(file, storage);
    TQ3Object object = Q3File_OpenRead(file, nullptr) == kQ3Success ? Q3File_ReadObject(file) : nullptr;
    Q3File_Close(file);
    Q3Object_Dispose(file);
    Q3Object_Dispose(storage);
    return object;
}

}

TEST_F(Rendering, FrameClearsToTheClearColor)
{
    Frame([] {});
    ExpectColor(At(0, 0), Black, 0);
    TQ3DrawContextObject context = nullptr;
    Q3View_GetDrawContext(view, &context);
    const TQ3ColorARGB sky { 0, 0, 0, 1 };
    Q3DrawContext_SetClearImageColor(context, &sky);
    Q3Object_Dispose(context);
    Frame([] {});
    ExpectColor(At(63, 63), Blue, 0);
}

TEST_F(Rendering, TexturedQuadWrapsInUAndV)
{
    // UVs run from -0.5 to 1.5 over the quad: the texture shows twice
    // across, wrapping below 0 and past 1; v = 1 is its top row.
    fixtures::Quad quad(8, 0, -0.5f, 1.5f);
    TQ3ShaderObject shader = FourColorTexture();
    TQ3AttributeSet set = Q3AttributeSet_New();
    Q3AttributeSet_Add(set, kQ3AttributeTypeSurfaceShader, &shader);
    Q3Object_Dispose(shader);
    quad.data.triMeshAttributeSet = set;
    Frame([&] {
        TQ3ShaderObject null = Q3NULLIllumination_New();
        Q3Shader_Submit(null, view);
        Q3Object_Dispose(null);
        Q3TriMesh_Submit(&quad.data, view);
    });
    Q3Object_Dispose(set);
    // Texel centres: u = 0.25 (left column) at x = -2 and, wrapped past 1,
    // 1.25 at x = 6; u = 0.75 (right column) at x = 2 and, wrapped below 0,
    // -0.25 at x = -6. Along y the same for v, whose 0.75 is the top row.
    ExpectColor(AtWorld(-2, 2), Red, 12);
    ExpectColor(AtWorld(2, 2), Green, 12);
    ExpectColor(AtWorld(-2, -2), Blue, 12);
    ExpectColor(AtWorld(2, -2), White, 12);
    ExpectColor(AtWorld(6, 2), Red, 12);
    ExpectColor(AtWorld(-6, 2), Green, 12);
    ExpectColor(AtWorld(-2, 6), Blue, 12);
    ExpectColor(AtWorld(-2, -6), Red, 12);
    ExpectColor(AtWorld(9, 9), Black, 0);
}

TEST_F(Rendering, ModelFileShaderDataClampsTheTexture)
{
    // A mesh over the whole view, UVs from -1 to 2, textured red and green
    // on the top row, blue and white below, read from a model file whose
    // shader data asks for each boundary in turn. Pixel 15 lies a quarter
    // texture past the left or top edge, pixel 48 past the right or bottom.
    auto binary = [](const samples::Bytes& shaderData) {
        samples::Builder mesh;
        mesh.Object("tmsh", samples::TriMesh(10))
            .Object("atar", samples::UVArray(-1, 2))
            .Object("cntr", samples::AttributeSet(shaderData));
        return samples::Builder().Raw(samples::Header()).Object("cntr", mesh.bytes).bytes;
    };
    const std::string text = R"(3DMetafile ( 1 6 Normal )
Container (
  TriMesh ( 2 0 0 0 4 0  0 1 2  0 2 3  -10 -10 0  10 -10 0  10 10 0  -10 10 0  -10 -10 0  10 10 0  False )
  AttributeArray ( 1 0 2 0 0  -1 -1  2 -1  2 2  -1 2 )
  Container ( AttributeSet ( ) Container ( TextureShader ( ) ShaderData ( Clamp Clamp )
    PixmapTexture ( 2 2 4 16 RGB16 BigEndian BigEndian 0x7C0003E0 0x001F7FFF ) ) )
))";
    struct Row {
        const char* name;
        samples::Bytes bytes;
        Rgb topLeft, bottomRight;
    };
    for (const Row& row : { Row { "no shader data", binary({}), White, Red },
             Row { "clamp, clamp", binary(samples::ShaderData(1, 1)), Red, White },
             Row { "wrap, clamp", binary(samples::ShaderData(0, 1)), Green, Blue },
             Row { "clamp, wrap", binary(samples::ShaderData(1, 0)), Blue, Green },
             Row { "text, clamp, clamp", samples::FromText(text), Red, White } }) {
        TQ3Object object = ReadFirstObject(row.bytes);
        ASSERT_NE(object, nullptr);
        Frame([&] {
            TQ3ShaderObject null = Q3NULLIllumination_New();
            Q3Shader_Submit(null, view);
            Q3Object_Dispose(null);
            Q3Object_Submit(object, view);
        });
        Q3Object_Dispose(object);
        SCOPED_TRACE(row.name);
        ExpectColor(At(15, 15), row.topLeft, 40);
        ExpectColor(At(48, 48), row.bottomRight, 40);
    }
}

TEST_F(Rendering, NearerSurfaceHidesFartherWhateverTheOrder)
{
    fixtures::Quad nearQuad(4, 2), farQuad(8, 0);
    Frame([&] {
        SubmitQuad(nearQuad, { 0, 1, 0 });
        SubmitQuad(farQuad, { 1, 0, 0 });
    });
    ExpectColor(AtWorld(0, 0), Green);
    ExpectColor(AtWorld(-6, 0), Red);
}

TEST_F(Rendering, SurfaceHiddenBehindANearerOneIsNotShaded)
{
    // A backdrop past every side of the view comes first, as the game's
    // does, and a nearer quad hides its middle. Opaque surfaces drawn
    // nearest first shade each pixel once; drawn as they came, or farthest
    // first, the hidden part of the backdrop would be shaded too.
    fixtures::Quad backdrop(12, 0), nearQuad(4, 2);
    ShadedPixelCounter counter;
    Frame([&] {
        SubmitQuad(backdrop, { 1, 0, 0 });
        SubmitQuad(nearQuad, { 0, 1, 0 });
    });
    ExpectColor(AtWorld(0, 0), Green);
    ExpectColor(AtWorld(-8, 8), Red);
    EXPECT_EQ(counter.shaded, uint64_t(Size * Size));
}

TEST_F(Rendering, FramePastItsTriangleBudgetDrawsWhatItHoldsAndGoesOn)
{
    // A script's deep scene: ten levels of groups, each referring twice to
    // the one below, over one white quad, 2,048 triangles in one place.
    // Around and over it, quads at depths out of order, and a yellow one
    // at the blue one's depth, which the blue one, submitted first, hides.
    fixtures::Quad shared(4, 2.5f);
    TQ3Object scene = fixtures::DoubledLevels(Q3TriMesh_New(&shared.data), 10);
    fixtures::Quad red(9, 0), hidden(7, -1), blue(6, 2), yellow(5, 2), cyan(2, 3);
    const auto picture = [&] {
        Frame([&] {
            SubmitQuad(red, { 1, 0, 0 });
            SubmitQuad(hidden, { 0, 1, 0 });
            SubmitQuad(blue, { 0, 0, 1 });
            TQ3ShaderObject null = Q3NULLIllumination_New();
            Q3Shader_Submit(null, view);
            Q3Object_Dispose(null);
            Q3DisplayGroup_Submit(scene, view);
            SubmitQuad(yellow, { 1, 1, 0 });
            SubmitQuad(cyan, { 0, 1, 1 });
        });
        return pixels;
    };
    const std::vector<uint32_t> held = picture();
    EXPECT_GT(Q3Debug_PeakTrianglesHeld(), 2048u);
    constexpr TQ3Uns32 Budget = 5;
    Q3Debug_SetTrianglesHeld(Budget);
    const std::vector<uint32_t> flushed = picture();
    Q3Debug_SetTrianglesHeld(0);
    EXPECT_LE(Q3Debug_PeakTrianglesHeld(), Budget);
    EXPECT_TRUE(flushed == held) << "opaque triangles draw the same picture whenever they are drawn";
    ExpectColor(AtWorld(0, 0), { 0, 255, 255 }, 0);
    ExpectColor(AtWorld(3, 0), White, 0);
    ExpectColor(AtWorld(6, 0), Blue, 0);
    ExpectColor(AtWorld(8.5f, 0), Red, 0);
    Q3Object_Dispose(scene);
}

TEST_F(Rendering, TransparencyColorLetsWhatIsBehindShowThrough)
{
    // Half transparent green in front of red, submitted first: the red
    // shows through by half. A transparency of 1 is opaque.
    fixtures::Quad nearQuad(4, 2), farQuad(8, 0);
    Frame([&] {
        SubmitQuad(nearQuad, { 0, 1, 0 }, false, { 0.5f, 0.5f, 0.5f });
        SubmitQuad(farQuad, { 1, 0, 0 });
    });
    ExpectColor(AtWorld(0, 0), { 128, 128, 0 });
    ExpectColor(AtWorld(-6, 0), Red);
    Frame([&] {
        SubmitQuad(nearQuad, { 0, 1, 0 }, false, { 1, 1, 1 });
        SubmitQuad(farQuad, { 1, 0, 0 });
    });
    ExpectColor(AtWorld(0, 0), Green);
}

TEST_F(Rendering, BackFacesAreRemovedOrFlipped)
{
    fixtures::Quad quad(8);
    const TQ3Vector3D axis { 0, 1, 0 };
    TQ3Quaternion turn;
    Q3Quaternion_SetRotateAboutAxis(&turn, &axis, 2 * fixtures::QuarterTurn);
    const auto frame = [&](TQ3BackfacingStyle style) {
        Frame([&] {
            Q3BackfacingStyle_Submit(style, view);
            Q3QuaternionTransform_Submit(&turn, view);
            SubmitQuad(quad, { 1, 1, 1 });
        });
    };
    frame(kQ3BackfacingStyleRemove);
    ExpectColor(AtWorld(0, 0), Black, 0);
    frame(kQ3BackfacingStyleFlip);
    ExpectColor(AtWorld(0, 0), White);
    frame(kQ3BackfacingStyleBoth);
    ExpectColor(AtWorld(0, 0), White);
}

TEST_F(Rendering, LitSurfacesTakeTheLightsAndNullShadedOnesDoNot)
{
    const TQ3LightData ambient { kQ3True, 0.25f, { 1, 1, 1 } };
    AddLight(Q3AmbientLight_New(&ambient));
    TQ3DirectionalLightData directional { { kQ3True, 0.5f, { 1, 1, 1 } }, kQ3False, { 0, 0, -1 } };
    AddLight(Q3DirectionalLight_New(&directional));
    const TQ3LightData off { kQ3False, 1, { 1, 1, 1 } };
    AddLight(Q3AmbientLight_New(&off));
    fixtures::Quad left(4), right(4);
    Frame([&] {
        const TQ3Vector3D toLeft { -5, 0, 0 }, toRight { 10, 0, 0 };
        Q3TranslateTransform_Submit(&toLeft, view);
        SubmitQuad(left, { 1, 1, 1 }, true);
        Q3TranslateTransform_Submit(&toRight, view);
        SubmitQuad(right, { 1, 1, 1 }, false);
    });
    const int lit = static_cast<int>(0.75f * 255);
    ExpectColor(AtWorld(-5, 0), { lit, lit, lit }, 8);
    ExpectColor(AtWorld(5, 0), White);
}

TEST_F(Rendering, SolidCapsFaceOutOfTheSolid)
{
    // From the eye, along the light: the base of a cone and of a cylinder
    // whose axes point away, the top of a cylinder whose axis points near,
    // and the near face of a box. Only a face whose normal leaves the solid
    // takes the light, and with back faces removed it must be wound so too.
    const TQ3DirectionalLightData light { { kQ3True, 1, { 1, 1, 1 } }, kQ3False, { 0, 0, -1 } };
    AddLight(Q3DirectionalLight_New(&light));
    TQ3Object solids = ReadFirstObject(samples::FromText(R"(3DMetafile ( 1 6 Normal )
BeginGroup ( DisplayGroup ( ) )
  Cone ( 0 0 -2  0 2 0  2 0 0  -6 0 0 )
  Cylinder ( 0 0 -2  0 2 0  2 0 0  0 0 0 )
  Cylinder ( 0 0 2  2 0 0  0 2 0  6 0 -2 )
  Box ( 0 0 2  2 0 0  0 2 0  -1 3 -2 )
EndGroup ( )
)"));
    ASSERT_NE(solids, nullptr);
    Frame([&] {
        Q3BackfacingStyle_Submit(kQ3BackfacingStyleRemove, view);
        Q3Object_Submit(solids, view);
    });
    Q3Object_Dispose(solids);
    ExpectColor(AtWorld(-6, 0), White);
    ExpectColor(AtWorld(0, 0), White);
    ExpectColor(AtWorld(6, 0), White);
    // The box's face whole, on both sides of its diagonal.
    ExpectColor(AtWorld(0.7f, 3.3f), White);
    ExpectColor(AtWorld(-0.7f, 4.7f), White);
}

TEST_F(Rendering, LinearFogRunsFromStartToEnd)
{
    // The quad is 10 from the eye; the fog is blue.
    fixtures::Quad quad(8);
    const auto fogged = [&](float start, float end) {
        Frame([&] {
            const TQ3FogStyleData fog { kQ3On, kQ3FogModeLinear, start, end, 1, { 0, 0, 0, 1 } };
            Q3FogStyle_Submit(&fog, view);
            SubmitQuad(quad, { 1, 0, 0 });
        });
        return AtWorld(0, 0);
    };
    ExpectColor(fogged(10, 30), Red);
    ExpectColor(fogged(0, 10), Blue);
    ExpectColor(fogged(0, 20), { 128, 0, 128 }, 10);
    // Fog turned off leaves the scene clear, whatever the last frame had
    // and whatever the numbers that come with it.
    Frame([&] {
        const TQ3FogStyleData off { kQ3Off, kQ3FogModeLinear, 0, 1, 1, { 0, 0, 0, 0 } };
        Q3FogStyle_Submit(&off, view);
        SubmitQuad(quad, { 1, 0, 0 });
    });
    ExpectColor(AtWorld(0, 0), Red, 0);
    // A fog that ends where it starts has no depth to thicken over: the
    // scene stays clear, even beyond that distance.
    ExpectColor(fogged(5, 5), Red, 0);
}

TEST_F(Rendering, WireframeDrawsEdgesOnly)
{
    TQ3RendererObject wireframe = Q3Renderer_NewFromType(kQ3RendererTypeWireFrame);
    Q3View_SetRenderer(view, wireframe);
    Q3Object_Dispose(wireframe);
    fixtures::Quad quad(8);
    Frame([&] { SubmitQuad(quad, { 1, 1, 1 }); });
    ExpectColor(AtWorld(-3.5f, 3.5f), Black, 0);
    int edge = 0;
    for (int x = Pixel(-8) - 1; x <= Pixel(-8) + 1; ++x)
        edge += At(x, Size / 2).r > 128;
    EXPECT_GE(edge, 1);
}

TEST_F(Rendering, NoFrameWithoutARendererOrOutsideALoop)
{
    EXPECT_EQ(Q3View_EndRendering(view), kQ3ViewStatusError);
    TQ3ViewObject bare = Q3View_New();
    EXPECT_EQ(Q3View_StartRendering(bare), kQ3Failure);
    Q3Object_Dispose(bare);
    EXPECT_EQ(Q3View_StartRendering(nullptr), kQ3Failure);
}

TEST_F(Rendering, DegenerateCameraDrawsNothing)
{
    const TQ3CameraRange range { 10, 5 };
    Q3Camera_SetRange(camera, &range);
    fixtures::Quad quad(8);
    Frame([&] { SubmitQuad(quad, { 1, 1, 1 }); });
    ExpectColor(AtWorld(0, 0), Black, 0);
}

namespace {

struct Flush {
    int count { 0 };
    Rect rect {};
};

void RecordFlush(WindowRef, const Rect* rect, void* context)
{
    auto* flush = static_cast<Flush*>(context);
    ++flush->count;
    flush->rect = *rect;
}

}

TEST(WindowRendering, DrawsIntoThePortAtThePaneAndFlushesIt)
{
    const TQ3Uns32 start = Q3Object_LiveCount();
    WindowRef window = NewWindowReference(80, 60);
    Flush flush;
    SetWindowFlushHook(window, RecordFlush, &flush);

    TQ3MacDrawContextData data {};
    data.drawContextData.clearImageMethod = kQ3ClearMethodWithColor;
    data.drawContextData.clearImageColor = { 0, 1, 0, 0 };
    data.drawContextData.pane = { { 10, 5 }, { 42, 37 } };
    data.drawContextData.paneState = kQ3True;
    data.drawContextData.doubleBufferState = kQ3True;
    data.window = window;
    TQ3DrawContextObject context = Q3MacDrawContext_New(&data);
    TQ3CameraObject camera = fixtures::Camera();
    TQ3ViewObject view = Q3View_New();
    TQ3RendererObject renderer = Q3Renderer_NewFromType(kQ3RendererTypeInteractive);
    Q3View_SetDrawContext(view, context);
    Q3View_SetCamera(view, camera);
    Q3View_SetRenderer(view, renderer);

    ASSERT_EQ(Q3View_StartRendering(view), kQ3Success);
    EXPECT_EQ(flush.count, 0);
    EXPECT_EQ(Q3View_EndRendering(view), kQ3ViewStatusDone);
    EXPECT_EQ(flush.count, 1);
    EXPECT_EQ(flush.rect.left, 10);
    EXPECT_EQ(flush.rect.top, 5);
    EXPECT_EQ(flush.rect.right, 42);
    EXPECT_EQ(flush.rect.bottom, 37);

    PixMapHandle map = GetPortPixMap(GetWindowPort(window));
    const auto* base = reinterpret_cast<const uint8_t*>(GetPixBaseAddr(map));
    const int rowBytes = GetPixRowBytes(map);
    EXPECT_EQ(base[20 * rowBytes + 20 * 4 + 1], 255); // inside the pane: cleared to red
    EXPECT_EQ(base[2 * rowBytes + 2 * 4 + 1], 0); // outside: untouched

    Q3Object_Dispose(renderer);
    Q3Object_Dispose(view);
    Q3Object_Dispose(camera);
    Q3Object_Dispose(context);
    DisposeWindowReference(window);
    EXPECT_EQ(Q3Object_LiveCount(), start);
}
