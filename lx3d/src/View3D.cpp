#include "View3D.h"

#include "Color.h"
#include "Element3D.h"
#include "HostServices.h"
#include "Records.h"
#include "Vector3D.h"
#include "ViewParts.h"

#include <carbon/Carbon.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

namespace lx3d {

namespace {

    constexpr uint32_t ControlFlags = 8;
    constexpr uint32_t PaletteId = 128;
    constexpr uint32_t PressedPaletteId = 129;
    constexpr uint32_t DefaultSize = 256;

    constexpr float DefaultHither = 5.0f;
    constexpr float DefaultYon = 5000.0f;
    constexpr LxInteger DefaultFieldOfView = 50;
    constexpr LxColor DefaultSkyColor = 0xC8C8FF;
    constexpr LxInteger DefaultAmbientLight = 30;
    constexpr LxInteger DefaultFloodLight = 90;
    constexpr LxColor White = 0xFFFFFF;
    constexpr TQ3Vector3D DefaultFloodDirection { 0.18f, -0.8f, 0.22f };
    constexpr float FogDensity = 1.0f;

    // A near plane at or behind the eye is replaced by this one.
    constexpr float NearestHither = 0.5f;
    // The camera's range when the view is made, if the stored one is not positive.
    constexpr float CreationHither = 0.1f;
    constexpr float CreationYon = 10000.0f;
    constexpr LxInteger MinimumFieldOfView = 5;
    constexpr LxInteger MaximumFieldOfView = 160;
    constexpr float RadiansPerDegree = 0.0174532925f;
    constexpr LxInteger MaximumPercent = 100;
    constexpr float PercentScale = 100.0f;
    constexpr float HalfTurn = 3.1415927f;

    constexpr uint32_t AmbientPosition = 0;
    constexpr uint32_t FloodPosition = 1;

    // The window's camera: from above the origin, looking at it; the first
    // camera update then places it where the Camera element is.
    constexpr TQ3CameraPlacement CreationPlacement { { 0, 1, 10 }, { 0, 0, 0 }, { 0, 1, 0 } };
    constexpr TQ3CameraViewPort FullViewPort { { -1, 1 }, 2, 2 };

    Lx3DSpaceData* Me(LxObject* control) { return ViewOf(control); }

    // A float property read as an Integer, truncated toward zero and held
    // inside the Integer's range.
    LxInteger Truncated(float value)
    {
        if (std::isnan(value))
            return 0;
        return static_cast<LxInteger>(std::clamp(std::trunc(double(value)), double(INT32_MIN), double(INT32_MAX)));
    }

    float PositiveOr(LxInteger value, float fallback) { return value > 0 ? float(value) : fallback; }

    // The range, field of view and aspect also shape the frustum, so the
    // planes are found again after any of them changes.
    void CameraShapeChanged(Lx3DSpaceData* me)
    {
        Q3Camera_GetWorldToFrustum(me->mCamera, &me->worldToFrustum);
        me->planesValid = false;
    }

    void ApplyRange(Lx3DSpaceData* me)
    {
        if (!me->mCamera)
            return;
        TQ3CameraRange range { me->Hither, me->Yon };
        Q3Camera_SetRange(me->mCamera, &range);
        CameraShapeChanged(me);
    }

    void ApplyFogStart(Lx3DSpaceData* me) { me->fog.fogStart = std::max(me->Hither, me->FogStart); }

    void OnConstruct(LxObject* control)
    {
        Lx3DSpaceData* me = Me(control);
        me->Hither = DefaultHither;
        me->Yon = DefaultYon;
        me->FieldOfView = DefaultFieldOfView;
        me->SkyColor = DefaultSkyColor;
        me->AmbientLight = DefaultAmbientLight;
        me->AmbientColor = White;
        me->FloodLight = DefaultFloodLight;
        me->FloodColor = White;
        me->interpolationStyle = kQ3InterpolationStyleVertex;
        me->backfacingStyle = kQ3BackfacingStyleRemove;
        me->fillStyle = kQ3FillStyleFilled;
        me->fog = { kQ3On, kQ3FogModeLinear, DefaultHither, DefaultYon, FogDensity, {} };
        me->lights.growStep = LightGrowStep;
    }

