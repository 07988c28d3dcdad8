#include "Color.h"
#include "Element3D.h"
#include "HostServices.h"
#include "Lx3DUtil.h"
#include "Vector3D.h"
#include "ViewParts.h"

#include <carbon/Carbon.h>

#include <cstring>

namespace lx3d {

namespace {

    constexpr int MaximumPasses = 100;
    constexpr float PickTolerance = 2.0f; // pixels
    constexpr int16_t OffscreenDepth = 32;

    using MouseDownHandler = LxBoolean (*)(LxObject* control, LxInteger x, LxInteger y);
    using MouseHandler = void (*)(LxObject* control, LxInteger x, LxInteger y);

    LxRect ControlBounds(LxObject* control)
    {
        LxRect bounds {};
        GetControlBounds(control, &bounds);
        return bounds;
    }

    template <class Handler> Handler HandlerOf(LxObject* control, ViewEvent event)
    {
        return reinterpret_cast<Handler>(GetEventInstance(control, ViewEventWord(event)));
    }

    // The application sees the mouse relative to the control's top-left corner.
    void RaiseMouse(LxObject* control, ViewEvent event, LxInteger x, LxInteger y)
    {
        if (auto handler = HandlerOf<MouseHandler>(control, event)) {
            LxRect bounds = ControlBounds(control);
            handler(control, x - bounds.left, y - bounds.top);
        }
    }

    struct Hit {
        LxObject* element = nullptr; // borrowed
        TQ3Point3D point {};
    };

    bool FitsWindowCoordinate(int64_t value) { return value >= INT16_MIN && value <= INT16_MAX; }

    // A hit counts only with both its pick ID and its point, and only when
    // the ID names a live element.
    bool ReadHit(TQ3PickObject pick, Hit& hit)
    {
        TQ3Uns32 count = 0;
        TQ3PickDetail mask = kQ3PickDetailNone;
        constexpr TQ3PickDetail needed = kQ3PickDetailMaskPickID | kQ3PickDetailMaskXYZ;
        if (Q3Pick_GetNumHits(pick, &count) != kQ3Success || count == 0
            || Q3Pick_GetPickDetailValidMask(pick, 0, &mask) != kQ3Success || (mask & needed) != needed)
            return false;
        TQ3Uns32 pickId = 0;
        Q3Pick_GetPickDetailData(pick, 0, kQ3PickDetailMaskPickID, &pickId);
        Q3Pick_GetPickDetailData(pick, 0, kQ3PickDetailMaskXYZ, &hit.point);
        hit.element = ElementFromPickId(pickId);
        return hit.element != nullptr;
    }

    // The nearest element under a point in window coordinates. Only the
    // backdrop and the scene take part: the debug cube cannot be hit.
    bool PickAt(Lx3DSpaceData* me, int64_t x, int64_t y, Hit& hit)
    {
        UpdateCamera(me);
        if (!me->mView || !FitsWindowCoordinate(x) || !FitsWindowCoordinate(y))
            return false;
        TQ3WindowPointPickData data {
            { kQ3PickSortNearToFar, kQ3PickDetailMaskPickID | kQ3PickDetailMaskXYZ, 1 },
            { float(x), float(y) },
            PickTolerance,
            PickTolerance,
        };
        TQ3PickObject pick = Q3WindowPointPick_New(&data);
        Q3View_StartPicking(me->mView, pick);
        int passes = 0;
        do {
            Q3BackfacingStyle_Submit(me->backfacingStyle, me->mView);
            SubmitElement(me->Background, me->mView);
            SubmitElement(me->Objects, me->mView);
        } while (Q3View_EndPicking(me->mView) == kQ3ViewStatusRetraverse && ++passes < MaximumPasses);
        const bool found = ReadHit(pick, hit);
        Q3Pick_EmptyHitList(pick);
        Q3Object_Dispose(pick);
        return found;
    }

    bool PickInControl(LxObject* control, LxInteger x, LxInteger y, Hit& hit)
    {
        Lx3DSpaceData* me = ViewOf(control);
        if (!me)
            return false;
        LxRect bounds = ControlBounds(control);
        return PickAt(me, int64_t(x) + bounds.left, int64_t(y) + bounds.top, hit);
    }

