#include "MesaReplay.h"

#define GL_GLEXT_PROTOTYPES
#include <GL/osmesa.h>

#include <GL/glext.h>

#include <algorithm>
#include <stdexcept>

namespace bench {

namespace {

    // The rasteriser's frustum has z from 0 at hither to -1 at yon after the
    // divide, OpenGL's clip space from -1 to 1: z' = -2z - w. Column-major.
    constexpr GLfloat DepthToOpenGL[16] = { 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, -2, 0, 0, 0, -1, 1 };

    // 0xAARRGGBB texels as bytes R, G, B, A.
    std::vector<uint8_t> RgbaBytes(const std::vector<uint32_t>& texels)
    {
        std::vector<uint8_t> bytes;
        bytes.reserve(texels.size() * 4);
        for (uint32_t texel : texels)
            bytes.insert(
                bytes.end(), { uint8_t(texel >> 16), uint8_t(texel >> 8), uint8_t(texel), uint8_t(texel >> 24) });
        return bytes;
    }

    GLuint UploadTexture(const CapturedTexture& texture)
    {
        GLuint name = 0;
        glGenTextures(1, &name);
        glBindTexture(GL_TEXTURE_2D, name);
        // The rasteriser filters bilinearly within the level nearest one texel per pixel.
        glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_TRUE);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        const std::vector<uint8_t> bytes = RgbaBytes(texture.texels);
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, GLsizei(texture.width), GLsizei(texture.height), 0, GL_RGBA,
            GL_UNSIGNED_BYTE, bytes.data());
        return name;
    }

    GLint WrapOf(Boundary boundary) { return boundary == Boundary::Clamp ? GL_CLAMP_TO_EDGE : GL_REPEAT; }

    // As the device reads it: in [0, 1], anything else (NaN included) opaque.
    float Opacity(const CapturedMesh& mesh) { return mesh.opacity < 1 ? std::max(mesh.opacity, 0.0f) : 1.0f; }

    template <class T> GLuint UploadBuffer(GLenum target, const std::vector<T>& values)
    {
        GLuint name = 0;
        glGenBuffers(1, &name);
        glBindBuffer(target, name);
        glBufferData(target, GLsizeiptr(values.size() * sizeof(T)), values.data(), GL_STATIC_DRAW);
        return name;
    }

    TQ3Vector3D FaceNormal(const TQ3Point3D& a, const TQ3Point3D& b, const TQ3Point3D& c)
    {
        const TQ3Vector3D u { b.x - a.x, b.y - a.y, b.z - a.z }, v { c.x - a.x, c.y - a.y, c.z - a.z };
        return { u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x };
    }

    // A lit mesh without vertex normals is lit by each triangle's normal:
    // every triangle gets corners of its own, which carry that normal.
    SyntheticMesh FlatShaded(const SyntheticMesh& mesh)
    {
        SyntheticMesh flat;
        for (const auto& corners : mesh.triangles) {
            const uint32_t first = uint32_t(flat.points.size());
            const TQ3Vector3D normal
                = FaceNormal(mesh.points[corners[0]], mesh.points[corners[1]], mesh.points[corners[2]]);
            for (uint32_t corner : corners) {
                flat.points.push_back(mesh.points[corner]);
                flat.normals.push_back(normal);
                if (!mesh.uvs.empty())
                    flat.uvs.push_back(mesh.uvs[corner]);
            }
            flat.triangles.push_back({ first, first + 1, first + 2 });
        }
        return flat;
    }

    TQ3Point3D Centre(const CapturedMesh& mesh)
    {
        TQ3Point3D sum { 0, 0, 0 };
        for (const TQ3Point3D& point : mesh.geometry.points) {
            sum.x += point.x;
            sum.y += point.y;
            sum.z += point.z;
        }
        const float count = float(std::max<size_t>(mesh.geometry.points.size(), 1));
        const TQ3Point3D local { sum.x / count, sum.y / count, sum.z / count };
        // Row vectors times the matrix, as the capture stores it.
        const auto& m = mesh.localToWorld.value;
        return { local.x * m[0][0] + local.y * m[1][0] + local.z * m[2][0] + m[3][0],
            local.x * m[0][1] + local.y * m[1][1] + local.z * m[2][1] + m[3][1],
            local.x * m[0][2] + local.y * m[1][2] + local.z * m[2][2] + m[3][2] };
    }

    float DistanceSquared(const TQ3Point3D& a, const TQ3Point3D& b)
    {
        const float x = a.x - b.x, y = a.y - b.y, z = a.z - b.z;
        return x * x + y * y + z * z;
    }

    // A framebuffer object of the pane's size, with a depth buffer, made
    // the target of drawing.
    void DrawIntoFramebufferObject(int width, int height)
    {
        GLuint framebuffer = 0, color = 0, depth = 0;
        glGenFramebuffers(1, &framebuffer);
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        glGenRenderbuffers(1, &color);
        glBindRenderbuffer(GL_RENDERBUFFER, color);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, color);
        glGenRenderbuffers(1, &depth);
        glBindRenderbuffer(GL_RENDERBUFFER, depth);
        glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
        glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
        if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
            throw std::runtime_error("llvmpipe cannot draw into a framebuffer object");
    }

    void SetLights(const std::vector<Light>& lights)
    {
        // The lights stand in world space, which is eye space here: the
        // camera lives in the projection.
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        GLfloat ambient[4] = { 0, 0, 0, 1 };
        GLint maximum = 0;
        glGetIntegerv(GL_MAX_LIGHTS, &maximum);
        GLenum next = GL_LIGHT0;
        const GLfloat none[4] = { 0, 0, 0, 1 };
        for (const Light& light : lights) {
            const GLfloat color[4] = { light.color.r * light.brightness, light.color.g * light.brightness,
                light.color.b * light.brightness, 1 };
            if (light.kind == Light::Kind::Ambient) {
                for (int i = 0; i < 3; ++i)
                    ambient[i] += color[i];
                continue;
            }
            if (GLint(next - GL_LIGHT0) >= maximum)
                throw std::runtime_error("the frame has more lights than OpenGL offers");
            const bool point = light.kind == Light::Kind::Point;
            const GLfloat position[4]
                = { point ? light.location.x : -light.direction.x, point ? light.location.y : -light.direction.y,
                      point ? light.location.z : -light.direction.z, point ? 1.0f : 0.0f };
            glLightfv(next, GL_AMBIENT, none);
            glLightfv(next, GL_DIFFUSE, color);
            glLightfv(next, GL_SPECULAR, none);
            glLightfv(next, GL_POSITION, position);
            const TQ3AttenuationType attenuation = point ? light.attenuation : kQ3AttenuationTypeNone;
            glLightf(next, GL_CONSTANT_ATTENUATION, attenuation == kQ3AttenuationTypeNone ? 1.0f : 0.0f);
            glLightf(next, GL_LINEAR_ATTENUATION, attenuation == kQ3AttenuationTypeInverseDistance ? 1.0f : 0.0f);
            glLightf(
                next, GL_QUADRATIC_ATTENUATION, attenuation == kQ3AttenuationTypeInverseDistanceSquared ? 1.0f : 0.0f);
            glEnable(next++);
        }
        glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    }

}