    // Takes over a new object's reference; what the slot held before is dropped.
    void Adopt(LxObject*& slot, LxObject* object)
    {
        DropReference(slot);
        slot = object;
    }

    void OnOpen(LxObject* control)
    {
        if (!VANTinRuntime())
            return;
        Lx3DSpaceData* me = Me(control);
        AcquireQuesa();
        Adopt(me->Camera, PluginNewInstance("Element3D"));
        if (me->Camera) {
            // The default camera looks along -z.
            TQ3Quaternion turn {};
            TQ3Vector3D axis { 0, 1, 0 };
            Q3Quaternion_SetRotateAboutAxis(&turn, &axis, HalfTurn);
            SetOrientation(me->Camera, turn);
        }
        Adopt(me->Objects, PluginNewInstance("Group3D"));
        VIEW3D_ASSERT(me->Objects, "me->mObjects");
        Adopt(me->FloodDirection, NewVector3DWith(DefaultFloodDirection));
    }

    template <class T> void DisposeSlot(T& slot)
    {
        if (slot) {
            Q3Object_Dispose(slot);
            slot = nullptr;
        }
    }

    // The control has no behaviour for its destruction, so the lights' block
    // and places go here with their references; a closed control is never
    // drawn again.
    void ReleaseLights(Lx3DSpaceData* me)
    {
        ObjectArray& lights = me->lights;
        for (uint32_t i = 0; i < lights.count; ++i) {
            if (auto* light = static_cast<LxObject*>(lights.At(i)))
                VANTUnlockObject(light);
        }
        lights.Clear();
        ForgetLightPlaces(me);
    }

    void OnClose(LxObject* control)
    {
        if (!VANTinRuntime())
            return;
        Lx3DSpaceData* me = Me(control);
        DisposeSlot(me->mRenderer);
        DisposeSlot(me->mCamera);
        DisposeSlot(me->drawContext);
        DisposeSlot(me->mView);
        DisposeSlot(me->mShader);
        DisposeSlot(me->lightGroup);
        DisposeSlot(me->debugCubeGroup);
        me->planesValid = false;
        DropReference(me->Background);
        DropReference(me->Camera);
        DropReference(me->Objects);
        DropReference(me->FloodDirection);
        ReleaseLights(me);
        me->closed = 1;
        ReleaseQuesa();
    }

    LxInteger GetHither(LxObject* control, intptr_t) { return Truncated(Me(control)->Hither); }

    void SetHither(LxObject* control, intptr_t, LxInteger value)
    {
        Lx3DSpaceData* me = Me(control);
        me->Hither = PositiveOr(value, NearestHither);
        ApplyFogStart(me);
        ApplyRange(me);
    }

    LxInteger GetYon(LxObject* control, intptr_t) { return Truncated(Me(control)->Yon); }

    void SetYon(LxObject* control, intptr_t, LxInteger value)
    {
        Lx3DSpaceData* me = Me(control);
        me->Yon = float(value);
        me->fog.fogEnd = me->Yon;
        ApplyRange(me);
    }

    LxInteger GetFogStart(LxObject* control, intptr_t) { return Truncated(Me(control)->FogStart); }

    void SetFogStart(LxObject* control, intptr_t, LxInteger value)
    {
        Lx3DSpaceData* me = Me(control);
        me->FogStart = PositiveOr(value, NearestHither);
        ApplyFogStart(me);
    }

    void SetFieldOfView(LxObject* control, intptr_t, LxInteger value)
    {
        Lx3DSpaceData* me = Me(control);
        me->FieldOfView = std::clamp(value, MinimumFieldOfView, MaximumFieldOfView);
        if (me->mCamera) {
            Q3ViewAngleAspectCamera_SetFOV(me->mCamera, float(me->FieldOfView) * RadiansPerDegree);
            CameraShapeChanged(me);
        }
    }

