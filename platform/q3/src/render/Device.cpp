#include "Device.h"

#include "Clipper.h"
#include "DecodedTexture.h"
#include "Lighting.h"
#include "Math.h"
#include "Rasterizer.h"
#include "Tunables.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <vector>

namespace q3::render {

namespace {

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

    TQ3ColorRGB Modulate(const TQ3ColorRGB& a, const TQ3ColorRGB& b) { return { a.r * b.r, a.g * b.g, a.b * b.b }; }

    // A surface's opacity in [0, 1]; anything else, NaN included, is opaque.
    float OpacityOf(const Surface& surface) { return surface.opacity < 1 ? std::max(surface.opacity, 0.0f) : 1.0f; }

    // A triangle kept for the end of the frame, with the batch of its mesh
    // and its place in the order of drawing.
    struct KeptTriangle {
        std::array<ScreenVertex, 3> corners {};
        uint32_t batch { 0 };
        uint32_t order { 0 };
    };

    // At equal depth, a triangle of this order never replaces another.
    constexpr uint32_t NeverFirst = UINT32_MAX;

    int SliceOf(const KeptTriangle& triangle)
    {
        float nearest = std::min({ triangle.corners[0].depth, triangle.corners[1].depth, triangle.corners[2].depth });
        // NaN, which no valid projection makes, goes last.
        if (!(nearest < 1))
            return DepthSlices - 1;
        return nearest > 0 ? int(nearest * DepthSlices) : 0;
    }

    // How the kept triangles of one mesh are shaded; the texture is held
    // until they are drawn.
    struct Batch {
        std::shared_ptr<const DecodedTexture> texture {};
        Shading shading {};
    };

    // Triangles of one kind kept for a later draw, with the batches they
    // are shaded by. A mesh's batch joins with its first kept triangle, so
    // that there are never more batches than triangles.
    struct Held {
        std::vector<KeptTriangle> triangles {};
        std::vector<Batch> batches {};

        void Clear()
        {
            triangles.clear();
            batches.clear();
        }
    };

    void DrawKept(Rasterizer& rasterizer, const KeptTriangle& triangle, const Held& held)
    {
        Shading shading = held.batches[triangle.batch].shading;
        shading.order = triangle.order;
        rasterizer.DrawTriangle(triangle.corners[0], triangle.corners[1], triangle.corners[2], shading);
    }

    // A mesh none of whose triangles is held yet.
    constexpr uint32_t NoBatch = UINT32_MAX;

    // What one held triangle takes at most: itself, its slice and its
    // place in the sort, and the batch of a mesh of one triangle. A power
    // of two, the count is where a growing list's room lands exactly.
    constexpr size_t HeldTriangleSize = sizeof(KeptTriangle) + 2 * sizeof(uint32_t) + sizeof(Batch);
    constexpr uint32_t TrianglesHeld = uint32_t(std::bit_floor(HeldTriangleBytes / HeldTriangleSize));

    // The test hooks': a budget in place of the library's (0 for none), and
    // the most triangles of one kind the last frame to end held at once.
    uint32_t s_trianglesHeld = 0;
    uint32_t s_peakTrianglesHeld = 0;

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
    // Lit colors of the points, each lit the first time a front-facing
    // corner needs it; litSerial says which mesh lit it.
    std::vector<TQ3ColorRGB> litColors {};
    std::vector<uint32_t> litSerial {};
    uint32_t meshSerial { 0 };

    // Every triangle, line and point takes the next order as it comes.
    uint32_t nextOrder { 0 };
    // Opaque triangles wait for the end of the frame and are drawn nearest
    // first, so that what lies behind them is not shaded only to be
    // overdrawn; their orders keep the picture that of drawing them as they
    // came, even where two meet at one depth.
    Held opaque {};
    std::vector<uint32_t> slices {}; // per triangle
    std::vector<uint32_t> nearestFirst {}; // indices into opaque
    // Triangles of a surface less than opaque, drawn last, farthest first.
    Held deferred {};
    // How many triangles of each kind the frame holds at most, and the
    // most it has held.
    uint32_t trianglesHeld { TrianglesHeld };
    uint32_t peakHeld { 0 };
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
    Shading shading {};
    uint32_t batch { NoBatch };
    // True when a corner's lit color depends on its point alone, so that
    // each point is lit once however many triangles share it.
    bool sharedLighting { false };
    // The triangle being drawn, with room for what clipping adds.
    Clipper::Polygon polygon {};

