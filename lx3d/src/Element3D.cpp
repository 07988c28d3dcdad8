#include "Element3D.h"

#include "Bounds3D.h"
#include "Group3D.h"
#include "HostServices.h"
#include "Lx3DUtil.h"
#include "Quaternion.h"
#include "Records.h"
#include "Vector3D.h"

#include <unordered_map>

namespace lx3d {

namespace {

    // The Scale property is the length of ScaleVector over that of (1, 1, 1).
    constexpr double InverseSqrt3 = 0.5773502692;
    constexpr int MaximumPasses = 100;

    using RenderHandler = void (*)(LxObject* element, LxInteger viewObject);

    // Pick IDs name live elements by number, so that no number read from a
    // model or a pick is ever taken for an address.
    std::unordered_map<uint32_t, LxObject*> gElementsById;
    uint32_t gLastPickId = 0;

    uint32_t RegisterElement(LxObject* element)
    {
        do
            ++gLastPickId;
        while (gLastPickId == 0 || gElementsById.contains(gLastPickId));
        gElementsById.emplace(gLastPickId, element);
        return gLastPickId;
    }

    Element3DData& Self(LxObject* self) { return *ElementOf(self); }

    TQ3Vector3D ScaleOf(LxObject* element) { return VectorValue(Self(element).ScaleVector, { 1, 1, 1 }); }

    void Construct(LxObject* self)
    {
        AcquireQuesa();
        Element3DData& data = Self(self);
        data.Position = PluginNewInstance("Vector3D");
        data.Orientation = PluginNewInstance("Quaternion");
        data.ScaleVector = PluginNewInstance("Vector3D");
        if (TQ3Vector3D* scale = VectorOf(data.ScaleVector))
            *scale = { 1, 1, 1 };
        data.Visible = true;
        data.pickId = RegisterElement(self);
    }

    void Destruct(LxObject* self)
    {
        Element3DData& data = Self(self);
        DropReference(data.Position);
        DropReference(data.Orientation);
        DropReference(data.Bounds);
        DropReference(data.ScaleVector);
        gElementsById.erase(data.pickId);
        ReleaseQuesa();
    }

    double GetScale(LxObject* self, intptr_t)
    {
        TQ3Vector3D scale = ScaleOf(self);
        return double(Q3Vector3D_Length(&scale)) * InverseSqrt3;
    }

    void SetScale(LxObject* self, intptr_t, double scale)
    {
        if (TQ3Vector3D* vector = VectorOf(Self(self).ScaleVector))
            *vector = { float(scale), float(scale), float(scale) };
    }

    void MoveForward(LxObject* self, double distance)
    {
        OffsetPosition(self, RotateVectorByOrientation(self, { 0, 0, float(distance) }));
    }

    // Turns the element about one of its own axes: the axis is taken into
    // world space first, and the library's product applies the current
    // orientation before the turn.
    void RotateAboutLocalAxis(LxObject* self, const TQ3Vector3D& localAxis, double radians)
    {
        TQ3Quaternion* orientation = QuaternionOf(Self(self).Orientation);
        if (!orientation)
            return;
        TQ3Vector3D axis = RotateVectorByOrientation(self, localAxis);
        TQ3Quaternion turn {};
        Q3Quaternion_SetRotateAboutAxis(&turn, &axis, float(radians));
        Q3Quaternion_Multiply(orientation, &turn, orientation);
        Q3Quaternion_Normalize(orientation, orientation);
    }

    void Roll(LxObject* self, double radians) { RotateAboutLocalAxis(self, { 0, 0, 1 }, radians); }
    void Pitch(LxObject* self, double radians) { RotateAboutLocalAxis(self, { 1, 0, 0 }, radians); }
    void Yaw(LxObject* self, double radians) { RotateAboutLocalAxis(self, { 0, 1, 0 }, radians); }

    TQ3Vector3D ObjectToWorld(LxObject* self, TQ3Vector3D point)
    {
        TQ3Vector3D scale = ScaleOf(self);
        point = { point.x * scale.x, point.y * scale.y, point.z * scale.z };
        point = RotateVectorByOrientation(self, point);
        TQ3Point3D position = ElementPosition(self);
        return point + AsVector(position);
    }

