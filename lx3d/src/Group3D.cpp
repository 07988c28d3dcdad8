#include "Group3D.h"

#include "Element3D.h"
#include "HostServices.h"
#include "Quaternion.h"
#include "Records.h"
#include "Vector3D.h"

namespace lx3d {

namespace {

    Group3DData& Self(LxObject* self) { return *DataOf<Group3DData>(self, Group3DRecord()); }

    bool InRange(LxObject* self, LxInteger index) { return index >= 0 && uint32_t(index) < Self(self).children.count; }

    uint32_t gLastCycleCheckVisits = 0;

    // References dropped by groups that are themselves being released wait
    // here, so that releasing a chain of groups of any depth goes one group
    // at a time instead of one frame of the stack per level.
    ObjectArray gPendingReleases;
    bool gReleasing = false;

    // A group slot takes a reference to the element, or stops holding it
    // and then lets its reference go.
    void Hold(LxObject* element)
    {
        if (!element)
            return;
        VANTLockObject(element);
        if (IsGroup(element))
            ++Self(element).holders;
    }

    LxObject* Unheld(LxObject* element)
    {
        if (IsGroup(element))
            --Self(element).holders;
        return element;
    }

    void LetGo(LxObject* element)
    {
        if (element)
            VANTUnlockObject(Unheld(element));
    }

    bool Differs(const TQ3Point3D& a, const TQ3Point3D& b) { return a.x != b.x || a.y != b.y || a.z != b.z; }

    bool Equal(const TQ3Quaternion& a, const TQ3Quaternion& b)
    {
        return a.x == b.x && a.y == b.y && a.z == b.z && a.w == b.w;
    }

    void Construct(LxObject* self)
    {
        Group3DData& data = Self(self);
        data.children.growStep = GroupGrowStep;
        data.cachedOrientation = IdentityQuaternion;
        ElementOf(self)->isGroup = true;
    }

    // The children join the pending references last first, so that they
    // go in order; only the outermost release lets go of them, and of what
    // their own releases add. Without room in the queue a reference goes at
    // once, a frame deeper.
    void Destruct(LxObject* self)
    {
        ObjectArray& children = Self(self).children;
        for (uint32_t i = children.count; i-- > 0;) {
            auto* child = static_cast<LxObject*>(children.At(i));
            if (child && !gPendingReleases.Append(Unheld(child)))
                VANTUnlockObject(child);
        }
        children.Clear();
        if (gReleasing)
            return;
        gReleasing = true;
        while (gPendingReleases.count > 0)
            VANTUnlockObject(static_cast<LxObject*>(gPendingReleases.RemoveAt(gPendingReleases.count - 1)));
        gReleasing = false;
    }

    LxInteger Count(LxObject* self) { return static_cast<LxInteger>(Self(self).children.count); }

    LxObject* Item(LxObject* self, LxInteger index)
    {
        if (!InRange(self, index))
            return nullptr;
        LxObject* child = GroupChild(self, uint32_t(index));
        if (child)
            VANTLockObject(child);
        return child;
    }

    // The new child's reference is taken before the old one's is dropped:
    // they may be the same object.
    void SetItem(LxObject* self, LxInteger index, LxObject* element)
    {
        if (!self || !InRange(self, index) || WouldCloseCycle(self, element))
            return;
        LxObject* old = GroupChild(self, uint32_t(index));
        Hold(element);
        Self(self).children.Set(uint32_t(index), element);
        LetGo(old);
    }

    void Append(LxObject* self, LxObject* element)
    {
        if (WouldCloseCycle(self, element) || !Self(self).children.Append(element))
            return;
        Hold(element);
    }

    // The child's reference goes only once the array is whole again.
    void RemoveAt(LxObject* self, LxInteger index)
    {
        if (!InRange(self, index))
            return;
        LetGo(static_cast<LxObject*>(Self(self).children.RemoveAt(uint32_t(index))));
    }

    void RemoveElement(LxObject* self, LxObject* element)
    {
        int64_t index = Self(self).children.LastIndexOf(element);
        if (index >= 0)
            RemoveAt(self, static_cast<LxInteger>(index));
    }

