#pragma once

#include <lxframework/plugin.h>

#include <cstdint>

namespace lx3d {

// A list is a view on one array of a Trimesh: it reads and writes the mesh's
// elements in place. Only the mesh makes lists, and it re-points or detaches
// them when it replaces or drops the array. A detached list refuses every index.
struct MeshListData {
    LxObject* owner = nullptr; // the Trimesh, not counted
    void* data = nullptr;
    int32_t last = 0; // the last valid index; -1 when empty or detached
};

LxClassRecord& VectorListRecord();
LxClassRecord& UVListRecord();
LxClassRecord& TriangleListRecord();
LxClassRecord& ColorListRecord();

void AttachList(LxObject* list, const LxClassRecord& record, LxObject* owner, void* data, uint32_t count);
void DetachList(LxObject* list, const LxClassRecord& record);

}