    // A normal of the mesh in world space, not yet a unit vector.
    TQ3Vector3D ToWorld(const TQ3Vector3D& normal) const
    {
        const auto& m = normalMatrix;
        return { normal.x * m[0][0] + normal.y * m[1][0] + normal.z * m[2][0],
            normal.x * m[0][1] + normal.y * m[1][1] + normal.z * m[2][1],
            normal.x * m[0][2] + normal.y * m[1][2] + normal.z * m[2][2] };
    }
};

Device::Device()
    : mRasterizer(std::make_unique<Rasterizer>())
    , mFrame(std::make_unique<Frame>())
{
}

Device::~Device() = default;

void Device::Begin(const Target& target, const Pane& pane, TQ3ColorRGB clear)
{
    Frame& frame = *mFrame;
    frame.opaque.Clear();
    frame.deferred.Clear();
    frame.nextOrder = 0;
    frame.trianglesHeld = s_trianglesHeld ? s_trianglesHeld : TrianglesHeld;
    frame.peakHeld = 0;
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

void Device::SetFog(const Fog& fog) { mFrame->fog = fog; }

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
    pass.shading = ShadingOf(pass);

    // Every point once: to world space for lighting and fog, to frustum
    // space for clipping, and onto the screen when no plane cuts it.
    TQ3Matrix4x4 localToFrustum = Multiply(state.localToWorld, frame.worldToFrustum);
    frame.world.resize(mesh.pointCount);
    frame.clip.resize(mesh.pointCount);
    frame.outcodes.resize(mesh.pointCount);
    frame.screen.resize(mesh.pointCount);
    frame.fogFactors.assign(mesh.pointCount, 1.0f);
    pass.sharedLighting = state.surface.illuminated && mesh.vertexNormals
        && (pass.textured || mesh.vertexColors || !mesh.triangleColors);
    if (pass.sharedLighting) {
        frame.litColors.resize(mesh.pointCount);
        // A new serial marks every point unlit; at wrap-around the marks are reset.
        if (++frame.meshSerial == 0) {
            std::fill(frame.litSerial.begin(), frame.litSerial.end(), 0);
            frame.meshSerial = 1;
        }
        frame.litSerial.resize(std::max<size_t>(frame.litSerial.size(), mesh.pointCount), 0);
    }
    for (uint32_t i = 0; i < mesh.pointCount; ++i) {
        const TQ3Point3D& p = mesh.points[i];
        const auto& f = localToFrustum.value;
        frame.world[i] = TransformAffine(p, state.localToWorld);
        ClipVertex& clip = frame.clip[i];
        clip.x = p.x * f[0][0] + p.y * f[1][0] + p.z * f[2][0] + f[3][0];
        clip.y = p.x * f[0][1] + p.y * f[1][1] + p.z * f[2][1] + f[3][1];
        clip.z = p.x * f[0][2] + p.y * f[1][2] + p.z * f[2][2] + f[3][2];
        clip.w = p.x * f[0][3] + p.y * f[1][3] + p.z * f[2][3] + f[3][3];
        frame.outcodes[i] = ComputeOutcode(clip);
        if (frame.outcodes[i] == 0)
            frame.screen[i] = mRasterizer->Project(clip);
        if (pass.fogged) {
            float distance = Dot(frame.world[i] - frame.eye, frame.viewDirection);
            frame.fogFactors[i] = (frame.fog.end - distance) / (frame.fog.end - frame.fog.start);
        }
    }

    for (uint32_t triangle = 0; triangle < mesh.triangleCount; ++triangle)
        DrawTriangle(pass, triangle);
}

Shading Device::ShadingOf(const MeshPass& pass) const
{
    const Surface& surface = pass.state.surface;
    return { pass.textured ? surface.texture.get() : nullptr, pass.fogged, mFrame->fog.color, surface.uBoundary,
        surface.vBoundary, pass.opacity };
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

    float normalSign = back && state.backfacing == Backfacing::Flip ? -1.0f : 1.0f;
    // Without vertex normals the corners share the face's, made a unit
    // vector once for all three.
    TQ3Vector3D faceNormal {};
    if (!mesh.vertexNormals && state.surface.illuminated) {
        if (mesh.triangleNormals)
            faceNormal = pass.ToWorld(mesh.triangleNormals[triangle]);
        else {
            // Computed in world space, it needs no transform.
            const TQ3Point3D &w0 = frame.world[corners[0]], &w1 = frame.world[corners[1]],
                             &w2 = frame.world[corners[2]];
            faceNormal = Cross(w1 - w0, w2 - w0);
        }
        faceNormal = Normalized(faceNormal * normalSign);
    }
    for (int i = 0; i < 3; ++i) {
        uint32_t point = corners[i];
        TQ3ColorRGB color = CornerColor(pass, triangle, point, faceNormal, normalSign);
        // Premultiplied by the opacity, as texels are by their alpha.
        color = { color.r * pass.opacity, color.g * pass.opacity, color.b * pass.opacity };
        ClipVertex& vertex = pass.polygon[i];
        vertex = frame.clip[point];
        vertex.varyings = { color.r, color.g, color.b, 0, 0, frame.fogFactors[point] };
        if (pass.textured) {
            vertex.varyings[U] = mesh.vertexUVs[point].u;
            vertex.varyings[V] = mesh.vertexUVs[point].v;
        }
    }

    DrawPolygon(pass, corners, o0 | o1 | o2);
}

void Device::DrawPolygon(MeshPass& pass, const uint32_t (&corners)[3], Outcode planes)
{
    Clipper::Polygon& polygon = pass.polygon;
    // Unclipped corners were projected with their points; only the varyings
    // still need dividing by w.
    if (planes == 0) {
        std::array<ScreenVertex, 3> projected;
        for (int i = 0; i < 3; ++i) {
            projected[i] = mFrame->screen[corners[i]];
            for (int k = 0; k < VaryingCount; ++k)
                projected[i].varyings[k] = polygon[i].varyings[k] * projected[i].inverseW;
        }
        return Emit(pass, projected[0], projected[1], projected[2]);
    }
    int count = Clipper::ClipPolygon(polygon, 3, planes);
    if (count < 3)
        return;
    ScreenVertex first = mRasterizer->Project(polygon[0]);
    ScreenVertex previous = mRasterizer->Project(polygon[1]);
    for (int i = 2; i < count; ++i) {
        ScreenVertex next = mRasterizer->Project(polygon[i]);
        Emit(pass, first, previous, next);
        previous = next;
    }
}

void Device::Emit(MeshPass& pass, const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c)
{
    Frame& frame = *mFrame;
    Held& held = pass.deferred ? frame.deferred : frame.opaque;
    if (held.triangles.size() == frame.trianglesHeld) {
        // Past its budget the frame draws what it holds and goes on.
        // Opaque triangles make the same picture in any order, their
        // orders settling ties, so a full opaque list is drawn alone and
        // those less than opaque wait to blend over every opaque one. A
        // full list of those blends over every opaque triangle that came
        // before it, drawn first. Those are sorted only among themselves,
        // and an opaque triangle that comes later, behind one of them,
        // hides it: a scene that deep is drawn in pieces as it comes.
        DrawOpaque();
        if (pass.deferred)
            DrawDeferred();
        pass.batch = NoBatch;
    }
    if (pass.batch == NoBatch) {
        pass.batch = uint32_t(held.batches.size());
        held.batches.push_back({ pass.state.surface.texture, pass.shading });
    }
    held.triangles.push_back({ { a, b, c }, pass.batch, pass.deferred ? NeverFirst : TakeOrder() });
}

TQ3ColorRGB Device::CornerColor(
    const MeshPass& pass, uint32_t triangle, uint32_t point, const TQ3Vector3D& faceNormal, float normalSign)
{
    if (pass.sharedLighting && normalSign > 0) {
        Frame& frame = *mFrame;
        if (frame.litSerial[point] != frame.meshSerial) {
            frame.litColors[point] = LitColor(pass, triangle, point, faceNormal, normalSign);
            frame.litSerial[point] = frame.meshSerial;
        }
        return frame.litColors[point];
    }
    return LitColor(pass, triangle, point, faceNormal, normalSign);
}

TQ3ColorRGB Device::LitColor(
    const MeshPass& pass, uint32_t triangle, uint32_t point, const TQ3Vector3D& faceNormal, float normalSign) const
{
    // Texture (white here), vertex, triangle or diffuse color, times the
    // light unless the surface is unlit.
    const Mesh& mesh = pass.mesh;
    const Surface& surface = pass.state.surface;
    TQ3ColorRGB color = surface.diffuse;
    if (pass.textured)
        color = { 1, 1, 1 };
    else if (mesh.vertexColors)
        color = mesh.vertexColors[point];
    else if (mesh.triangleColors)
        color = mesh.triangleColors[triangle];
    if (!surface.illuminated)
        return color;
    // The face's unit normal serves where the mesh has no vertex normals.
    const TQ3Vector3D normal
        = mesh.vertexNormals ? Normalized(pass.ToWorld(mesh.vertexNormals[point]) * normalSign) : faceNormal;
    return Modulate(color, mFrame->lighting.Illuminate(mFrame->world[point], normal));
}

void Device::DrawEdges(MeshPass& pass, const uint32_t (&corners)[3], bool points)
{
    // Edges and points show the unlit color, without texture.
    Frame& frame = *mFrame;
    const Mesh& mesh = pass.mesh;
    Shading shading { nullptr, pass.fogged, mFrame->fog.color };
    auto ordered = [&] {
        shading.order = TakeOrder();
        return shading;
    };
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
                mRasterizer->DrawPoint(mRasterizer->Project(a), ordered());
            continue;
        }
        ClipVertex b = vertexAt(corners[(i + 1) % 3]);
        Outcode planes = code | frame.outcodes[corners[(i + 1) % 3]];
        if (Clipper::ClipSegment(a, b, planes))
            mRasterizer->DrawLine(mRasterizer->Project(a), mRasterizer->Project(b), ordered());
    }
}