    void SetSkyColor(LxObject* control, intptr_t, LxColor value)
    {
        Lx3DSpaceData* me = Me(control);
        me->SkyColor = value;
        if (!VANTinRuntime()) {
            VANTInvalidateControl(control);
            return;
        }
        TQ3DrawContextObject context = nullptr;
        if (!me->mView || Q3View_GetDrawContext(me->mView, &context) != kQ3Success)
            return;
        TQ3ColorARGB clear = SkyClearColor(me);
        Q3DrawContext_SetClearImageColor(context, &clear);
        me->drawContextData.drawContextData.clearImageColor = clear;
        me->fog.color = clear;
        Q3Object_Dispose(context);
    }

    // The shared accessors of the two view lights: parameter 0 is the
    // ambient light, 1 the flood light; any other names nothing.
    template <class T>
    T* ViewLightField(LxObject* control, intptr_t which, T Lx3DSpaceData::*ambient, T Lx3DSpaceData::*flood)
    {
        Lx3DSpaceData* me = Me(control);
        return which == AmbientPosition ? &(me->*ambient) : which == FloodPosition ? &(me->*flood) : nullptr;
    }

    LxInteger* LightLevelField(LxObject* control, intptr_t which)
    {
        return ViewLightField(control, which, &Lx3DSpaceData::AmbientLight, &Lx3DSpaceData::FloodLight);
    }

    LxColor* LightColorField(LxObject* control, intptr_t which)
    {
        return ViewLightField(control, which, &Lx3DSpaceData::AmbientColor, &Lx3DSpaceData::FloodColor);
    }

    // Changes the view light at that light-group position, once the view has it.
    template <class Change> void ChangeViewLight(LxObject* control, intptr_t which, Change change)
    {
        if (TQ3Object light = GetLightGroupItem(Me(control), uint32_t(which))) {
            change(light);
            Q3Object_Dispose(light);
        }
    }

    LxInteger GetLightLevel(LxObject* control, intptr_t which)
    {
        LxInteger* field = LightLevelField(control, which);
        return field ? *field : 0;
    }

    void SetLightLevel(LxObject* control, intptr_t which, LxInteger value)
    {
        LxInteger* field = LightLevelField(control, which);
        if (!field)
            return;
        *field = std::clamp(value, 0, MaximumPercent);
        ChangeViewLight(control, which, [&](TQ3Object light) {
            Q3Light_SetBrightness(light, float(*field) / PercentScale);
            Q3Light_SetState(light, *field > 0 ? kQ3True : kQ3False);
        });
    }

    LxColor GetLightColor(LxObject* control, intptr_t which)
    {
        LxColor* field = LightColorField(control, which);
        return field ? *field : 0;
    }

    void SetLightColor(LxObject* control, intptr_t which, LxColor value)
    {
        LxColor* field = LightColorField(control, which);
        if (!field)
            return;
        *field = value;
        TQ3ColorRGB color = UnpackColor(value);
        ChangeViewLight(control, which, [&](TQ3Object light) { Q3Light_SetColor(light, &color); });
    }

    void SetWireframe(LxObject* control, intptr_t, LxBoolean value)
    {
        Lx3DSpaceData* me = Me(control);
        me->Wireframe = value ? 1 : 0;
        if (!VANTinRuntime() || !me->mRenderer)
            return;
        Q3Object_Dispose(me->mRenderer);
        me->mRenderer = NewRenderer(me);
        CheckQuesaStatus(Q3View_SetRenderer(me->mView, me->mRenderer), __FILE_NAME__, __LINE__);
    }

    LxInteger GetLightCount(LxObject* control, intptr_t) { return LxInteger(Me(control)->lights.count); }

