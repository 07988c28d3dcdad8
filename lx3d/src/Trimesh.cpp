#include "Trimesh.h"

#include "HostServices.h"
#include "Lx3DUtil.h"
#include "Material.h"
#include "MeshLists.h"
#include "Records.h"

#include <cstddef>

namespace lx3d {

namespace {

    constexpr uint32_t BytesPerPoint = sizeof(TQ3Point3D);
    constexpr uint32_t BytesPerTriangle = sizeof(TQ3TriMeshTriangleData);

    TrimeshData& Self(LxObject* self) { return *TrimeshOf(self); }

    // A zero-filled array of count items; null (and count 0) when the size
    // overflows or no memory is left.
    template <class T> T* AllocateArray(uint32_t& count, uint32_t itemSize)
    {
        uint64_t size = uint64_t(count) * itemSize;
        T* items = size <= UINT32_MAX ? static_cast<T*>(Q3Memory_AllocateClear(TQ3Uns32(size))) : nullptr;
        if (!items)
            count = 0;
        return items;
    }

    void FreeAttributes(TQ3Uns32& count, TQ3TriMeshAttributeData*& entries)
    {
        for (TQ3Uns32 i = 0; i < count; ++i) {
            Q3Memory_Free_(&entries[i].data);
            Q3Memory_Free_(reinterpret_cast<void**>(&entries[i].attributeUseArray));
        }
        Q3Memory_Free_(reinterpret_cast<void**>(&entries));
        count = 0;
    }

    // The list keeps existing for whoever holds it, but refuses every index.
    void DropList(LxObject*& slot, const LxClassRecord& record)
    {
        if (!slot)
            return;
        DetachList(slot, record);
        DropReference(slot);
    }

    void DropVertexAttributeLists(TrimeshData& data)
    {
        DropList(data.normals, VectorListRecord());
        DropList(data.colors, ColorListRecord());
        DropList(data.uvs, UVListRecord());
    }

    void Construct(LxObject*) { AcquireQuesa(); }

    void Destruct(LxObject* self)
    {
        TrimeshData& data = Self(self);
        Q3TriMesh_EmptyData(&data.mesh);
        DropList(data.positions, VectorListRecord());
        DropList(data.normals, VectorListRecord());
        DropList(data.triangles, TriangleListRecord());
        DropList(data.colors, ColorListRecord());
        DropList(data.uvs, UVListRecord());
        ReleaseQuesa();
    }

    // Every point goes back to the origin, and normals, colors and UVs go.
    void SetVertexCount(LxObject* self, intptr_t, LxInteger count)
    {
        if (count < 0) {
            RaisePluginError(PluginError::OutOfBounds);
            return;
        }
        TrimeshData& data = Self(self);
        TQ3TriMeshData& mesh = data.mesh;
        Q3Memory_Free_(reinterpret_cast<void**>(&mesh.points));
        FreeAttributes(mesh.numVertexAttributeTypes, mesh.vertexAttributeTypes);
        DropVertexAttributeLists(data);
        mesh.numPoints = TQ3Uns32(count);
        mesh.points = AllocateArray<TQ3Point3D>(mesh.numPoints, BytesPerPoint);
        data.boxCurrent = false;
        if (data.positions)
            AttachList(data.positions, VectorListRecord(), self, mesh.points, mesh.numPoints);
    }

    void SetTriangleCount(LxObject* self, intptr_t, LxInteger count)
    {
        if (count < 0) {
            RaisePluginError(PluginError::OutOfBounds);
            return;
        }
        TrimeshData& data = Self(self);
        TQ3TriMeshData& mesh = data.mesh;
        Q3Memory_Free_(reinterpret_cast<void**>(&mesh.triangles));
        FreeAttributes(mesh.numTriangleAttributeTypes, mesh.triangleAttributeTypes);
        mesh.numTriangles = TQ3Uns32(count);
        mesh.triangles = AllocateArray<TQ3TriMeshTriangleData>(mesh.numTriangles, BytesPerTriangle);
        if (data.triangles)
            AttachList(data.triangles, TriangleListRecord(), self, mesh.triangles, mesh.numTriangles);
    }

    bool IsUV(TQ3AttributeType type) { return type == kQ3AttributeTypeSurfaceUV || type == kQ3AttributeTypeShadingUV; }

    // Whether a search for one kind of UV takes the other kind too.
    enum class UVMatch { SameKind, EitherKind };