struct MesaReplay::State {
    struct Batch {
        const CapturedMesh* mesh { nullptr };
        bool transparent { false };
        GLuint texture { 0 };
        GLuint points { 0 };
        GLuint normals { 0 };
        GLuint uvs { 0 };
        GLuint triangles { 0 };
        GLsizei indexCount { 0 };
        float distanceSquared { 0 }; // from the eye to the mesh's centre
    };

    const SceneCapture* capture { nullptr };
    GlUse use { GlUse::Naive };
    std::vector<uint8_t> pixels {};
    OSMesaContext context { nullptr };
    std::vector<GLuint> textures {};
    std::vector<Batch> batches {};

    void Draw(const Batch& batch) const
    {
        const CapturedMesh& mesh = *batch.mesh;
        glMatrixMode(GL_MODELVIEW);
        glLoadMatrixf(&mesh.localToWorld.value[0][0]);
        // A textured surface is white under the light, as in the rasteriser,
        // and the color is premultiplied by the opacity, as texels are by alpha.
        const TQ3ColorRGB base = batch.texture ? TQ3ColorRGB { 1, 1, 1 } : mesh.diffuse;
        const float opacity = Opacity(mesh);
        const GLfloat color[4] = { base.r * opacity, base.g * opacity, base.b * opacity, opacity };
        if (mesh.illuminated) {
            glEnable(GL_LIGHTING);
            glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, color);
            glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, mesh.backfacing == Backfacing::Flip);
        } else {
            glDisable(GL_LIGHTING);
            glColor4fv(color);
        }
        if (mesh.backfacing == Backfacing::Remove)
            glEnable(GL_CULL_FACE);
        else
            glDisable(GL_CULL_FACE);
        if (batch.texture) {
            glEnable(GL_TEXTURE_2D);
            glBindTexture(GL_TEXTURE_2D, batch.texture);
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, WrapOf(mesh.uBoundary));
            glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, WrapOf(mesh.vBoundary));
            glBindBuffer(GL_ARRAY_BUFFER, batch.uvs);
            glTexCoordPointer(2, GL_FLOAT, 0, nullptr);
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        } else {
            glDisable(GL_TEXTURE_2D);
            glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        }
        if (batch.normals) {
            glBindBuffer(GL_ARRAY_BUFFER, batch.normals);
            glNormalPointer(GL_FLOAT, 0, nullptr);
            glEnableClientState(GL_NORMAL_ARRAY);
        } else {
            glDisableClientState(GL_NORMAL_ARRAY);
        }
        glBindBuffer(GL_ARRAY_BUFFER, batch.points);
        glVertexPointer(3, GL_FLOAT, 0, nullptr);
        glEnableClientState(GL_VERTEX_ARRAY);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, batch.triangles);
        glDrawElements(GL_TRIANGLES, batch.indexCount, GL_UNSIGNED_INT, nullptr);
    }
};