    // Adds a new light to the light group and gives up the creator's reference.
    void AddToLightGroup(Lx3DSpaceData* me, TQ3LightObject light)
    {
        Q3Group_AddObject(me->lightGroup, light);
        Q3Object_Dispose(light);
    }

    TQ3LightData ViewLightData(LxInteger level, LxColor color)
    {
        return { kQ3True, float(level) / PercentScale, UnpackColor(color) };
    }

    void MakeLightGroup(Lx3DSpaceData* me)
    {
        me->lightGroup = Q3LightGroup_New();
        Q3View_SetLightGroup(me->mView, me->lightGroup);
        TQ3LightData ambient = ViewLightData(me->AmbientLight, me->AmbientColor);
        AddToLightGroup(me, Q3AmbientLight_New(&ambient));
        TQ3Vector3D direction = VectorValue(me->FloodDirection, DefaultFloodDirection);
        TQ3DirectionalLightData flood { ViewLightData(me->FloodLight, me->FloodColor), kQ3False, {} };
        Q3Vector3D_Normalize(&direction, &flood.direction);
        AddToLightGroup(me, Q3DirectionalLight_New(&flood));
        // The lights added before the view existed take their places at its
        // first update of the lights.
    }

    TQ3MacDrawContextData WindowContextData(Lx3DSpaceData* me, const LxRect& bounds, LxObject* control)
    {
        TQ3MacDrawContextData data {};
        data.drawContextData.clearImageMethod = kQ3ClearMethodWithColor;
        data.drawContextData.clearImageColor = SkyClearColor(me);
        data.drawContextData.pane = PaneOf(bounds);
        data.drawContextData.paneState = kQ3True;
        data.drawContextData.maskState = kQ3False;
        data.drawContextData.doubleBufferState = kQ3True;
        data.window = static_cast<WindowRef>(VANTGetWindowHandle(getControlWindow(control)));
        data.library = kQ3Mac2DLibraryNone;
        return data;
    }

    TQ3ViewAngleAspectCameraData CreationCamera(const Lx3DSpaceData* me, const LxRect& bounds)
    {
        TQ3ViewAngleAspectCameraData data {};
        data.cameraData.placement = CreationPlacement;
        data.cameraData.range = { me->Hither > 0 ? me->Hither : CreationHither, me->Yon > 0 ? me->Yon : CreationYon };
        data.cameraData.viewPort = FullViewPort;
        data.fov = float(me->FieldOfView) * RadiansPerDegree;
        data.aspectRatioXToY = AspectRatio(bounds);
        return data;
    }

    LxPropertyRow Row(const char* group, const char* name, const char* type, LxFunction getter, LxFunction setter,
        std::size_t param, uint32_t flags = 0)
    {
        return { group, name, type, flags, getter, setter, static_cast<intptr_t>(param) };
    }

    constexpr const char* Initial = "Initial State";
    constexpr const char* Runtime = "Runtime State";
    const LxFunction Field = LxFieldAccessor;

