#pragma once

#include <lxframework/plugin.h>
#include <q3/Q3.h>

namespace lx3d {

// The mesh is the library's own record, submitted straight from the
// instance data; the host reads its two counts as the VertexCount and
// TriangleCount fields. The lists handed out are cached, one reference each.
struct TrimeshData {
    TQ3TriMeshData mesh {};
    LxObject* positions = nullptr; // VectorList
    LxObject* normals = nullptr; // VectorList
    LxObject* colors = nullptr; // ColorList
    LxObject* uvs = nullptr; // UVList
    LxObject* triangles = nullptr; // TriangleList
    // Whether the mesh's box still bounds its points: it is made again on
    // the first submission after the points change, not at every one, as
    // picks submit the whole scene for every point they test.
    bool boxCurrent = false;
};

LxClassRecord& TrimeshRecord();
TrimeshData* TrimeshOf(LxObject* trimesh);

// A list of the mesh has written into `array`, one of the mesh's arrays.
void TrimeshArrayWritten(LxObject* trimesh, const void* array);

}
