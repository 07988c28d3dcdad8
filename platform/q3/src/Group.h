#pragma once

#include "Object.h"

#include <cstdint>
#include <list>
#include <unordered_map>

namespace q3 {

// An ordered list of objects, each held by one reference. A display group
// draws its members inside its own push and pop; a light group holds the
// lights of a view and is never drawn.
class Group final : public Object {
public:
    static constexpr TQ3ObjectType Type = kQ3ShapeTypeGroup;

    enum class Kind { Display, Light };

    explicit Group(Kind kind)
        : mKind(kind)
    {
    }
    ~Group() override;

    std::span<const TQ3ObjectType> TypeChain() const override;
    TQ3Status Submit(View& view) override;

    Kind GroupKind() const { return mKind; }

    // False for an object this group may not hold: a non-light in a light
    // group, or a group that would then contain itself.
    bool Accepts(TQ3Object object) const;

    TQ3GroupPosition Add(TQ3Object object);
    TQ3GroupPosition First();
    // The position after `position`, null after the last or for a foreign position.
    TQ3GroupPosition Next(TQ3GroupPosition position);
    // The member at a position of this group, borrowed; false for a foreign position.
    bool Get(TQ3GroupPosition position, TQ3Object& object);
    bool Set(TQ3GroupPosition position, TQ3Object object);
    TQ3Object Remove(TQ3GroupPosition position);

    // Members in order; empty members are null.
    template <typename Visit> void ForEach(Visit visit) const
    {
        for (const Member& member : mMembers)
            visit(member.object.Get());
    }

private:
    struct Member {
        // What the member's position stands for: an id that no other
        // member of any group has had or will have, so that a position
        // outliving its member, or of another group, finds nothing.
        uintptr_t id { 0 };
        Ref<> object {};
    };
    using Members = std::list<Member>;

    // Counts a member starting (+1) or ceasing (-1) to hold `object`.
    static void Hold(Object* object, int change);
    // Whether `target` is this group or inside it.
    bool Reaches(const Group* target) const;
    Members::iterator Find(TQ3GroupPosition position);

    Kind mKind { Kind::Display };
    Members mMembers {};
    // Each member by the id of its position.
    std::unordered_map<uintptr_t, Members::iterator> mPositions {};
    // How many members of groups are this group.
    int64_t mHolders { 0 };
};

}