    // Before the view can draw anything the picture shows the sky.
    void FillWithSky(char* base, int32_t width, int32_t height, int32_t rowBytes, LxColor sky)
    {
        const ChannelBytes bytes = ChannelsOf(sky);
        const uint8_t pixel[4] = { 0, bytes.red, bytes.green, bytes.blue };
        for (int32_t y = 0; y < height; ++y) {
            for (int32_t x = 0; x < width; ++x)
                std::memcpy(base + std::ptrdiff_t(y) * rowBytes + std::ptrdiff_t(x) * 4, pixel, sizeof pixel);
        }
    }

    TQ3PixmapDrawContextData OffscreenContextData(
        const Lx3DSpaceData* me, char* base, int32_t width, int32_t height, int32_t rowBytes)
    {
        TQ3PixmapDrawContextData data {};
        data.drawContextData.clearImageMethod = kQ3ClearMethodWithColor;
        data.drawContextData.clearImageColor = SkyClearColor(me);
        data.drawContextData.paneState = kQ3False;
        data.drawContextData.maskState = kQ3False;
        data.drawContextData.doubleBufferState = kQ3False;
        data.pixmap = { base, TQ3Uns32(width), TQ3Uns32(height), TQ3Uns32(rowBytes), TQ3Uns32(OffscreenDepth),
            kQ3PixelTypeRGB32, kQ3EndianLittle, kQ3EndianBig };
        return data;
    }

    // Hands a part the control's view has to the temporary view.
    void SharePart(TQ3ViewObject from, TQ3ViewObject to, TQ3Status (*get)(TQ3ViewObject, TQ3Object*),
        TQ3Status (*set)(TQ3ViewObject, TQ3Object))
    {
        TQ3Object part = nullptr;
        if (get(from, &part) == kQ3Success) {
            set(to, part);
            Q3Object_Dispose(part);
        }
    }

    // One frame of the scene into the pixels, through a view of its own
    // that shares the control view's camera, unchanged, and its lights.
    void RenderOffscreen(Lx3DSpaceData* me, char* base, int32_t width, int32_t height, int32_t rowBytes)
    {
        TQ3PixmapDrawContextData data = OffscreenContextData(me, base, width, height, rowBytes);
        TQ3ViewObject view = Q3View_New();
        TQ3DrawContextObject context = Q3PixmapDrawContext_New(&data);
        Q3View_SetDrawContext(view, context);
        Q3Object_Dispose(context);
        SharePart(me->mView, view, Q3View_GetCamera, Q3View_SetCamera);
        TQ3RendererObject renderer = NewRenderer(me);
        Q3View_SetRenderer(view, renderer);
        Q3Object_Dispose(renderer);
        SharePart(me->mView, view, Q3View_GetLightGroup, Q3View_SetLightGroup);

        TQ3ViewObject controlView = me->mView;
        me->mView = view;
        RenderScene(me);
        me->mView = controlView;
        Q3Object_Dispose(view);
    }

