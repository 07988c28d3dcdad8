#include "Group.h"

#include "View.h"

#include <unordered_set>
#include <utility>
#include <vector>

namespace q3 {

namespace {

    // The id of the last member added to any group; ids are never reused.
    uintptr_t s_lastMemberId = 0;
    // Work for tests to see since they last asked: the groups cycle checks
    // looked into, and the members looked at to find positions.
    size_t s_cycleCheckVisits = 0;
    size_t s_positionSteps = 0;

    TQ3GroupPosition PositionOf(uintptr_t id) { return reinterpret_cast<TQ3GroupPosition>(id); }

    Group* AsGroup(Object* object)
    {
        return object && object->IsType(kQ3ShapeTypeGroup) ? static_cast<Group*>(object) : nullptr;
    }

    bool IsDisplayGroup(Object* object)
    {
        const Group* group = AsGroup(object);
        return group && group->GroupKind() == Group::Kind::Display;
    }

}

Group::~Group()
{
    for (const Member& member : mMembers)
        Hold(member.object.Get(), -1);
}

std::span<const TQ3ObjectType> Group::TypeChain() const
{
    static constexpr TQ3ObjectType display[]
        = { kQ3ObjectTypeShared, kQ3SharedTypeShape, kQ3ShapeTypeGroup, kQ3GroupTypeDisplay };
    static constexpr TQ3ObjectType light[]
        = { kQ3ObjectTypeShared, kQ3SharedTypeShape, kQ3ShapeTypeGroup, kQ3GroupTypeLight };
    if (mKind == Kind::Light)
        return light;
    return display;
}

TQ3Status Group::Submit(View& view)
{
    if (mKind != Kind::Display)
        return kQ3Success;
    if (!view.Push())
        return kQ3Failure;
    // Display groups inside display groups are entered through a stack of
    // their own rather than by recursion, so that a chain of groups however
    // deep is drawn at a fixed depth of the thread's stack. Each group's
    // members are drawn inside its own push and pop.
    struct Entered {
        const Group* group { nullptr };
        Members::const_iterator next {};
    };
    std::vector<Entered> entered { { this, mMembers.begin() } };
    TQ3Status status = kQ3Success;
    while (!entered.empty()) {
        Entered& innermost = entered.back();
        if (innermost.next == innermost.group->mMembers.end()) {
            view.Pop();
            entered.pop_back();
            continue;
        }
        Object* member = (innermost.next++)->object.Get();
        if (IsDisplayGroup(member)) {
            // Within the loop that the first push found running, pushes succeed.
            view.Push();
            const auto* group = static_cast<const Group*>(member);
            entered.push_back({ group, group->mMembers.begin() });
        } else if (member && member->Submit(view) != kQ3Success)
            status = kQ3Failure;
    }
    return status;
}

void Group::Hold(Object* object, int change)
{
    if (Group* group = AsGroup(object))
        group->mHolders += change;
}

bool Group::Reaches(const Group* target) const
{
    // Each group is looked into once, however many paths lead to it: shared
    // groups would otherwise be walked once per path, which for groups each
    // holding the one below twice doubles with every level.
    std::vector<const Group*> waiting { this };
    std::unordered_set<const Group*> seen { this };
    while (!waiting.empty()) {
        const Group* group = waiting.back();
        waiting.pop_back();
        ++s_cycleCheckVisits;
        if (group == target)
            return true;
        for (const Member& member : group->mMembers) {
            const Group* inner = AsGroup(member.object.Get());
            if (inner && seen.insert(inner).second)
                waiting.push_back(inner);
        }
    }
    return false;
}

bool Group::Accepts(TQ3Object object) const
{
    if (!object)
        return mKind == Kind::Display;
    if (mKind == Kind::Light)
        return object->IsType(kQ3ShapeTypeLight);
    const Group* group = AsGroup(object);
    if (group == this)
        return false;
    // A group that no group holds is inside nothing, so nothing it takes in
    // can hold it: a group being built, as a model file's reader builds
    // them, takes in its members without a walk.
    return !group || mHolders == 0 || !group->Reaches(this);
}

TQ3GroupPosition Group::Add(TQ3Object object)
{
    const uintptr_t id = ++s_lastMemberId;
    mMembers.push_back(Member { id, Ref<>(object) });
    mPositions.emplace(id, std::prev(mMembers.end()));
    Hold(object, +1);
    return PositionOf(id);
}

TQ3GroupPosition Group::First() { return mMembers.empty() ? nullptr : PositionOf(mMembers.front().id); }

Group::Members::iterator Group::Find(TQ3GroupPosition position)
{
    ++s_positionSteps;
    const auto found = mPositions.find(reinterpret_cast<uintptr_t>(position));
    return found == mPositions.end() ? mMembers.end() : found->second;
}

TQ3GroupPosition Group::Next(TQ3GroupPosition position)
{
    auto it = Find(position);
    if (it == mMembers.end() || ++it == mMembers.end())
        return nullptr;
    return PositionOf(it->id);
}

bool Group::Get(TQ3GroupPosition position, TQ3Object& object)
{
    auto it = Find(position);
    if (it == mMembers.end())
        return false;
    object = it->object.Get();
    return true;
}

bool Group::Set(TQ3GroupPosition position, TQ3Object object)
{
    auto it = Find(position);
    if (it == mMembers.end())
        return false;
    Hold(object, +1);
    Hold(it->object.Get(), -1);
    it->object = Ref<>(object);
    return true;
}

TQ3Object Group::Remove(TQ3GroupPosition position)
{
    auto it = Find(position);
    if (it == mMembers.end())
        return nullptr;
    Hold(it->object.Get(), -1);
    TQ3Object object = Q3Shared_GetReference(it->object.Get());
    mPositions.erase(it->id);
    mMembers.erase(it);
    return object;
}

}

