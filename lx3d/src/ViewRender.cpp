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

    // The position in the light group that holds the light, or null.
    TQ3GroupPosition FindInLightGroup(Lx3DSpaceData* me, TQ3LightObject light)
    {
        TQ3GroupPosition position = nullptr;
        for (Q3Group_GetFirstPosition(me->lightGroup, &position); position;
             Q3Group_GetNextPosition(me->lightGroup, &position)) {
            TQ3Object object = nullptr;
            Q3Group_GetPositionObject(me->lightGroup, position, &object);
            const bool found = object == light;
            Q3Object_Dispose(object);
            if (found)
                return position;
        }
        return nullptr;
    }

    void RemoveFromLightGroup(Lx3DSpaceData* me, TQ3LightObject light)
    {
        if (!light)
            return;
        if (TQ3GroupPosition position = FindInLightGroup(me, light))
            Q3Object_Dispose(Q3Group_RemovePosition(me->lightGroup, position));
    }

    void ReplaceInLightGroup(Lx3DSpaceData* me, TQ3LightObject old, TQ3LightObject made)
    {
        if (TQ3GroupPosition position = FindInLightGroup(me, old))
            Q3Group_SetPositionObject(me->lightGroup, position, made);
        else
            Q3Group_AddObject(me->lightGroup, made);
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

    // A light keeps one place in the light group however often it stands in
    // the lights array; the place goes with its last entry.
    TQ3LightObject LibraryLight(LxObject* light) { return light ? LightOf(light)->light : nullptr; }

    uint32_t Occurrences(const ObjectArray& lights, LxObject* light)
    {
        uint32_t count = 0;
        for (uint32_t i = 0; i < lights.count; ++i)
            count += lights.At(i) == light;
        return count;
    }

    void JoinLightGroupIfNew(Lx3DSpaceData* me, LxObject* light)
    {
        if (TQ3LightObject made = LibraryLight(light); made && Occurrences(me->lights, light) == 1)
            Q3Group_AddObject(me->lightGroup, made);
    }

    void LeaveLightGroupIfGone(Lx3DSpaceData* me, LxObject* light)
    {
        if (light && Occurrences(me->lights, light) == 0)
            RemoveFromLightGroup(me, LibraryLight(light));
    }

    void UpdateLights(Lx3DSpaceData* me)
    {
        UpdateFloodDirection(me);
        for (uint32_t i = 0; i < me->lights.count; ++i) {
            auto* light = static_cast<LxObject*>(me->lights.At(i));
            if (!light)
                continue;
            TQ3LightObject old = LightOf(light)->light;
            TQ3LightObject made = nullptr;
            if (UpdateQuesaLight(light, made)) {
                if (old)
                    ReplaceInLightGroup(me, old, made);
                else
                    Q3Group_AddObject(me->lightGroup, made);
            } else if (old && !LightOf(light)->light) {
                // The light's settings now give no light; the group still
                // holds the old one, which must stop shining.
                RemoveFromLightGroup(me, old);
            }
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
        me->lights.RemoveAt(uint32_t(index));
    // A light that is not in the array leaves the group all the same.
    LeaveLightGroupIfGone(me, light);
    if (index >= 0 && light)
        VANTUnlockObject(light);
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
