#pragma once

#include "Element3D.h"
#include "ObjectArray.h"

#include <lxframework/plugin.h>
#include <q3/Q3.h>

#include <unordered_set>
#include <vector>

namespace lx3d {

// A group keeps its children in world coordinates and carries them along
// with its own moves and turns, measured against the placement it last saw.
struct Group3DData {
    ObjectArray children; // Element3D references, one each; nil entries allowed
    TQ3Point3D cachedPosition {};
    TQ3Quaternion cachedOrientation {};
    // How many children slots of groups hold this group. A group that no
    // slot holds is inside no group, so nothing it takes in can hold it.
    uint32_t holders = 0;
};

LxClassRecord& Group3DRecord();

// Moves and turns the direct children by the group's change of placement
// since the last update, about the group's position.
void GroupUpdate(LxObject* group);
uint32_t GroupCount(LxObject* group);
// Borrowed; may be nil.
LxObject* GroupChild(LxObject* group, uint32_t index);

// Whether taking `element` into `group` would put the group inside itself:
// groups must form a graph without cycles, or submitting, bounding and
// updating them would never end.
bool WouldCloseCycle(LxObject* group, LxObject* element);
// For tests: how many groups the last cycle check looked into.
uint32_t LastCycleCheckVisits();

// What a walk over elements does with the element it reached.
enum class WalkStep {
    Enter, // goes into a group's children, then leaves it; any other element is left at once
    PassBy, // goes on with the next element, without leaving this one
    Stop, // ends the walk
};

// Whether a walk reaches a group once for every path to it, as drawing does,
// or only the first time, as a search does.
enum class Sharing { EveryPath, OncePerGroup };

// Walks `root` and, depth first and in order, the elements inside its
// groups, skipping nil. `visit` decides at each element; `leave` hears of an
// element once everything inside it was walked. The stack of open groups is
// the walk's own, so a chain of groups of any depth costs no depth of the
// program's stack. True when `visit` stopped the walk.
template <class Visit, class Leave> bool WalkElements(LxObject* root, Sharing sharing, Visit visit, Leave leave)
{
    struct OpenGroup {
        LxObject* group = nullptr;
        uint32_t next = 0;
    };
    std::vector<OpenGroup> open;
    std::unordered_set<LxObject*> reached;
    // False when the walk must stop.
    auto reach = [&](LxObject* element) {
        if (!element || (sharing == Sharing::OncePerGroup && IsGroup(element) && !reached.insert(element).second))
            return true;
        const WalkStep step = visit(element);
        if (step == WalkStep::Enter) {
            if (IsGroup(element))
                open.push_back({ element, 0 });
            else
                leave(element);
        }
        return step != WalkStep::Stop;
    };
    if (!reach(root))
        return true;
    // A child's Render event may change its group, so the count is read at every step.
    while (!open.empty()) {
        OpenGroup& top = open.back();
        if (top.next < GroupCount(top.group)) {
            LxObject* child = GroupChild(top.group, top.next++);
            if (!reach(child))
                return true;
        } else {
            LxObject* group = top.group;
            open.pop_back();
            leave(group);
        }
    }
    return false;
}

}