    // A zero scale component gives an infinite or undefined coordinate.
    TQ3Vector3D WorldToObject(LxObject* self, TQ3Vector3D point)
    {
        TQ3Point3D position = ElementPosition(self);
        point = point - AsVector(position);
        TQ3Quaternion inverse = ElementOrientation(self);
        Q3Quaternion_Invert(&inverse, &inverse);
        Q3Vector3D_TransformQuaternion(&point, &inverse, &point);
        TQ3Vector3D scale = ScaleOf(self);
        return { point.x / scale.x, point.y / scale.y, point.z / scale.z };
    }

    LxObject* ObjectToWorldTransform(LxObject* self, LxObject* point)
    {
        return point ? NewVector3DWith(ObjectToWorld(self, *VectorOf(point))) : nullptr;
    }

    LxObject* WorldToObjectTransform(LxObject* self, LxObject* point)
    {
        return point ? NewVector3DWith(WorldToObject(self, *VectorOf(point))) : nullptr;
    }

    // Until a pass finds something the result reads as empty, in both forms.
    LxObject* ComputeBounds(LxObject* self, LxInteger type)
    {
        LxObject* bounds = PluginNewInstance("Bounds3D");
        if (!bounds)
            return nullptr;
        Bounds3DData& data = *BoundsOf(bounds);
        data.type = type;
        if (type == BoundsTypeSphere || type == BoundsTypeBox) {
            data.sphere.isEmpty = kQ3True;
            data.box.isEmpty = kQ3True;
        }
        ComputeBoundsInto(self, bounds);
        return bounds;
    }

    void UpdateBounds(LxObject* self) { UpdateElementBounds(self); }

    LxPropertyRow gProperties[] = {
        FieldProperty("Position", "Vector3D", offsetof(Element3DData, Position)),
        FieldProperty("Orientation", "Quaternion", offsetof(Element3DData, Orientation)),
        AccessorProperty("Scale", "Double", Fn(GetScale), Fn(SetScale), offsetof(Element3DData, ScaleVector)),
        FieldProperty("ScaleVector", "Vector3D", offsetof(Element3DData, ScaleVector)),
        FieldProperty("Visible", "Boolean", offsetof(Element3DData, Visible)),
        FieldProperty("NullShader", "Boolean", offsetof(Element3DData, NullShader)),
        FieldProperty("RenderBackFaces", "Boolean", offsetof(Element3DData, RenderBackFaces)),
        FieldProperty("Bounds", "Bounds3D", offsetof(Element3DData, Bounds)),
    };

    LxMethodRow gMethods[] = {
        Method(Fn(MoveForward), "MoveForward(distance as Double)"),
        Method(Fn(Roll), "Roll(radians as Double)"),
        Method(Fn(Pitch), "Pitch(radians as Double)"),
        Method(Fn(Yaw), "Yaw(radians as Double)"),
        Method(Fn(ObjectToWorldTransform), "ObjectToWorldTransform(pt as Vector3D) as Vector3D"),
        Method(Fn(WorldToObjectTransform), "WorldToObjectTransform(pt as Vector3D) as Vector3D"),
        Method(Fn(ComputeBounds), "ComputeBounds(type as Integer) as Bounds3D"),
        Method(Fn(UpdateBounds), "UpdateBounds"),
    };

    LxEventRow gEvents[] = { { "Render( ViewObject as Integer )", 0 } };

    LxClassRecord gRecord = ClassRecord("Element3D", nullptr, sizeof(Element3DData), &Construct, &Destruct,
        { .properties = gProperties, .methods = gMethods, .events = gEvents });

    void RaiseRender(LxObject* element, TQ3ViewObject view)
    {
        if (auto handler = reinterpret_cast<RenderHandler>(GetEventInstance(element, gEvents[0].hostWord)))
            handler(element, static_cast<LxInteger>(Q3Object_GetId(view)));
    }

    void SubmitPlacedElement(LxObject* element, TQ3ViewObject view)
    {
        Element3DData& data = Self(element);
        Q3Push_Submit(view);
        TQ3Vector3D position = AsVector(ElementPosition(element));
        TQ3Quaternion orientation = ElementOrientation(element);
        TQ3Vector3D scale = ScaleOf(element);
        Q3TranslateTransform_Submit(&position, view);
        Q3QuaternionTransform_Submit(&orientation, view);
        Q3ScaleTransform_Submit(&scale, view);
        Q3PickIDStyle_Submit(data.pickId, view);
        if (data.NullShader) {
            TQ3ShaderObject& shader = SharedNullIllumination();
            if (!shader)
                shader = Q3NULLIllumination_New();
            Q3Shader_Submit(shader, view);
        }
        if (data.RenderBackFaces)
            Q3BackfacingStyle_Submit(kQ3BackfacingStyleFlip, view);
        RaiseRender(element, view);
        Q3Pop_Submit(view);
    }

