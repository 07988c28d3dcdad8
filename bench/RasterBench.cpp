// Renders the game-like synthetic scene at 512 × 512 through the software
// rasteriser and, where Mesa's off-screen library is installed, the same
// triangles, textures and lights through it, single-threaded and with its
// default threads, and prints the ratio of the median frame times.

#include "SceneBench.h"

#include <benchmark/benchmark.h>

#include <cmath>

#include <cstdio>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

#ifdef TERRASLIDE_HAVE_OSMESA
#include <GL/osmesa.h>
#endif

using namespace q3::render;

namespace {

BENCHMARK(DeviceFrame)->Unit(benchmark::kMillisecond)->Repetitions(Repetitions)->ReportAggregatesOnly(true);

#ifdef TERRASLIDE_HAVE_OSMESA

constexpr int Size = SyntheticScene::Size;

std::vector<uint8_t> RgbaBytes(const std::vector<uint32_t>& texels)
{
    std::vector<uint8_t> bytes;
    for (uint32_t texel : texels)
        bytes.insert(bytes.end(), { uint8_t(texel >> 16), uint8_t(texel >> 8), uint8_t(texel), uint8_t(texel >> 24) });
    return bytes;
}

GLuint UploadTexture(const std::vector<uint32_t>& texels, uint32_t width, uint32_t height)
{
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_TRUE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    std::vector<uint8_t> bytes = RgbaBytes(texels);
    glTexImage2D(
        GL_TEXTURE_2D, 0, GL_RGBA, GLsizei(width), GLsizei(height), 0, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
    return name;
}

void DrawMesh(const SyntheticMesh& mesh)
{
    // Our v = 1 is the top row; OpenGL's t = 0 is the first row uploaded.
    std::vector<TQ3Param2D> flipped(mesh.uvs);
    for (TQ3Param2D& uv : flipped)
        uv.v = 1 - uv.v;
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, mesh.points.data());
    glTexCoordPointer(2, GL_FLOAT, 0, flipped.data());
    if (!mesh.normals.empty()) {
        glEnableClientState(GL_NORMAL_ARRAY);
        glNormalPointer(GL_FLOAT, 0, mesh.normals.data());
    } else {
        glDisableClientState(GL_NORMAL_ARRAY);
        glNormal3f(0, 0, 1);
    }
    glDrawElements(GL_TRIANGLES, GLsizei(mesh.triangles.size() * 3), GL_UNSIGNED_INT, mesh.triangles.data());
}

void MesaFrame(benchmark::State& state)
{
    const SyntheticScene& scene = Scene();
    std::vector<uint8_t> pixels(size_t(Size) * Size * 4);
    OSMesaContext context = OSMesaCreateContextExt(OSMESA_RGBA, 24, 0, 0, nullptr);
    if (!context || !OSMesaMakeCurrent(context, pixels.data(), GL_UNSIGNED_BYTE, Size, Size)) {
        state.SkipWithError("no OSMesa context");
        return;
    }
    glViewport(0, 0, Size, Size);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    float top = SyntheticScene::Hither * std::tan(SyntheticScene::FieldOfView / 2);
    glFrustum(-top, top, -top, top, SyntheticScene::Hither, SyntheticScene::Yon);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glTranslatef(-scene.eye.x, -scene.eye.y, -scene.eye.z);

    const Light& ambient = scene.lights[0];
    const Light& headlight = scene.lights[1];
    GLfloat ambientColor[] = { ambient.brightness, ambient.brightness, ambient.brightness, 1 };
    GLfloat headlightColor[] = { headlight.brightness, headlight.brightness, headlight.brightness, 1 };
    GLfloat headlightPosition[] = { headlight.location.x, headlight.location.y, headlight.location.z, 1 };
    GLfloat none[] = { 0, 0, 0, 1 }, white[] = { 1, 1, 1, 1 };
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambientColor);
    glLightfv(GL_LIGHT0, GL_AMBIENT, none);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, headlightColor);
    glLightfv(GL_LIGHT0, GL_SPECULAR, none);
    glLightfv(GL_LIGHT0, GL_POSITION, headlightPosition);
    glEnable(GL_LIGHT0);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, white);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_TEXTURE_2D);
    glShadeModel(GL_SMOOTH);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glAlphaFunc(GL_GREATER, 0);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    GLuint globe = UploadTexture(scene.globeTexels, scene.globeWidth, scene.globeHeight);
    GLuint backdrop = UploadTexture(scene.backdropTexels, scene.backdropWidth, scene.backdropHeight);
    glClearColor(0.55f, 0.7f, 0.95f, 1);

    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        // Opaque first, then the backdrop with its transparent texels.
        glEnable(GL_LIGHTING);
        glBindTexture(GL_TEXTURE_2D, globe);
        DrawMesh(scene.globe);
        glDisable(GL_LIGHTING);
        glColor4f(1, 1, 1, 1);
        glEnable(GL_BLEND);
        glEnable(GL_ALPHA_TEST);
        glDepthMask(GL_FALSE);
        glBindTexture(GL_TEXTURE_2D, backdrop);
        DrawMesh(scene.backdrop);
        glDepthMask(GL_TRUE);
        glDisable(GL_ALPHA_TEST);
        glDisable(GL_BLEND);
        glFinish();
    }
    OSMesaDestroyContext(context);
}
BENCHMARK(MesaFrame)->Unit(benchmark::kMillisecond)->Repetitions(Repetitions)->ReportAggregatesOnly(true);

#endif

#ifdef TERRASLIDE_HAVE_OSMESA

// llvmpipe reads LP_NUM_THREADS once per process, so each setting runs in
// a child of its own, which sends back its median.
double MesaMedianInChild(const char* threads)
{
    int channel[2];
    if (pipe(channel) != 0)
        return 0;
    std::fflush(stdout);
    pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        if (threads)
            setenv("LP_NUM_THREADS", threads, 1);
        else
            unsetenv("LP_NUM_THREADS");
        MedianReporter reporter;
        benchmark::RunSpecifiedBenchmarks(&reporter, "MesaFrame");
        double median = reporter.medians["MesaFrame"];
        ssize_t written = write(channel[1], &median, sizeof median);
        std::fflush(stdout);
        _exit(written == sizeof median ? 0 : 1);
    }
    close(channel[1]);
    double median = 0;
    if (child < 0 || read(channel[0], &median, sizeof median) != sizeof median)
        median = 0;
    close(channel[0]);
    if (child > 0)
        waitpid(child, nullptr, 0);
    return median;
}

#endif

}

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter, "DeviceFrame");
    double ours = reporter.medians["DeviceFrame"];
    std::printf("Software rasteriser: %.3f ms per frame (median)\n", ours);
#ifdef TERRASLIDE_HAVE_OSMESA
    const std::pair<const char*, const char*> settings[]
        = { { "single-threaded", "0" }, { "default threads", nullptr } };
    for (auto [name, threads] : settings) {
        double mesa = MesaMedianInChild(threads);
        if (mesa > 0)
            std::printf("Mesa llvmpipe, %s: %.3f ms per frame; ours/Mesa = %.2f\n", name, mesa, ours / mesa);
        else
            std::printf("Mesa llvmpipe, %s: not measured\n", name);
    }
#else
    std::printf("Mesa's off-screen library was not found: no comparison.\n");
#endif
    benchmark::Shutdown();
    return 0;
}