    void Update(LxObject* self) { GroupUpdate(self); }

    // A group's Render is never raised: submission never reaches that step for a group.
    void Render(LxObject*, LxInteger) { }

    LxMethodRow gMethods[] = {
        Method(Fn(Count), "Count() as Integer"),
        Method(Fn(Item), "Item(idx as Integer) as Element3D", Fn(SetItem)),
        Method(Fn(Append), "Append(elem as Element3D)"),
        Method(Fn(RemoveAt), "Remove(idx as Integer)"),
        Method(Fn(RemoveElement), "Remove(elem as Element3D)"),
        Method(Fn(Update), "Update"),
    };

    LxEventInstanceRow gEventInstances[] = { { "Render", Fn(Render) } };

    LxClassRecord gRecord = ClassRecord("Group3D", "Element3D", sizeof(Group3DData), &Construct, &Destruct,
        { .methods = gMethods, .eventInstances = gEventInstances });

    void MoveChildren(LxObject* group, const TQ3Vector3D& offset)
    {
        for (uint32_t i = 0; i < GroupCount(group); ++i) {
            if (LxObject* child = GroupChild(group, i))
                OffsetPosition(child, offset);
        }
    }

    void TurnChildren(LxObject* group, const TQ3Quaternion& turn, const TQ3Point3D& centre)
    {
        for (uint32_t i = 0; i < GroupCount(group); ++i) {
            LxObject* child = GroupChild(group, i);
            if (!child)
                continue;
            TQ3Quaternion orientation = ElementOrientation(child);
            Q3Quaternion_Multiply(&orientation, &turn, &orientation);
            SetOrientation(child, orientation);
            TQ3Point3D position = ElementPosition(child);
            TQ3Vector3D relative {};
            Q3Point3D_Subtract(&position, &centre, &relative);
            TQ3Point3D turned = AsPoint(relative);
            Q3Point3D_TransformQuaternion(&turned, &turn, &turned);
            TQ3Vector3D turnedOffset = AsVector(turned);
            Q3Point3D_Vector3D_Add(&centre, &turnedOffset, &position);
            SetPosition(child, position);
        }
    }

}

LxClassRecord& Group3DRecord() { return gRecord; }

void GroupUpdate(LxObject* group)
{
    if (!group)
        return;
    Group3DData& data = Self(group);
    TQ3Point3D position = ElementPosition(group);
    TQ3Quaternion orientation = ElementOrientation(group);
    if (Differs(position, data.cachedPosition)) {
        TQ3Vector3D offset {};
        Q3Point3D_Subtract(&position, &data.cachedPosition, &offset);
        MoveChildren(group, offset);
        data.cachedPosition = position;
    }
    if (Equal(orientation, data.cachedOrientation))
        return;
    TQ3Quaternion turn {};
    Q3Quaternion_Invert(&data.cachedOrientation, &turn);
    Q3Quaternion_Multiply(&turn, &orientation, &turn);
    Q3Quaternion_Normalize(&turn, &turn);
    TurnChildren(group, turn, position);
    data.cachedOrientation = orientation;
}

// Only a group that something holds can be inside the element, and then
// only by way of the groups in it, each looked into once however many paths
// lead to it.
bool WouldCloseCycle(LxObject* group, LxObject* element)
{
    gLastCycleCheckVisits = 0;
    if (element == group)
        return true;
    if (!IsGroup(element) || Self(group).holders == 0)
        return false;
    return WalkElements(
        element, Sharing::OncePerGroup,
        [&](LxObject* reached) {
            if (reached == group)
                return WalkStep::Stop;
            if (!IsGroup(reached))
                return WalkStep::PassBy;
            ++gLastCycleCheckVisits;
            return WalkStep::Enter;
        },
        [](LxObject*) {});
}

uint32_t LastCycleCheckVisits() { return gLastCycleCheckVisits; }

uint32_t GroupCount(LxObject* group) { return Self(group).children.count; }

LxObject* GroupChild(LxObject* group, uint32_t index) { return static_cast<LxObject*>(Self(group).children.At(index)); }

}
