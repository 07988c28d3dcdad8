#include "Device.h"

#include "Clipper.h"
#include "Lighting.h"
#include "Rasterizer.h"
#include "Texture.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace q3::render {

namespace {

    TQ3Matrix4x4 Multiply(const TQ3Matrix4x4& a, const TQ3Matrix4x4& b)
    {
        TQ3Matrix4x4 result {};
        for (int row = 0; row < 4; ++row) {
            for (int column = 0; column < 4; ++column) {
                float sum = 0;
                for (int k = 0; k < 4; ++k)
                    sum += a.value[row][k] * b.value[k][column];
                result.value[row][column] = sum;
            }
        }
        return result;
    }

    // Normals go through the inverse transpose of the linear part, so that they
    // stay perpendicular to surfaces under non-uniform scales. The cofactor
    // matrix is that up to a factor, and only the factor's sign matters once
    // normals are renormalised.
    std::array<std::array<float, 3>, 3> NormalMatrix(const TQ3Matrix4x4& m)
    {
        auto at = [&](int row, int column) { return m.value[row % 3][column % 3]; };
        std::array<std::array<float, 3>, 3> cofactors {};
        for (int row = 0; row < 3; ++row) {
            for (int column = 0; column < 3; ++column) {
                cofactors[row][column] = at(row + 1, column + 1) * at(row + 2, column + 2)
                    - at(row + 1, column + 2) * at(row + 2, column + 1);
            }
        }
        float determinant
            = m.value[0][0] * cofactors[0][0] + m.value[0][1] * cofactors[0][1] + m.value[0][2] * cofactors[0][2];
        if (determinant < 0) {
            for (auto& row : cofactors) {
                for (float& value : row)
                    value = -value;
            }
        }
        return cofactors;
    }

    TQ3Vector3D Normalized(const TQ3Vector3D& v)
    {
        float length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
        if (!(length > 0) || !std::isfinite(length))
            return { 0, 0, 0 };
        return { v.x / length, v.y / length, v.z / length };
    }

    TQ3Vector3D Cross(const TQ3Vector3D& a, const TQ3Vector3D& b)
    {
        return { a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x };
    }

    TQ3Vector3D Between(const TQ3Point3D& from, const TQ3Point3D& to)
    {
        return { to.x - from.x, to.y - from.y, to.z - from.z };
    }

    TQ3ColorRGB Modulate(const TQ3ColorRGB& a, const TQ3ColorRGB& b) { return { a.r * b.r, a.g * b.g, a.b * b.b }; }

    // A surface's opacity in [0, 1]; anything else, NaN included, is opaque.
    float OpacityOf(const Surface& surface)
    {
        return surface.opacity < 1 ? std::max(surface.opacity, 0.0f) : 1.0f;
    }

    // A triangle that lets what is behind it show, kept for the end of the frame.
    struct DeferredTriangle {
        std::array<ScreenVertex, 3> corners {};
        uint32_t batch { 0 };
        float depth { 0 };
    };

    // How the deferred triangles of one mesh are shaded; the texture is held
    // here until they are drawn.
    struct DeferredBatch {
        std::shared_ptr<const Texture> texture {};
        Shading shading {};
    };

}

struct Device::Frame {
    TQ3Matrix4x4 worldToFrustum {};
    TQ3Point3D eye { 0, 0, 0 };
    // Fog distances are measured along it. Being linear over a triangle,
    // they interpolate exactly, unlike distances from the eye point.
    TQ3Vector3D viewDirection { 0, 0, -1 };
    Lighting lighting {};
    Fog fog {};
    bool wireframe { false };

    // Per point of the mesh being drawn, kept to spare reallocation.
    std::vector<TQ3Point3D> world {};
    std::vector<ClipVertex> clip {};
    std::vector<Outcode> outcodes {};
    std::vector<ScreenVertex> screen {};
    std::vector<float> fogFactors {};

    std::vector<DeferredBatch> batches {};
    std::vector<DeferredTriangle> deferred {};
};

