#pragma once

// Small scenes shared by the picking, bounding and rendering tests.

#include <q3/Q3.h>

#include <array>

namespace fixtures {

constexpr float QuarterTurn = 3.14159265f / 2;

// A camera at (0, 0, 10) looking down -z with a quarter-turn field of view.
inline TQ3CameraObject Camera(float hither = 1, float yon = 100)
{
    TQ3ViewAngleAspectCameraData data {};
    data.cameraData.placement = { { 0, 0, 10 }, { 0, 0, 0 }, { 0, 1, 0 } };
    data.cameraData.range = { hither, yon };
    data.cameraData.viewPort = { { -1, 1 }, 2, 2 };
    data.fov = QuarterTurn;
    data.aspectRatioXToY = 1;
    return Q3ViewAngleAspectCamera_New(&data);
}

// A square in the plane z = `z`, from -half to +half, counter-clockwise
// seen from +z, with UVs 0..uvScale.
struct Quad {
    std::array<TQ3Point3D, 4> points;
    std::array<TQ3TriMeshTriangleData, 2> triangles { { { { 0, 1, 2 } }, { { 0, 2, 3 } } } };
    std::array<TQ3Param2D, 4> uvs;
    TQ3TriMeshAttributeData uvAttribute { kQ3AttributeTypeSurfaceUV, uvs.data(), nullptr };
    TQ3TriMeshData data {};

    explicit Quad(float half, float z = 0, float uvLow = 0, float uvHigh = 1)
        : points { { { -half, -half, z }, { half, -half, z }, { half, half, z }, { -half, half, z } } }
        , uvs { { { uvLow, uvLow }, { uvHigh, uvLow }, { uvHigh, uvHigh }, { uvLow, uvHigh } } }
    {
        data.numTriangles = 2;
        data.triangles = triangles.data();
        data.numPoints = 4;
        data.points = points.data();
        data.numVertexAttributeTypes = 1;
        data.vertexAttributeTypes = &uvAttribute;
    }
    Quad(const Quad&) = delete;
};

// A view with a camera and a pixmap draw context over `pixels`.
inline TQ3ViewObject View(void* pixels, TQ3Uns32 width, TQ3Uns32 height, TQ3CameraObject camera)
{
    TQ3PixmapDrawContextData data {};
    data.drawContextData.clearImageMethod = kQ3ClearMethodWithColor;
    data.drawContextData.clearImageColor = { 0, 0, 0, 0 };
    data.pixmap = { pixels, width, height, width * 4, 32, kQ3PixelTypeRGB32, kQ3EndianLittle, kQ3EndianBig };
    TQ3DrawContextObject context = Q3PixmapDrawContext_New(&data);
    TQ3ViewObject view = Q3View_New();
    Q3View_SetDrawContext(view, context);
    Q3View_SetCamera(view, camera);
    TQ3RendererObject renderer = Q3Renderer_NewFromType(kQ3RendererTypeInteractive);
    Q3View_SetRenderer(view, renderer);
    Q3Object_Dispose(renderer);
    Q3Object_Dispose(context);
    return view;
}

// Levels of display groups, each holding the one below twice, over
// `bottom`: 2^levels paths lead from the top to the bottom. Takes the
// caller's reference to `bottom` and hands back one to the top.
inline TQ3Object DoubledLevels(TQ3Object bottom, int levels)
{
    TQ3Object top = bottom;
    for (int level = 0; level < levels; ++level) {
        TQ3GroupObject group = Q3DisplayGroup_New();
        Q3Group_AddObject(group, top);
        Q3Group_AddObject(group, top);
        Q3Object_Dispose(top);
        top = group;
    }
    return top;
}

}