    LxPropertyRow gProperties[] = {
        Row(Initial, "Hither", "Integer", Fn(GetHither), Fn(SetHither), offsetof(Lx3DSpaceData, Hither)),
        Row(Initial, "Yon", "Integer", Fn(GetYon), Fn(SetYon), offsetof(Lx3DSpaceData, Yon)),
        Row(Initial, "FieldOfView", "Integer", Field, Fn(SetFieldOfView), offsetof(Lx3DSpaceData, FieldOfView)),
        Row(Initial, "SkyColor", "Color", Field, Fn(SetSkyColor), offsetof(Lx3DSpaceData, SkyColor)),
        Row(Initial, "AmbientLight", "Integer", Fn(GetLightLevel), Fn(SetLightLevel), AmbientPosition),
        Row(Initial, "AmbientColor", "Color", Fn(GetLightColor), Fn(SetLightColor), AmbientPosition),
        Row(Initial, "FloodLight", "Integer", Fn(GetLightLevel), Fn(SetLightLevel), FloodPosition),
        Row(Initial, "FloodColor", "Color", Fn(GetLightColor), Fn(SetLightColor), FloodPosition),
        Row(Initial, "FloodDirection", "Vector3D", Field, Field, offsetof(Lx3DSpaceData, FloodDirection),
            LxPropertyObjectFlag),
        Row(Initial, "FogVisible", "Boolean", Field, Field, offsetof(Lx3DSpaceData, FogVisible)),
        Row(Initial, "FogStart", "Integer", Fn(GetFogStart), Fn(SetFogStart), offsetof(Lx3DSpaceData, FogStart)),
        Row(Initial, "Wireframe", "Boolean", Field, Fn(SetWireframe), offsetof(Lx3DSpaceData, Wireframe)),
        Row(Initial, "DebugCube", "Boolean", Field, Field, offsetof(Lx3DSpaceData, DebugCube)),
        Row(Runtime, "Background", "Object3D", Field, Field, offsetof(Lx3DSpaceData, Background), LxPropertyObjectFlag),
        Row(Runtime, "Camera", "Object3D", Field, Field, offsetof(Lx3DSpaceData, Camera), LxPropertyObjectFlag),
        Row(Runtime, "Objects", "Group3D", Field, Field, offsetof(Lx3DSpaceData, Objects), LxPropertyObjectFlag),
        Row(Runtime, "LightCount", "Integer", Fn(GetLightCount), nullptr, 0, LxPropertyObjectFlag),
    };

    LxMethodRow gMethods[] = {
        Method(Fn(FindObject), "FindObject(X as Integer, Y as Integer) as Object3D"),
        Method(Fn(FindPoint), "FindPoint(X as Integer, Y as Integer) as Vector3D"),
        Method(Fn(Update), "Update"),
        Method(Fn(AddLight), "AddLight(light as Light3D)"),
        Method(Fn(RemoveLightAt), "RemoveLight(index as Integer)"),
        Method(Fn(RemoveLight), "RemoveLight(light as Light3D)"),
        Method(Fn(Light), "Light(index as Integer) As Light3D", Fn(SetLight)),
        Method(Fn(ViewHandle), "ViewHandle() As Integer"),
        Method(Fn(GetPicture), "GetPicture as Picture"),
        Method(Fn(GetPictureSized), "GetPicture(width as Integer, height as Integer, depth as Integer) as Picture"),
    };

    LxEventRow gEvents[] = {
        { "MouseDown(X As Integer, Y As Integer) As Boolean", 0 },
        { "MouseDrag(X As Integer, Y As Integer)", 0 },
        { "MouseUp(X As Integer, Y As Integer)", 0 },
    };

    LxBehaviourTable MakeBehaviourTable()
    {
        LxBehaviourTable table {};
        table.slots[LxBehaviourConstruct] = Fn(OnConstruct);
        table.slots[LxBehaviourRedraw] = Fn(OnRedraw);
        table.slots[LxBehaviourMouseDown] = Fn(OnClick);
        table.slots[LxBehaviourMouseDrag] = Fn(OnMouseDrag);
        table.slots[LxBehaviourMouseUp] = Fn(OnMouseUp);
        table.slots[LxBehaviourOpen] = Fn(OnOpen);
        table.slots[LxBehaviourClose] = Fn(OnClose);
        table.slots[LxBehaviourDrawOffscreen] = Fn(OnDrawOffscreen);
        return table;
    }

    const LxBehaviourTable gBehaviour = MakeBehaviourTable();

