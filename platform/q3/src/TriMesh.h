#pragma once

#include "Geometry.h"
#include "render/Device.h"

namespace q3 {

// Deep-copies a mesh record with the Q3Memory allocator, taking a reference
// to its attribute set. Attribute arrays of unknown types are left out.
// False, with `copy` empty, when memory runs out or a size overflows.
bool CopyTriMeshData(const TQ3TriMeshData& source, TQ3TriMeshData& copy);

// Frees every array of a record and drops its attribute set.
void EmptyTriMeshData(TQ3TriMeshData& data);

// The arrays the renderer, picking and bounding read, found in a record:
// surface UVs (else shading UVs), normals and colors per vertex, normals and
// colors per triangle.
render::Mesh ResolveTriMesh(const TQ3TriMeshData& data);

// A triangle mesh that owns a copy of its record.
class TriMesh final : public Geometry {
public:
    static constexpr TQ3ObjectType Type = kQ3GeometryTypeTriMesh;

    // Takes over `data`'s arrays and its attribute set reference.
    explicit TriMesh(const TQ3TriMeshData& data);
    ~TriMesh() override;

    std::span<const TQ3ObjectType> TypeChain() const override;
    TQ3Status Submit(View& view) override;

    const TQ3TriMeshData& Data() const { return mData; }

private:
    TQ3TriMeshData mData {};
};

}
