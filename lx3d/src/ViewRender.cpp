#include "DebugCube.h"
#include "Element3D.h"
#include "HostServices.h"
#include "Light3D.h"
#include "Vector3D.h"
#include "ViewParts.h"

namespace lx3d {

namespace {

    constexpr int MaximumPasses = 100;
    constexpr uint32_t FloodPosition = 1;
    // The stored cube reaches ±50, so its faces stand 0.3 × Yon from the viewer.
    constexpr float DebugCubeScale = 0.6f * 0.01f;

    bool SameArea(const TQ3Area& a, const TQ3Area& b)
    {
        return a.min.x == b.min.x && a.min.y == b.min.y && a.max.x == b.max.x && a.max.y == b.max.y;
    }

    // A component that is not a number never compares equal, so it always counts as changed.
    bool SamePlacement(const Lx3DSpaceData* me, const TQ3Point3D& p, const TQ3Quaternion& q)
    {
        const TQ3Point3D& lp = me->lastCameraPosition;
        const TQ3Quaternion& lq = me->lastCameraOrientation;
        return p.x == lp.x && p.y == lp.y && p.z == lp.z && q.w == lq.w && q.x == lq.x && q.y == lq.y && q.z == lq.z;
    }

    bool SameVector(const TQ3Vector3D& a, const TQ3Vector3D& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

    void UpdateDrawContextPane(Lx3DSpaceData* me, const LxRect& bounds)
    {
        TQ3Area pane = PaneOf(bounds);
        TQ3Area& kept = me->drawContextData.drawContextData.pane;
        if (SameArea(kept, pane))
            return;
        kept = pane;
        Q3Object_Dispose(me->drawContext);
        me->drawContext = Q3MacDrawContext_New(&me->drawContextData);
        CheckQuesaStatus(Q3View_SetDrawContext(me->mView, me->drawContext), __FILE_NAME__, __LINE__);
        TQ3CameraObject mCamera = me->mCamera;
        VIEW3D_ASSERT(mCamera, "mCamera");
        Q3ViewAngleAspectCamera_SetAspectRatio(mCamera, AspectRatio(bounds));
        Q3Camera_GetWorldToFrustum(mCamera, &me->worldToFrustum);
        me->planesValid = false;
    }

    void UpdateFloodDirection(Lx3DSpaceData* me)
    {
        TQ3Vector3D* direction = VectorOf(me->FloodDirection);
        if (!direction || SameVector(*direction, me->lastFloodDirection))
            return;
        if (TQ3Object flood = GetLightGroupItem(me, FloodPosition)) {
            TQ3Vector3D normalised {};
            Q3Vector3D_Normalize(direction, &normalised);
            Q3DirectionalLight_SetDirection(flood, &normalised);
            Q3Object_Dispose(flood);
        }
        me->lastFloodDirection = *direction;
    }

    TQ3LightObject LibraryLight(LxObject* light) { return LightOf(light)->light; }

    // The light's place, or null for a light that is not in the lights array.
    LightPlace* PlaceOf(Lx3DSpaceData* me, LxObject* light)
    {
        if (!me->lightPlaces)
            return nullptr;
        auto found = me->lightPlaces->byLight.find(light);
        return found == me->lightPlaces->byLight.end() ? nullptr : &found->second;
    }

    // Puts the library light the light has now into its place in the light
    // group, once the view has the group: in place of the one it held, or in
    // a new place, or out of the group when the settings give no light.
    void PlaceInLightGroup(Lx3DSpaceData* me, LxObject* light, LightPlace& place)
    {
        const TQ3LightObject current = LibraryLight(light);
        if (!me->lightGroup || current == place.held)
            return;
        if (!place.position) {
            place.position = Q3Group_AddObject(me->lightGroup, current);
        } else if (current) {
            Q3Group_SetPositionObject(me->lightGroup, place.position, current);
        } else {
            Q3Object_Dispose(Q3Group_RemovePosition(me->lightGroup, place.position));
            place.position = nullptr;
        }
        place.held = place.position ? current : nullptr;
    }

    // Called after the light's entry went into the lights array.
    void JoinLightGroupIfNew(Lx3DSpaceData* me, LxObject* light)
    {
        if (!light)
            return;
        if (!me->lightPlaces)
            me->lightPlaces = new LightPlaces;
        LightPlace& place = me->lightPlaces->byLight[light];
        if (++place.entries == 1)
            PlaceInLightGroup(me, light, place);
    }

    // Called after the light's entry left the lights array.
    void LeaveLightGroupIfGone(Lx3DSpaceData* me, LxObject* light)
    {
        LightPlace* place = light ? PlaceOf(me, light) : nullptr;
        if (!place || --place->entries > 0)
            return;
        if (place->position)
            Q3Object_Dispose(Q3Group_RemovePosition(me->lightGroup, place->position));
        me->lightPlaces->byLight.erase(light);
    }

    // A light whose kind changed has a new library light, and one whose
    // settings give no light has none: either way its place follows.
    void UpdateLights(Lx3DSpaceData* me)
    {
        UpdateFloodDirection(me);
        for (uint32_t i = 0; i < me->lights.count; ++i) {
            auto* light = static_cast<LxObject*>(me->lights.At(i));
            LightPlace* place = light ? PlaceOf(me, light) : nullptr;
            if (!place)
                continue;
            TQ3LightObject made = nullptr;
            UpdateQuesaLight(light, made);
            PlaceInLightGroup(me, light, *place);
        }
    }

    void SubmitDebugCube(Lx3DSpaceData* me)
    {
        if (!me->debugCubeGroup)
            me->debugCubeGroup = MakeDebugCubeGroup();
        if (!me->debugCubeGroup) {
            me->DebugCube = false;
            return;
        }
        TQ3Vector3D at = AsVector(me->lastCameraPosition);
        const float s = me->Yon * DebugCubeScale;
        TQ3Vector3D scale { s, s, s };
        Q3Push_Submit(me->mView);
        Q3TranslateTransform_Submit(&at, me->mView);
        Q3ScaleTransform_Submit(&scale, me->mView);
        CheckQuesaStatus(Q3DisplayGroup_Submit(me->debugCubeGroup, me->mView), __FILE_NAME__, __LINE__);
        Q3Pop_Submit(me->mView);
    }

    void SubmitScene(Lx3DSpaceData* me)
    {
        TQ3ViewObject view = me->mView;
        Q3InterpolationStyle_Submit(me->interpolationStyle, view);
        Q3BackfacingStyle_Submit(me->backfacingStyle, view);
        Q3FillStyle_Submit(me->fillStyle, view);
        if (me->FogVisible)
            Q3FogStyle_Submit(&me->fog, view);
        SubmitElement(me->Background, view);
        if (me->DebugCube)
            SubmitDebugCube(me);
        Q3Shader_Submit(me->mShader, view);
        SubmitElement(me->Objects, view);
    }

}

void UpdateCamera(Lx3DSpaceData* me)
{
    // Until the view has a library camera nothing is applied, so nothing is
    // recorded as applied either; nor is a camera element made for a control
    // that may never be opened or closed.
    if (!me->mCamera)
        return;
    if (!me->Camera)
        me->Camera = PluginNewInstance("Element3D");
    if (!me->Camera)
        return;
    const TQ3Point3D position = ElementPosition(me->Camera);
    const TQ3Quaternion orientation = ElementOrientation(me->Camera);
    if (SamePlacement(me, position, orientation))
        return;
    TQ3CameraPlacement placement { position, {}, RotateVectorByOrientation(me->Camera, { 0, 1, 0 }) };
    TQ3Vector3D ahead = RotateVectorByOrientation(me->Camera, { 0, 0, 1 });
    Q3Point3D_Vector3D_Add(&position, &ahead, &placement.pointOfInterest);
    CheckQuesaStatus(Q3Camera_SetPlacement(me->mCamera, &placement), __FILE_NAME__, __LINE__);
    Q3Camera_GetWorldToFrustum(me->mCamera, &me->worldToFrustum);
    me->planesValid = false;
    if (me->Background)
        SetPosition(me->Background, position);
    me->lastCameraPosition = position;
    me->lastCameraOrientation = orientation;
}

void RenderScene(Lx3DSpaceData* me)
{
    CheckQuesaStatus(Q3View_StartRendering(me->mView), __FILE_NAME__, __LINE__);
    int passes = 0;
    do
        SubmitScene(me);
    while (Q3View_EndRendering(me->mView) == kQ3ViewStatusRetraverse && ++passes < MaximumPasses);
}

void OnRedraw(LxObject* control)
{
    Lx3DSpaceData* me = ViewOf(control);
    LxRect bounds {};
    GetControlBounds(control, &bounds);
    if (!VANTinRuntime()) {
        DrawPlaceholder(bounds, me);
        return;
    }
    if (!me->mView)
        CreateView(me, bounds, control);
    UpdateDrawContextPane(me, bounds);
    UpdateCamera(me);
    UpdateLights(me);
    RenderScene(me);
}

void Update(LxObject* control)
{
    Lx3DSpaceData* me = ViewOf(control);
    if (!me || !me->mView)
        return;
    UpdateCamera(me);
    UpdateLights(me);
    RenderScene(me);
    UpdateElementBounds(me->Objects);
}

void AddLight(LxObject* control, LxObject* light)
{
    Lx3DSpaceData* me = ViewOf(control);
    if (!me || me->closed || !me->lights.Append(light))
        return;
    if (light)
        VANTLockObject(light);
    JoinLightGroupIfNew(me, light);
}

void RemoveLightAt(LxObject* control, LxInteger index)
{
    Lx3DSpaceData* me = ViewOf(control);
    if (!me || index < 0 || uint32_t(index) >= me->lights.count)
        return;
    auto* light = static_cast<LxObject*>(me->lights.RemoveAt(uint32_t(index)));
    if (!light)
        return;
    LeaveLightGroupIfGone(me, light);
    VANTUnlockObject(light);
}

void RemoveLight(LxObject* control, LxObject* light)
{
    Lx3DSpaceData* me = ViewOf(control);
    if (!me)
        return;
    const int64_t index = me->lights.LastIndexOf(light);
    if (index >= 0)
        RemoveLightAt(control, LxInteger(index));
}

void ForgetLightPlaces(Lx3DSpaceData* me)
{
    delete me->lightPlaces;
    me->lightPlaces = nullptr;
}

LxObject* Light(LxObject* control, LxInteger index)
{
    Lx3DSpaceData* me = ViewOf(control);
    if (!me || index < 0 || uint32_t(index) >= me->lights.count)
        return nullptr;
    auto* light = static_cast<LxObject*>(me->lights.At(uint32_t(index)));
    if (light)
        VANTLockObject(light);
    return light;
}

void SetLight(LxObject* control, LxInteger index, LxObject* light)
{
    Lx3DSpaceData* me = ViewOf(control);
    if (!me || index < 0 || uint32_t(index) >= me->lights.count)
        return;
    auto* old = static_cast<LxObject*>(me->lights.At(uint32_t(index)));
    if (light)
        VANTLockObject(light);
    me->lights.Set(uint32_t(index), light);
    if (old != light) {
        LeaveLightGroupIfGone(me, old);
        JoinLightGroupIfNew(me, light);
    }
    if (old)
        VANTUnlockObject(old);
}

}