MesaReplay::MesaReplay(const SceneCapture& capture, GlUse use)
    : mState(std::make_unique<State>())
{
    State& state = *mState;
    state.capture = &capture;
    state.use = use;
    state.pixels.assign(size_t(capture.width) * capture.height * 4, 0);
    state.context = OSMesaCreateContextExt(OSMESA_RGBA, 24, 0, 0, nullptr);
    if (!state.context
        || !OSMesaMakeCurrent(state.context, state.pixels.data(), GL_UNSIGNED_BYTE, capture.width, capture.height))
        throw std::runtime_error("no OSMesa context");
    OSMesaPixelStore(OSMESA_Y_UP, 0);
    if (use == GlUse::Careful)
        DrawIntoFramebufferObject(capture.width, capture.height);

    glViewport(0, 0, capture.width, capture.height);
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(DepthToOpenGL);
    // Row vectors times the matrix: its rows in memory are OpenGL's columns.
    glMultMatrixf(&capture.worldToFrustum.value[0][0]);
    SetLights(capture.lights);
    glClearColor(capture.clear.r, capture.clear.g, capture.clear.b, 1);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glFrontFace(GL_CCW);
    glCullFace(GL_BACK);
    glEnable(GL_NORMALIZE);
    glShadeModel(GL_SMOOTH);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    // Texels are premultiplied.
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);

    for (const CapturedTexture& texture : capture.textures)
        state.textures.push_back(UploadTexture(texture));
    for (const CapturedMesh& mesh : capture.meshes) {
        State::Batch batch;
        batch.mesh = &mesh;
        batch.distanceSquared = DistanceSquared(Centre(mesh), capture.eye);
        const bool flat = mesh.illuminated && mesh.geometry.normals.empty();
        const SyntheticMesh geometry = flat ? FlatShaded(mesh.geometry) : mesh.geometry;
        batch.indexCount = GLsizei(geometry.triangles.size() * 3);
        batch.transparent
            = Opacity(mesh) < 1 || (mesh.texture >= 0 && capture.textures[size_t(mesh.texture)].transparent);
        if (mesh.texture >= 0) {
            batch.texture = state.textures[size_t(mesh.texture)];
            // The rasteriser's v = 1 is the top row; OpenGL's t = 0 is the first row uploaded.
            std::vector<TQ3Param2D> flipped(geometry.uvs);
            for (TQ3Param2D& uv : flipped)
                uv.v = 1 - uv.v;
            batch.uvs = UploadBuffer(GL_ARRAY_BUFFER, flipped);
        }
        if (mesh.illuminated)
            batch.normals = UploadBuffer(GL_ARRAY_BUFFER, geometry.normals);
        batch.points = UploadBuffer(GL_ARRAY_BUFFER, geometry.points);
        batch.triangles = UploadBuffer(GL_ELEMENT_ARRAY_BUFFER, geometry.triangles);
        state.batches.push_back(batch);
    }
    if (use == GlUse::Careful) {
        // The opaque ones nearest first; the transparent ones, drawn in a
        // pass of their own, keep their order.
        auto key = [](const State::Batch& batch) {
            return std::pair(batch.transparent, batch.transparent ? 0.0f : batch.distanceSquared);
        };
        std::stable_sort(state.batches.begin(), state.batches.end(),
            [&key](const State::Batch& a, const State::Batch& b) { return key(a) < key(b); });
    }
    if (glGetError() != GL_NO_ERROR)
        throw std::runtime_error("OpenGL refused the captured frame");
}

MesaReplay::~MesaReplay()
{
    // Unbound first, the context lets go of its framebuffer too.
    OSMesaMakeCurrent(nullptr, nullptr, GL_UNSIGNED_BYTE, 0, 0);
    OSMesaDestroyContext(mState->context);
}

void MesaReplay::Frame()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glDisable(GL_BLEND);
    for (const State::Batch& batch : mState->batches) {
        if (!batch.transparent)
            mState->Draw(batch);
    }
    glEnable(GL_BLEND);
    for (const State::Batch& batch : mState->batches) {
        if (batch.transparent)
            mState->Draw(batch);
    }
    glFinish();
}

const std::vector<uint8_t>& MesaReplay::Pixels()
{
    State& state = *mState;
    if (state.use == GlUse::Careful) {
        const int width = state.capture->width, height = state.capture->height;
        const size_t rowBytes = size_t(width) * 4;
        std::vector<uint8_t> bottomUp(state.pixels.size());
        glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, bottomUp.data());
        for (int y = 0; y < height; ++y)
            std::copy_n(bottomUp.data() + size_t(height - 1 - y) * rowBytes, rowBytes,
                state.pixels.data() + size_t(y) * rowBytes);
    }
    return state.pixels;
}

}