    // Invisible elements are passed by with everything inside them; a group
    // brings its children along before they are reached.
    WalkStep EnterVisible(LxObject* element)
    {
        if (!Self(element).Visible)
            return WalkStep::PassBy;
        if (IsGroup(element))
            GroupUpdate(element);
        return WalkStep::Enter;
    }

    template <class Start, class End, class Result>
    void RunBoundingPasses(LxObject* element, TQ3ViewObject view, Start start, End end, Result& result)
    {
        start(view, kQ3ComputeBoundsExact);
        int passes = 0;
        TQ3ViewStatus status = kQ3ViewStatusDone;
        do {
            SubmitElement(element, view);
            status = end(view, &result);
        } while (status == kQ3ViewStatusRetraverse && ++passes < MaximumPasses);
    }

}

LxClassRecord& Element3DRecord() { return gRecord; }

Element3DData* ElementOf(LxObject* element) { return DataOf<Element3DData>(element, gRecord); }

bool IsGroup(LxObject* element) { return element && Self(element).isGroup; }

LxObject* ElementFromPickId(uint32_t pickId)
{
    auto found = gElementsById.find(pickId);
    return found == gElementsById.end() ? nullptr : found->second;
}

// A group adds nothing of its own to the view: its children hold world placements.
void SubmitElement(LxObject* element, TQ3ViewObject view)
{
    WalkElements(element, Sharing::EveryPath, EnterVisible, [&](LxObject* left) {
        if (!IsGroup(left))
            SubmitPlacedElement(left, view);
    });
}

void ComputeBoundsInto(LxObject* element, LxObject* bounds)
{
    if (!element || !bounds || !Self(element).Visible)
        return;
    Bounds3DData& data = *BoundsOf(bounds);
    if (data.type == BoundsTypeSphere) {
        RunBoundingPasses(
            element, SharedBoundsView(), Q3View_StartBoundingSphere, Q3View_EndBoundingSphere, data.sphere);
        data.box.isEmpty = kQ3True;
    } else if (data.type == BoundsTypeBox) {
        RunBoundingPasses(element, SharedBoundsView(), Q3View_StartBoundingBox, Q3View_EndBoundingBox, data.box);
        data.sphere.isEmpty = kQ3True;
    }
}

// An element's bounds take in its children's, so they come after them.
void UpdateElementBounds(LxObject* element)
{
    WalkElements(element, Sharing::EveryPath, EnterVisible, [](LxObject* left) {
        if (LxObject* bounds = Self(left).Bounds)
            ComputeBoundsInto(left, bounds);
    });
}

TQ3Point3D ElementPosition(LxObject* element) { return AsPoint(VectorValue(Self(element).Position, {})); }

TQ3Quaternion ElementOrientation(LxObject* element) { return QuaternionValue(Self(element).Orientation); }

void SetPosition(LxObject* element, const TQ3Point3D& point)
{
    if (TQ3Vector3D* position = VectorOf(Self(element).Position))
        *position = AsVector(point);
}

void OffsetPosition(LxObject* element, const TQ3Vector3D& offset)
{
    if (TQ3Vector3D* position = VectorOf(Self(element).Position))
        *position = { position->x + offset.x, position->y + offset.y, position->z + offset.z };
}

void SetOrientation(LxObject* element, const TQ3Quaternion& orientation)
{
    if (TQ3Quaternion* stored = QuaternionOf(Self(element).Orientation))
        *stored = orientation;
}

TQ3Vector3D RotateVectorByOrientation(LxObject* element, const TQ3Vector3D& vector)
{
    TQ3Quaternion orientation = ElementOrientation(element);
    TQ3Vector3D result {};
    Q3Vector3D_TransformQuaternion(&vector, &orientation, &result);
    return result;
}

TQ3Point3D RotatePointByOrientation(LxObject* element, const TQ3Point3D& point)
{
    TQ3Quaternion orientation = ElementOrientation(element);
    TQ3Point3D result {};
    Q3Point3D_TransformQuaternion(&point, &orientation, &result);
    return result;
}

}