    bool ComputeFrustumPlanes(Lx3DSpaceData* me)
    {
        // The corners of the frustum box: the near face at z = 0, the far one at z = -1.
        static constexpr TQ3Point3D corners[8] = { { -1, 1, 0 }, { 1, 1, 0 }, { 1, -1, 0 }, { -1, -1, 0 },
            { -1, 1, -1 }, { 1, 1, -1 }, { 1, -1, -1 }, { -1, -1, -1 } };
        // Three corners of each face, ordered so that the normal points inside.
        static constexpr int faces[FrustumPlaneCount][3]
            = { { 0, 1, 2 }, { 6, 5, 4 }, { 4, 5, 1 }, { 7, 3, 2 }, { 0, 3, 7 }, { 6, 2, 5 } };
        TQ3Matrix4x4 frustumToWorld {};
        // A camera that sees nothing has no frustum to bound.
        if (!Q3Matrix4x4_Invert(&me->worldToFrustum, &frustumToWorld))
            return false;
        TQ3Point3D world[8] {};
        for (int i = 0; i < 8; ++i)
            Q3Point3D_Transform(&corners[i], &frustumToWorld, &world[i]);
        for (std::size_t i = 0; i < FrustumPlaneCount; ++i) {
            const TQ3Point3D& a = world[faces[i][0]];
            const TQ3Point3D& b = world[faces[i][1]];
            const TQ3Point3D& c = world[faces[i][2]];
            TQ3Vector3D normal {};
            Q3Point3D_CrossProductTri(&a, &b, &c, &normal);
            Q3Vector3D_Normalize(&normal, &normal);
            me->planes[i] = { normal.x, normal.y, normal.z, -q3::Dot(normal, AsVector(b)) };
        }
        me->planesValid = true;
        return true;
    }

}

LxBoolean OnClick(LxObject* control, LxInteger x, LxInteger y)
{
    auto handler = HandlerOf<MouseDownHandler>(control, ViewEvent::MouseDown);
    if (!handler)
        return false;
    LxRect bounds = ControlBounds(control);
    return handler(control, x - bounds.left, y - bounds.top) ? 1 : 0;
}

void OnMouseDrag(LxObject* control, LxInteger x, LxInteger y) { RaiseMouse(control, ViewEvent::MouseDrag, x, y); }

void OnMouseUp(LxObject* control, LxInteger x, LxInteger y) { RaiseMouse(control, ViewEvent::MouseUp, x, y); }

LxObject* FindObject(LxObject* control, LxInteger x, LxInteger y)
{
    Hit hit;
    if (!PickInControl(control, x, y, hit))
        return nullptr;
    VANTLockObject(hit.element);
    return hit.element;
}

LxObject* FindPoint(LxObject* control, LxInteger x, LxInteger y)
{
    Hit hit;
    return PickInControl(control, x, y, hit) ? NewVector3DWith(AsVector(hit.point)) : nullptr;
}

LxInteger ViewHandle(LxObject* control)
{
    Lx3DSpaceData* me = ViewOf(control);
    if (!me)
        return 0;
    UpdateCamera(me);
    return LxInteger(Q3Object_GetId(me->mView));
}

LxObject* GetPicture(LxObject* control) { return GetPictureSized(control, 0, 0, 0); }

// The depth is not used: the picture is always made from 32-bit pixels.
LxObject* GetPictureSized(LxObject* control, LxInteger width, LxInteger height, LxInteger)
{
    Lx3DSpaceData* me = ViewOf(control);
    // A closed view has no scene left to show.
    if (!me || me->closed)
        return nullptr;
    LxRect bounds = ControlBounds(control);
    const int32_t w = width < 1 ? bounds.right - bounds.left : width;
    const int32_t h = height < 1 ? bounds.bottom - bounds.top : height;
    // The host's pictures share the off-screen worlds' limit.
    if (w < 1 || h < 1 || w > kMaxGWorldSide || h > kMaxGWorldSide)
        return nullptr;
    Rect rect { 0, 0, int16_t(h), int16_t(w) };
    GWorldPtr world = nullptr;
    if (NewGWorld(&world, OffscreenDepth, &rect, nullptr, nullptr, 0) != noErr || !world)
        return nullptr;
    PixMapHandle pixels = GetGWorldPixMap(world);
    LockPixels(pixels);
    char* base = GetPixBaseAddr(pixels);
    const int32_t rowBytes = PixRowBytes(pixels);
    FillWithSky(base, w, h, rowBytes, me->SkyColor);
    RenderOffscreen(me, base, w, h, rowBytes);
    LxObject* picture = VANTBuildPictureFromBuffer(w, h, LxPictureFormatOffscreen32, base, rowBytes);
    UnlockPixels(pixels);
    DisposeGWorld(world);
    return picture;
}

void OnDrawOffscreen(LxObject* control, LxObject* graphics)
{
    LxRect bounds = ControlBounds(control);
    if (!VANTinRuntime()) {
        SelectGraphics(graphics);
        DrawPlaceholder(bounds, ViewOf(control));
        return;
    }
    LxObject* picture = GetPicture(control);
    if (!picture)
        return;
    SelectGraphics(graphics);
    drawPicturePrimitive(picture, &bounds, 0);
    VANTUnlockObject(picture);
}

const FrustumPlane* ViewFrustumPlanes(LxObject* control)
{
    Lx3DSpaceData* me = ViewOf(control);
    if (!me)
        return nullptr;
    UpdateCamera(me);
    if (!me->mCamera || (!me->planesValid && !ComputeFrustumPlanes(me)))
        return nullptr;
    return me->planes;
}

}