    // The first vertex attribute of the type.
    TQ3TriMeshAttributeData* FindVertexAttribute(
        TQ3TriMeshData& mesh, TQ3AttributeType type, UVMatch match = UVMatch::SameKind)
    {
        for (TQ3Uns32 i = 0; i < mesh.numVertexAttributeTypes; ++i) {
            TQ3AttributeType found = mesh.vertexAttributeTypes[i].attributeType;
            if (found == type || (match == UVMatch::EitherKind && IsUV(found) && IsUV(type)))
                return &mesh.vertexAttributeTypes[i];
        }
        return nullptr;
    }

    // Only the kinds of attribute that have a list are ever added.
    uint32_t BytesPerVertex(TQ3AttributeType type)
    {
        const bool listed = IsUV(type) || type == kQ3AttributeTypeNormal || type == kQ3AttributeTypeDiffuseColor;
        return listed ? Q3Attribute_GetDataSize(type) : 0;
    }

    void AddVertexAttribute(TQ3TriMeshData& mesh, TQ3AttributeType type)
    {
        uint32_t bytes = BytesPerVertex(type);
        if (!bytes || FindVertexAttribute(mesh, type))
            return;
        uint32_t count = mesh.numPoints;
        void* values = AllocateArray<void>(count, bytes);
        if (!values && mesh.numPoints)
            return;
        auto* entries = mesh.vertexAttributeTypes;
        if (Q3Memory_Reallocate_(reinterpret_cast<void**>(&entries),
                TQ3Uns32((mesh.numVertexAttributeTypes + 1) * sizeof(TQ3TriMeshAttributeData)))
            != kQ3Success) {
            Q3Memory_Free_(&values);
            return;
        }
        mesh.vertexAttributeTypes = entries;
        entries[mesh.numVertexAttributeTypes++] = { type, values, nullptr };
    }

    LxObject*& ListSlotFor(TrimeshData& data, TQ3AttributeType type)
    {
        if (type == kQ3AttributeTypeNormal)
            return data.normals;
        if (type == kQ3AttributeTypeDiffuseColor)
            return data.colors;
        return data.uvs;
    }

    const LxClassRecord& ListRecordFor(TQ3AttributeType type)
    {
        if (type == kQ3AttributeTypeNormal)
            return VectorListRecord();
        if (type == kQ3AttributeTypeDiffuseColor)
            return ColorListRecord();
        return UVListRecord();
    }

    void RemoveVertexAttribute(TrimeshData& data, TQ3AttributeType type)
    {
        TQ3TriMeshData& mesh = data.mesh;
        TQ3TriMeshAttributeData* entry = FindVertexAttribute(mesh, type);
        if (!entry)
            return;
        Q3Memory_Free_(&entry->data);
        Q3Memory_Free_(reinterpret_cast<void**>(&entry->attributeUseArray));
        *entry = mesh.vertexAttributeTypes[--mesh.numVertexAttributeTypes];
        DropList(ListSlotFor(data, type), ListRecordFor(type));
    }

    LxBoolean GetHasAttribute(LxObject* self, intptr_t type)
    {
        return FindVertexAttribute(Self(self).mesh, TQ3AttributeType(type), UVMatch::EitherKind) != nullptr;
    }

    void SetHasAttribute(LxObject* self, intptr_t type, LxBoolean present)
    {
        if (present)
            AddVertexAttribute(Self(self).mesh, TQ3AttributeType(type));
        else
            RemoveVertexAttribute(Self(self), TQ3AttributeType(type));
    }

    LxBoolean GetHasUVs(LxObject* self, intptr_t) { return GetHasAttribute(self, kQ3AttributeTypeSurfaceUV); }

    // On adds a surface UV entry; off takes both kinds away.
    void SetHasUVs(LxObject* self, intptr_t, LxBoolean present)
    {
        SetHasAttribute(self, kQ3AttributeTypeSurfaceUV, present);
        if (!present)
            SetHasAttribute(self, kQ3AttributeTypeShadingUV, present);
    }

    // Returns the cached list with a new reference, making it on first request.
    LxObject* CachedList(LxObject* self, LxObject*& slot, const LxClassRecord& record, void* items, uint32_t count)
    {
        if (!slot) {
            slot = PluginNewInstance(record.name);
            if (slot)
                AttachList(slot, record, self, items, count);
        }
        if (slot)
            VANTLockObject(slot);
        return slot;
    }

    LxObject* VertexPositions(LxObject* self)
    {
        TrimeshData& data = Self(self);
        return CachedList(self, data.positions, VectorListRecord(), data.mesh.points, data.mesh.numPoints);
    }

    LxObject* Triangles(LxObject* self)
    {
        TrimeshData& data = Self(self);
        return CachedList(self, data.triangles, TriangleListRecord(), data.mesh.triangles, data.mesh.numTriangles);
    }