    LxControlRecord gRecord {
        .version = LxRecordVersion,
        .name = "Lx3DSpace",
        .dataSize = sizeof(Lx3DSpaceData),
        .flags = ControlFlags,
        .paletteId = PaletteId,
        .pressedPaletteId = PressedPaletteId,
        .defaultWidth = DefaultSize,
        .defaultHeight = DefaultSize,
        .properties = gProperties,
        .propertyCount = std::size(gProperties),
        .methods = gMethods,
        .methodCount = std::size(gMethods),
        .events = gEvents,
        .eventCount = std::size(gEvents),
        .behaviour = &gBehaviour,
        .dataOffset = 0,
    };

}

LxControlRecord& Lx3DSpaceRecord() { return gRecord; }

Lx3DSpaceData* ViewOf(LxObject* control)
{
    return control ? static_cast<Lx3DSpaceData*>(ControlData(control)) : nullptr;
}

uintptr_t ViewEventWord(ViewEvent event) { return gEvents[static_cast<int>(event)].hostWord; }

TQ3Area PaneOf(const LxRect& bounds)
{
    return { { float(bounds.left), float(bounds.top) }, { float(bounds.right), float(bounds.bottom) } };
}

float AspectRatio(const LxRect& bounds)
{
    const int height = bounds.bottom - bounds.top;
    return height > 0 ? float(bounds.right - bounds.left) / float(height) : 1.0f;
}

TQ3ColorARGB SkyClearColor(const Lx3DSpaceData* me)
{
    TQ3ColorRGB sky = UnpackColor(me->SkyColor);
    return { 0, sky.r, sky.g, sky.b };
}

TQ3RendererObject NewRenderer(const Lx3DSpaceData* me)
{
    return Q3Renderer_NewFromType(me->Wireframe ? kQ3RendererTypeWireFrame : kQ3RendererTypeInteractive);
}

void CreateView(Lx3DSpaceData* me, const LxRect& bounds, LxObject* control)
{
    me->mView = Q3View_New();
    VIEW3D_ASSERT(me->mView, "me->mView");
    me->drawContextData = WindowContextData(me, bounds, control);
    me->drawContext = Q3MacDrawContext_New(&me->drawContextData);
    me->fog.color = me->drawContextData.drawContextData.clearImageColor;

    TQ3ViewAngleAspectCameraData camera = CreationCamera(me, bounds);
    me->mCamera = Q3ViewAngleAspectCamera_New(&camera);
    VIEW3D_ASSERT(me->mCamera, "me->mCamera");
    me->mRenderer = NewRenderer(me);
    VIEW3D_ASSERT(me->mRenderer, "me->mRenderer");
    CheckQuesaStatus(Q3View_SetDrawContext(me->mView, me->drawContext), __FILE_NAME__, __LINE__);
    CheckQuesaStatus(Q3View_SetCamera(me->mView, me->mCamera), __FILE_NAME__, __LINE__);
    CheckQuesaStatus(Q3View_SetRenderer(me->mView, me->mRenderer), __FILE_NAME__, __LINE__);

    MakeLightGroup(me);
    me->mShader = Q3PhongIllumination_New();
    VIEW3D_ASSERT(me->mShader, "me->mShader");
    // Whatever was applied before belongs to no camera: the next update places this one.
    constexpr float unknown = std::numeric_limits<float>::quiet_NaN();
    me->lastCameraOrientation = { unknown, unknown, unknown, unknown };
}

TQ3Object GetLightGroupItem(Lx3DSpaceData* me, uint32_t position)
{
    if (!me->lightGroup)
        return nullptr;
    TQ3GroupPosition at = nullptr;
    Q3Group_GetFirstPosition(me->lightGroup, &at);
    for (uint32_t i = 0; at && i < position; ++i)
        Q3Group_GetNextPosition(me->lightGroup, &at);
    TQ3Object object = nullptr;
    if (at)
        Q3Group_GetPositionObject(me->lightGroup, at, &object);
    return object;
}

void DrawPlaceholder(const LxRect& bounds, const Lx3DSpaceData* me)
{
    Rect rect { bounds.top, bounds.left, bounds.bottom, bounds.right };
    ForeColor(blackColor);
    FrameRect(&rect);
    const RGBColor sky = PlatformColor(me->SkyColor);
    RGBForeColor(&sky);
    InsetRect(&rect, 1, 1);
    PaintRect(&rect);
}

}