using namespace q3;

namespace {

Group* DisplayGroup(TQ3GroupObject group)
{
    auto* self = Cast<Group>(group);
    if (self && self->GroupKind() != Group::Kind::Display) {
        PostError(kQ3ErrorInvalidObjectType);
        return nullptr;
    }
    return self;
}

}

TQ3GroupObject Q3LightGroup_New(void) { return new Group(Group::Kind::Light); }

TQ3GroupObject Q3DisplayGroup_New(void) { return new Group(Group::Kind::Display); }

TQ3Status Q3DisplayGroup_Submit(TQ3GroupObject group, TQ3ViewObject view)
{
    auto* self = DisplayGroup(group);
    auto* target = Cast<View>(view);
    if (!self || !target || !target->InLoop())
        return kQ3Failure;
    return self->Submit(*target);
}

TQ3GroupPosition Q3Group_AddObject(TQ3GroupObject group, TQ3Object object)
{
    auto* self = Cast<Group>(group);
    if (!self || !object)
        return nullptr;
    if (!self->Accepts(object)) {
        PostError(kQ3ErrorInvalidObjectType);
        return nullptr;
    }
    return self->Add(object);
}

TQ3Status Q3Group_GetFirstPosition(TQ3GroupObject group, TQ3GroupPosition* position)
{
    auto* self = Cast<Group>(group);
    if (!position)
        return kQ3Failure;
    *position = self ? self->First() : nullptr;
    return self ? kQ3Success : kQ3Failure;
}

TQ3Status Q3Group_GetNextPosition(TQ3GroupObject group, TQ3GroupPosition* position)
{
    auto* self = Cast<Group>(group);
    if (!position)
        return kQ3Failure;
    *position = self ? self->Next(*position) : nullptr;
    return self ? kQ3Success : kQ3Failure;
}

TQ3Status Q3Group_GetPositionObject(TQ3GroupObject group, TQ3GroupPosition position, TQ3Object* object)
{
    auto* self = Cast<Group>(group);
    if (!object)
        return kQ3Failure;
    *object = nullptr;
    TQ3Object member = nullptr;
    if (!self || !self->Get(position, member))
        return kQ3Failure;
    *object = Q3Shared_GetReference(member);
    return kQ3Success;
}

TQ3Status Q3Group_SetPositionObject(TQ3GroupObject group, TQ3GroupPosition position, TQ3Object object)
{
    auto* self = Cast<Group>(group);
    if (!self)
        return kQ3Failure;
    if (!self->Accepts(object)) {
        PostError(kQ3ErrorInvalidObjectType);
        return kQ3Failure;
    }
    return self->Set(position, object) ? kQ3Success : kQ3Failure;
}

TQ3Object Q3Group_RemovePosition(TQ3GroupObject group, TQ3GroupPosition position)
{
    auto* self = Cast<Group>(group);
    return self ? self->Remove(position) : nullptr;
}

TQ3Uns32 Q3Debug_CycleCheckVisits(void) { return static_cast<TQ3Uns32>(std::exchange(s_cycleCheckVisits, 0)); }

TQ3Uns32 Q3Debug_GroupPositionSteps(void) { return static_cast<TQ3Uns32>(std::exchange(s_positionSteps, 0)); }