void Device::End()
{
    DrawOpaque();
    DrawDeferred();
    s_peakTrianglesHeld = mFrame->peakHeld;
}

uint64_t Device::ShadedPixels() const { return mRasterizer->ShadedPixels(); }

uint32_t Device::TakeOrder()
{
    // Past the last order the rest share it; no frame comes near.
    Frame& frame = *mFrame;
    return frame.nextOrder < NeverFirst - 1 ? frame.nextOrder++ : frame.nextOrder;
}

void Device::DrawOpaque()
{
    // A counting sort by slice, which keeps the order within each.
    Frame& frame = *mFrame;
    const std::vector<KeptTriangle>& opaque = frame.opaque.triangles;
    frame.peakHeld = std::max(frame.peakHeld, uint32_t(opaque.size()));
    std::array<uint32_t, DepthSlices + 1> starts {};
    frame.slices.resize(opaque.size());
    for (size_t i = 0; i < opaque.size(); ++i) {
        frame.slices[i] = uint32_t(SliceOf(opaque[i]));
        ++starts[frame.slices[i] + 1];
    }
    for (int slice = 0; slice < DepthSlices; ++slice)
        starts[slice + 1] += starts[slice];
    frame.nearestFirst.resize(opaque.size());
    for (size_t i = 0; i < opaque.size(); ++i)
        frame.nearestFirst[starts[frame.slices[i]]++] = uint32_t(i);
    for (uint32_t index : frame.nearestFirst)
        DrawKept(*mRasterizer, opaque[index], frame.opaque);
    frame.opaque.Clear();
}

void Device::DrawDeferred()
{
    // Farthest first, each blended over what lies behind it.
    Frame& frame = *mFrame;
    std::vector<KeptTriangle>& deferred = frame.deferred.triangles;
    frame.peakHeld = std::max(frame.peakHeld, uint32_t(deferred.size()));
    auto centreDepth = [](const KeptTriangle& triangle) {
        return (triangle.corners[0].depth + triangle.corners[1].depth + triangle.corners[2].depth) / 3;
    };
    std::stable_sort(deferred.begin(), deferred.end(),
        [&](const KeptTriangle& a, const KeptTriangle& b) { return centreDepth(a) > centreDepth(b); });
    for (const KeptTriangle& triangle : deferred)
        DrawKept(*mRasterizer, triangle, frame.deferred);
    frame.deferred.Clear();
}

}

using namespace q3::render;

void Q3Debug_SetTrianglesHeld(TQ3Uns32 triangles) { s_trianglesHeld = triangles; }

TQ3Uns32 Q3Debug_PeakTrianglesHeld(void) { return s_peakTrianglesHeld; }
