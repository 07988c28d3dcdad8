#include "Group.h"

#include "View.h"

namespace q3 {

namespace {

    TQ3GroupPosition PositionOf(const void* member)
    {
        return reinterpret_cast<TQ3GroupPosition>(const_cast<void*>(member));
    }

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
    TQ3Status status = kQ3Success;
    ForEach([&](Object* member) {
        if (member && member->Submit(view) != kQ3Success)
            status = kQ3Failure;
    });
    view.Pop();
    return status;
}

bool Group::Contains(const Object* object) const
{
    for (const Member& member : mMembers) {
        Object* held = member.object.Get();
        if (held == object)
            return true;
        if (held && held->IsType(kQ3ShapeTypeGroup) && static_cast<Group*>(held)->Contains(object))
            return true;
    }
    return false;
}

bool Group::Accepts(TQ3Object object) const
{
    if (!object)
        return mKind == Kind::Display;
    if (mKind == Kind::Light)
        return object->IsType(kQ3ShapeTypeLight);
    if (object == this)
        return false;
    return !object->IsType(kQ3ShapeTypeGroup) || !static_cast<Group*>(object)->Contains(this);
}

TQ3GroupPosition Group::Add(TQ3Object object)
{
    mMembers.push_back(Member { Ref<>(object) });
    return PositionOf(&mMembers.back());
}

TQ3GroupPosition Group::First() { return mMembers.empty() ? nullptr : PositionOf(&mMembers.front()); }

std::list<Group::Member>::iterator Group::Find(TQ3GroupPosition position)
{
    for (auto it = mMembers.begin(); it != mMembers.end(); ++it)
        if (PositionOf(&*it) == position)
            return it;
    return mMembers.end();
}

TQ3GroupPosition Group::Next(TQ3GroupPosition position)
{
    auto it = Find(position);
    if (it == mMembers.end() || ++it == mMembers.end())
        return nullptr;
    return PositionOf(&*it);
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
    it->object = Ref<>(object);
    return true;
}

TQ3Object Group::Remove(TQ3GroupPosition position)
{
    auto it = Find(position);
    if (it == mMembers.end())
        return nullptr;
    TQ3Object object = Q3Shared_GetReference(it->object.Get());
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