// What one DrawMesh call works from.
struct Device::MeshPass {
    const Mesh& mesh;
    const DrawState& state;
    std::array<std::array<float, 3>, 3> normalMatrix {};
    float opacity { 1 };
    bool textured { false };
    bool deferred { false };
    bool fogged { false };
};

Device::Device()
    : mRasterizer(std::make_unique<Rasterizer>())
    , mFrame(std::make_unique<Frame>())
{
}

Device::~Device() = default;

void Device::Begin(const Target& target, const Pane& pane, TQ3ColorRGB clear)
{
    mFrame->batches.clear();
    mFrame->deferred.clear();
    mRasterizer->Begin(target, pane, clear);
}

void Device::SetCamera(const TQ3Matrix4x4& worldToFrustum, TQ3Point3D eye)
{
    mFrame->worldToFrustum = worldToFrustum;
    mFrame->eye = eye;
    // w grows along the view direction, so its gradient in world space,
    // the matrix's last column, points that way.
    const auto& m = worldToFrustum.value;
    mFrame->viewDirection = Normalized({ m[0][3], m[1][3], m[2][3] });
}

void Device::SetLights(std::span<const Light> lights) { mFrame->lighting.SetLights(lights); }

void Device::SetFog(const Fog& fog)
{
    mFrame->fog = fog;
    mRasterizer->SetFogColor(fog.color);
}

void Device::SetWireframe(bool wireframe) { mFrame->wireframe = wireframe; }

void Device::DrawMesh(const Mesh& mesh, const DrawState& state)
{
    if (!mRasterizer->IsDrawing() || !mesh.points || !mesh.triangles)
        return;
    Frame& frame = *mFrame;
    MeshPass pass { mesh, state, NormalMatrix(state.localToWorld), OpacityOf(state.surface) };
    const bool filled = !frame.wireframe && state.fill == Fill::Filled;
    pass.textured = state.surface.texture && mesh.vertexUVs && filled;
    pass.deferred = (pass.textured && state.surface.texture->HasTransparency()) || (filled && pass.opacity < 1);
    pass.fogged = frame.fog.on && frame.fog.end > frame.fog.start;
    if (pass.deferred)
        frame.batches.push_back({ state.surface.texture, ShadingOf(pass) });

    // Every point once: to world space for lighting and fog, to frustum
    // space for clipping, and onto the screen when no plane cuts it.
    TQ3Matrix4x4 localToFrustum = Multiply(state.localToWorld, frame.worldToFrustum);
    frame.world.resize(mesh.pointCount);
    frame.clip.resize(mesh.pointCount);
    frame.outcodes.resize(mesh.pointCount);
    frame.screen.resize(mesh.pointCount);
    frame.fogFactors.assign(mesh.pointCount, 1.0f);
    for (uint32_t i = 0; i < mesh.pointCount; ++i) {
        const TQ3Point3D& p = mesh.points[i];
        const auto& w = state.localToWorld.value;
        const auto& f = localToFrustum.value;
        frame.world[i] = { p.x * w[0][0] + p.y * w[1][0] + p.z * w[2][0] + w[3][0],
            p.x * w[0][1] + p.y * w[1][1] + p.z * w[2][1] + w[3][1],
            p.x * w[0][2] + p.y * w[1][2] + p.z * w[2][2] + w[3][2] };
        ClipVertex& clip = frame.clip[i];
        clip.x = p.x * f[0][0] + p.y * f[1][0] + p.z * f[2][0] + f[3][0];
        clip.y = p.x * f[0][1] + p.y * f[1][1] + p.z * f[2][1] + f[3][1];
        clip.z = p.x * f[0][2] + p.y * f[1][2] + p.z * f[2][2] + f[3][2];
        clip.w = p.x * f[0][3] + p.y * f[1][3] + p.z * f[2][3] + f[3][3];
        frame.outcodes[i] = ComputeOutcode(clip);
        if (frame.outcodes[i] == 0)
            frame.screen[i] = mRasterizer->Project(clip);
        if (pass.fogged) {
            TQ3Vector3D offset = Between(frame.eye, frame.world[i]);
            float distance = offset.x * frame.viewDirection.x + offset.y * frame.viewDirection.y
                + offset.z * frame.viewDirection.z;
            frame.fogFactors[i] = (frame.fog.end - distance) / (frame.fog.end - frame.fog.start);
        }
    }

    for (uint32_t triangle = 0; triangle < mesh.triangleCount; ++triangle)
        DrawTriangle(pass, triangle);
}