    // Without such an attribute, or with one that has no values, there is no list.
    LxObject* AttributeList(LxObject* self, TQ3AttributeType type)
    {
        TrimeshData& data = Self(self);
        LxObject*& slot = ListSlotFor(data, type);
        if (!slot) {
            TQ3TriMeshAttributeData* entry = FindVertexAttribute(data.mesh, type, UVMatch::EitherKind);
            if (!entry || !entry->data)
                return nullptr;
            return CachedList(self, slot, ListRecordFor(type), entry->data, data.mesh.numPoints);
        }
        VANTLockObject(slot);
        return slot;
    }

    LxObject* VertexNormals(LxObject* self) { return AttributeList(self, kQ3AttributeTypeNormal); }
    LxObject* VertexColors(LxObject* self) { return AttributeList(self, kQ3AttributeTypeDiffuseColor); }
    LxObject* VertexUVs(LxObject* self) { return AttributeList(self, kQ3AttributeTypeSurfaceUV); }

    // The material shares the mesh's set, made now if the mesh has none.
    LxObject* GetMaterial(LxObject* self, intptr_t)
    {
        TQ3TriMeshData& mesh = Self(self).mesh;
        if (!mesh.triMeshAttributeSet)
            mesh.triMeshAttributeSet = Q3AttributeSet_New();
        LxObject* material = PluginNewInstance("Material");
        if (material)
            MaterialAdoptSet(material, Q3Shared_GetReference(mesh.triMeshAttributeSet));
        return material;
    }

    void SetMaterial(LxObject* self, intptr_t, LxObject* material)
    {
        TQ3TriMeshData& mesh = Self(self).mesh;
        TQ3AttributeSet set = MaterialSet(material);
        if (set)
            Q3Shared_GetReference(set);
        if (mesh.triMeshAttributeSet)
            Q3Object_Dispose(mesh.triMeshAttributeSet);
        mesh.triMeshAttributeSet = set;
    }

    // A pick tests the mesh only if its ray comes near the mesh's box.
    void Render(LxObject* self, LxInteger viewObject)
    {
        TrimeshData& data = Self(self);
        TQ3TriMeshData& mesh = data.mesh;
        if (!data.boxCurrent) {
            Q3BoundingBox_SetFromPoints3D(&mesh.bBox, mesh.points, mesh.numPoints, BytesPerPoint);
            data.boxCurrent = true;
        }
        TQ3ViewObject view = Q3Object_FromId(TQ3Uns32(viewObject));
        if (Q3View_IsBoundingBoxVisible(view, &mesh.bBox) == kQ3True)
            Q3TriMesh_Submit(&mesh, view);
    }

    LxPropertyRow gProperties[] = {
        FieldGetProperty("VertexCount", "Integer", offsetof(TrimeshData, mesh.numPoints), Fn(SetVertexCount)),
        FieldGetProperty("TriangleCount", "Integer", offsetof(TrimeshData, mesh.numTriangles), Fn(SetTriangleCount)),
        AccessorProperty("Material", "Material", Fn(GetMaterial), Fn(SetMaterial)),
        AccessorProperty(
            "HasVertexColors", "Boolean", Fn(GetHasAttribute), Fn(SetHasAttribute), kQ3AttributeTypeDiffuseColor),
        AccessorProperty("HasVertexUVs", "Boolean", Fn(GetHasUVs), Fn(SetHasUVs)),
        AccessorProperty(
            "HasVertexNormals", "Boolean", Fn(GetHasAttribute), Fn(SetHasAttribute), kQ3AttributeTypeNormal),
    };

    LxMethodRow gMethods[] = {
        Method(Fn(VertexPositions), "VertexPositions() as VectorList"),
        Method(Fn(VertexNormals), "VertexNormals() as VectorList"),
        Method(Fn(VertexColors), "VertexColors() as ColorList"),
        Method(Fn(VertexUVs), "VertexUVs() as UVList"),
        Method(Fn(Triangles), "Triangles() as TriangleList"),
    };

    LxEventInstanceRow gEventInstances[] = { { "Render", Fn(Render) } };

    LxClassRecord gRecord = ClassRecord("Trimesh", "Element3D", sizeof(TrimeshData), &Construct, &Destruct,
        { .properties = gProperties, .methods = gMethods, .eventInstances = gEventInstances });

}

LxClassRecord& TrimeshRecord() { return gRecord; }

TrimeshData* TrimeshOf(LxObject* trimesh) { return DataOf<TrimeshData>(trimesh, gRecord); }

void TrimeshArrayWritten(LxObject* trimesh, const void* array)
{
    TrimeshData* data = TrimeshOf(trimesh);
    if (data && array == data->mesh.points)
        data->boxCurrent = false;
}

}
