#include "TriMesh.h"

#include "AttributeSet.h"
#include "View.h"

#include <cstring>
#include <limits>

namespace q3 {

namespace {

    // Size of count elements of `size` bytes, or false if it overflows the allocator's range.
    bool ByteSize(TQ3Uns32 count, size_t size, TQ3Uns32& bytes)
    {
        const uint64_t total = static_cast<uint64_t>(count) * size;
        if (total > std::numeric_limits<TQ3Uns32>::max())
            return false;
        bytes = static_cast<TQ3Uns32>(total);
        return true;
    }

    // A copy of `count` elements of `size` bytes, null for none; false if memory runs out.
    bool CopyBytes(const void* source, TQ3Uns32 count, size_t size, void*& copy)
    {
        copy = nullptr;
        TQ3Uns32 bytes = 0;
        if (!source || count == 0)
            return true;
        if (!ByteSize(count, size, bytes))
            return false;
        copy = Q3Memory_AllocateClear(bytes);
        if (!copy)
            return false;
        std::memcpy(copy, source, bytes);
        return true;
    }

    template <typename T> bool CopyArray(const T* source, TQ3Uns32 count, T*& copy)
    {
        void* bytes = nullptr;
        const bool copied = CopyBytes(source, count, sizeof(T), bytes);
        copy = static_cast<T*>(bytes);
        return copied;
    }

    bool CopyAttributes(const TQ3TriMeshAttributeData* source, TQ3Uns32 types, TQ3Uns32 items,
        TQ3TriMeshAttributeData*& copy, TQ3Uns32& copiedTypes)
    {
        copy = nullptr;
        copiedTypes = 0;
        if (!source || types == 0)
            return true;
        TQ3Uns32 bytes = 0;
        if (!ByteSize(types, sizeof(TQ3TriMeshAttributeData), bytes))
            return false;
        copy = static_cast<TQ3TriMeshAttributeData*>(Q3Memory_AllocateClear(bytes));
        if (!copy)
            return false;
        for (TQ3Uns32 i = 0; i < types; ++i) {
            const size_t size = AttributeSize(source[i].attributeType);
            if (size == 0 || !source[i].data)
                continue;
            TQ3TriMeshAttributeData& entry = copy[copiedTypes++];
            entry.attributeType = source[i].attributeType;
            if (!CopyBytes(source[i].data, items, size, entry.data)
                || !CopyArray(source[i].attributeUseArray, items, entry.attributeUseArray))
                return false;
        }
        return true;
    }

    void FreeAttributes(TQ3TriMeshAttributeData*& entries, TQ3Uns32 count)
    {
        if (!entries)
            return;
        for (TQ3Uns32 i = 0; i < count; ++i) {
            Q3Memory_Free_(&entries[i].data);
            Q3Memory_Free_(reinterpret_cast<void**>(&entries[i].attributeUseArray));
        }
        Q3Memory_Free_(reinterpret_cast<void**>(&entries));
    }