Shading Device::ShadingOf(const MeshPass& pass)
{
    const Surface& surface = pass.state.surface;
    return { pass.textured ? surface.texture.get() : nullptr, pass.fogged, surface.uBoundary, surface.vBoundary,
        pass.opacity };
}

void Device::DrawTriangle(MeshPass& pass, uint32_t triangle)
{
    const Mesh& mesh = pass.mesh;
    const DrawState& state = pass.state;
    Frame& frame = *mFrame;
    const uint32_t(&corners)[3] = mesh.triangles[triangle];
    for (uint32_t corner : corners) {
        if (corner >= mesh.pointCount)
            return;
    }
    Outcode o0 = frame.outcodes[corners[0]], o1 = frame.outcodes[corners[1]], o2 = frame.outcodes[corners[2]];
    if (((o0 | o1 | o2) & Unusable) || (o0 & o1 & o2))
        return;

    // Facing from the homogeneous positions: the sign of det[x y w] is the
    // sign of the projected area for any w > 0, and stays right for corners
    // behind the eye, so it is decided before clipping.
    const ClipVertex &c0 = frame.clip[corners[0]], &c1 = frame.clip[corners[1]], &c2 = frame.clip[corners[2]];
    float determinant
        = c0.x * (c1.y * c2.w - c2.y * c1.w) - c1.x * (c0.y * c2.w - c2.y * c0.w) + c2.x * (c0.y * c1.w - c1.y * c0.w);
    bool back = !(determinant > 0);
    if (back && state.backfacing == Backfacing::Remove)
        return;
    if (frame.wireframe || state.fill != Fill::Filled)
        return DrawEdges(pass, corners, state.fill == Fill::Points && !frame.wireframe);

    // The corners' colors: texture, vertex, triangle or diffuse color,
    // times the light unless the surface is unlit.
    float normalSign = back && state.backfacing == Backfacing::Flip ? -1.0f : 1.0f;
    TQ3Vector3D faceNormal {};
    if (mesh.triangleNormals)
        faceNormal = mesh.triangleNormals[triangle];
    else if (!mesh.vertexNormals) {
        const TQ3Point3D &w0 = frame.world[corners[0]], &w1 = frame.world[corners[1]], &w2 = frame.world[corners[2]];
        faceNormal = Cross(Between(w0, w1), Between(w0, w2));
    }
    Clipper::Polygon polygon;
    for (int i = 0; i < 3; ++i) {
        uint32_t point = corners[i];
        TQ3ColorRGB color = state.surface.diffuse;
        if (pass.textured)
            color = { 1, 1, 1 };
        else if (mesh.vertexColors)
            color = mesh.vertexColors[point];
        else if (mesh.triangleColors)
            color = mesh.triangleColors[triangle];
        if (state.surface.illuminated) {
            TQ3Vector3D normal = mesh.vertexNormals ? mesh.vertexNormals[point] : faceNormal;
            // Face normals computed in world space need no transform.
            if (mesh.vertexNormals || mesh.triangleNormals) {
                const auto& m = pass.normalMatrix;
                normal = { normal.x * m[0][0] + normal.y * m[1][0] + normal.z * m[2][0],
                    normal.x * m[0][1] + normal.y * m[1][1] + normal.z * m[2][1],
                    normal.x * m[0][2] + normal.y * m[1][2] + normal.z * m[2][2] };
            }
            normal = Normalized({ normal.x * normalSign, normal.y * normalSign, normal.z * normalSign });
            color = Modulate(color, frame.lighting.Illuminate(frame.world[point], normal));
        }
        // Premultiplied by the opacity, as texels are by their alpha.
        color = { color.r * pass.opacity, color.g * pass.opacity, color.b * pass.opacity };
        ClipVertex& vertex = polygon[i];
        vertex = frame.clip[point];
        vertex.varyings = { color.r, color.g, color.b, 0, 0, frame.fogFactors[point] };
        if (pass.textured) {
            vertex.varyings[U] = mesh.vertexUVs[point].u;
            vertex.varyings[V] = mesh.vertexUVs[point].v;
        }
    }

    const Shading shading = ShadingOf(pass);
    auto emit = [&](const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) {
        if (!pass.deferred)
            return mRasterizer->DrawTriangle(a, b, c, shading);
        float depth = (a.depth + b.depth + c.depth) / 3;
        frame.deferred.push_back({ { a, b, c }, uint32_t(frame.batches.size() - 1), depth });
    };
    Outcode planes = o0 | o1 | o2;
    if (planes == 0) {
        std::array<ScreenVertex, 3> projected;
        for (int i = 0; i < 3; ++i) {
            projected[i] = frame.screen[corners[i]];
            for (int k = 0; k < VaryingCount; ++k)
                projected[i].varyings[k] = polygon[i].varyings[k] * projected[i].inverseW;
        }
        return emit(projected[0], projected[1], projected[2]);
    }
    int count = Clipper::ClipPolygon(polygon, 3, planes);
    if (count < 3)
        return;
    ScreenVertex first = mRasterizer->Project(polygon[0]);
    ScreenVertex previous = mRasterizer->Project(polygon[1]);
    for (int i = 2; i < count; ++i) {
        ScreenVertex next = mRasterizer->Project(polygon[i]);
        emit(first, previous, next);
        previous = next;
    }
}

void Device::DrawEdges(MeshPass& pass, const uint32_t (&corners)[3], bool points)
{
    // Edges and points show the unlit color, without texture.
    Frame& frame = *mFrame;
    const Mesh& mesh = pass.mesh;
    Shading shading { nullptr, pass.fogged };
    auto vertexAt = [&](uint32_t point) {
        ClipVertex vertex = frame.clip[point];
        TQ3ColorRGB color = mesh.vertexColors ? mesh.vertexColors[point] : pass.state.surface.diffuse;
        vertex.varyings = { color.r, color.g, color.b, 0, 0, frame.fogFactors[point] };
        return vertex;
    };
    for (int i = 0; i < 3; ++i) {
        ClipVertex a = vertexAt(corners[i]);
        Outcode code = frame.outcodes[corners[i]];
        if (points) {
            if (code == 0)
                mRasterizer->DrawPoint(mRasterizer->Project(a), shading);
            continue;
        }
        ClipVertex b = vertexAt(corners[(i + 1) % 3]);
        Outcode planes = code | frame.outcodes[corners[(i + 1) % 3]];
        if (Clipper::ClipSegment(a, b, planes))
            mRasterizer->DrawLine(mRasterizer->Project(a), mRasterizer->Project(b), shading);
    }
}

void Device::End() { DrawDeferred(); }

void Device::DrawDeferred()
{
    // Farthest first, each blended over what lies behind it.
    Frame& frame = *mFrame;
    std::stable_sort(frame.deferred.begin(), frame.deferred.end(),
        [](const DeferredTriangle& a, const DeferredTriangle& b) { return a.depth > b.depth; });
    for (const DeferredTriangle& triangle : frame.deferred) {
        const Shading& shading = frame.batches[triangle.batch].shading;
        mRasterizer->DrawTriangle(triangle.corners[0], triangle.corners[1], triangle.corners[2], shading);
    }
    frame.deferred.clear();
    frame.batches.clear();
}

}