    const void* FindAttribute(const TQ3TriMeshAttributeData* entries, TQ3Uns32 count, TQ3AttributeType type)
    {
        if (!entries)
            return nullptr;
        for (TQ3Uns32 i = 0; i < count; ++i)
            if (entries[i].attributeType == type && entries[i].data)
                return entries[i].data;
        return nullptr;
    }

}

bool CopyTriMeshData(const TQ3TriMeshData& source, TQ3TriMeshData& copy)
{
    copy = {};
    copy.numTriangles = source.triangles ? source.numTriangles : 0;
    copy.numEdges = source.edges ? source.numEdges : 0;
    copy.numPoints = source.points ? source.numPoints : 0;
    copy.bBox = source.bBox;
    const bool copied = CopyArray(source.triangles, copy.numTriangles, copy.triangles)
        && CopyArray(source.edges, copy.numEdges, copy.edges) && CopyArray(source.points, copy.numPoints, copy.points)
        && CopyAttributes(source.triangleAttributeTypes, source.numTriangleAttributeTypes, copy.numTriangles,
            copy.triangleAttributeTypes, copy.numTriangleAttributeTypes)
        && CopyAttributes(source.edgeAttributeTypes, source.numEdgeAttributeTypes, copy.numEdges,
            copy.edgeAttributeTypes, copy.numEdgeAttributeTypes)
        && CopyAttributes(source.vertexAttributeTypes, source.numVertexAttributeTypes, copy.numPoints,
            copy.vertexAttributeTypes, copy.numVertexAttributeTypes);
    if (!copied) {
        EmptyTriMeshData(copy);
        PostError(kQ3ErrorOutOfMemory);
        return false;
    }
    copy.triMeshAttributeSet = Q3Shared_GetReference(source.triMeshAttributeSet);
    return true;
}

void EmptyTriMeshData(TQ3TriMeshData& data)
{
    Q3Memory_Free_(reinterpret_cast<void**>(&data.triangles));
    Q3Memory_Free_(reinterpret_cast<void**>(&data.edges));
    Q3Memory_Free_(reinterpret_cast<void**>(&data.points));
    FreeAttributes(data.triangleAttributeTypes, data.numTriangleAttributeTypes);
    FreeAttributes(data.edgeAttributeTypes, data.numEdgeAttributeTypes);
    FreeAttributes(data.vertexAttributeTypes, data.numVertexAttributeTypes);
    Clear(data.triMeshAttributeSet);
    data = {};
}

render::Mesh ResolveTriMesh(const TQ3TriMeshData& data)
{
    render::Mesh mesh;
    if (!data.points || !data.triangles)
        return mesh;
    mesh.points = data.points;
    mesh.pointCount = data.numPoints;
    mesh.triangles = reinterpret_cast<const uint32_t(*)[3]>(data.triangles);
    mesh.triangleCount = data.numTriangles;
    const auto* vertex = data.vertexAttributeTypes;
    const TQ3Uns32 vertexTypes = data.numVertexAttributeTypes;
    mesh.vertexUVs = static_cast<const TQ3Param2D*>(FindAttribute(vertex, vertexTypes, kQ3AttributeTypeSurfaceUV));
    if (!mesh.vertexUVs)
        mesh.vertexUVs = static_cast<const TQ3Param2D*>(FindAttribute(vertex, vertexTypes, kQ3AttributeTypeShadingUV));
    mesh.vertexNormals = static_cast<const TQ3Vector3D*>(FindAttribute(vertex, vertexTypes, kQ3AttributeTypeNormal));
    mesh.vertexColors
        = static_cast<const TQ3ColorRGB*>(FindAttribute(vertex, vertexTypes, kQ3AttributeTypeDiffuseColor));
    const auto* triangle = data.triangleAttributeTypes;
    const TQ3Uns32 triangleTypes = data.numTriangleAttributeTypes;
    mesh.triangleNormals
        = static_cast<const TQ3Vector3D*>(FindAttribute(triangle, triangleTypes, kQ3AttributeTypeNormal));
    mesh.triangleColors
        = static_cast<const TQ3ColorRGB*>(FindAttribute(triangle, triangleTypes, kQ3AttributeTypeDiffuseColor));
    return mesh;
}

TriMesh::TriMesh(const TQ3TriMeshData& data)
    : mData(data)
{
    // The mesh's own attribute set is the geometry's attribute set.
    SetAttributes(mData.triMeshAttributeSet);
    Clear(mData.triMeshAttributeSet);
}

TriMesh::~TriMesh() { EmptyTriMeshData(mData); }

std::span<const TQ3ObjectType> TriMesh::TypeChain() const
{
    static constexpr TQ3ObjectType chain[]
        = { kQ3ObjectTypeShared, kQ3SharedTypeShape, kQ3ShapeTypeGeometry, kQ3GeometryTypeTriMesh };
    return chain;
}

TQ3Status TriMesh::Submit(View& view)
{
    view.SubmitMesh(ResolveTriMesh(mData), Attributes());
    return kQ3Success;
}

}

using namespace q3;

TQ3GeometryObject Q3TriMesh_New(const TQ3TriMeshData* data)
{
    if (!data || (data->triMeshAttributeSet && !Cast<AttributeSet>(data->triMeshAttributeSet))) {
        PostError(kQ3ErrorInvalidParameter);
        return nullptr;
    }
    TQ3TriMeshData copy {};
    if (!CopyTriMeshData(*data, copy))
        return nullptr;
    return new TriMesh(copy);
}

TQ3Status Q3TriMesh_Submit(const TQ3TriMeshData* data, TQ3ViewObject view)
{
    auto* self = Cast<View>(view);
    if (!data || !self || !self->InLoop())
        return kQ3Failure;
    self->SubmitMesh(ResolveTriMesh(*data), Cast<AttributeSet>(data->triMeshAttributeSet));
    return kQ3Success;
}

TQ3Status Q3TriMesh_GetData(TQ3GeometryObject mesh, TQ3TriMeshData* data)
{
    auto* self = Cast<TriMesh>(mesh);
    if (!self || !data)
        return kQ3Failure;
    TQ3TriMeshData source = self->Data();
    source.triMeshAttributeSet = self->Attributes();
    return CopyTriMeshData(source, *data) ? kQ3Success : kQ3Failure;
}

TQ3Status Q3TriMesh_EmptyData(TQ3TriMeshData* data)
{
    if (!data)
        return kQ3Failure;
    EmptyTriMeshData(*data);
    return kQ3Success;
}
