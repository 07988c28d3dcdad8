#include "Object3D.h"

#include "HostServices.h"
#include "Lx3DUtil.h"
#include "Material.h"
#include "PictureTexture.h"
#include "Records.h"
#include "Trimesh.h"

#include <algorithm>
#include <carbon/Carbon.h>
#include <functional>
#include <new>
#include <vector>

namespace lx3d {

namespace {

    // Pictures larger than this on a side are outside what a quad supports.
    constexpr LxInteger MaximumPictureSide = 32768;
    constexpr int AppendPosition = -1;

    Object3DData& Self(LxObject* self) { return *DataOf<Object3DData>(self, Object3DRecord()); }
    ObjectArray& Shapes(LxObject* self) { return Self(self).shapes; }
    TQ3Object ShapeAt(LxObject* self, uint32_t index) { return static_cast<TQ3Object>(Shapes(self).At(index)); }

    // The shape that is drawn, or null when `Shape` names none.
    TQ3Object CurrentShape(LxObject* self)
    {
        if (!self)
            return nullptr;
        uint32_t index = static_cast<uint32_t>(Self(self).Shape);
        return index < Shapes(self).count ? ShapeAt(self, index) : nullptr;
    }

    LxInteger ClampedShape(LxObject* self, LxInteger value)
    {
        auto last = static_cast<LxInteger>(Shapes(self).count) - 1;
        return std::max(0, std::min(value, last));
    }

    bool InShapeRange(LxObject* self, LxInteger index)
    {
        return index >= 0 && static_cast<uint32_t>(index) < Shapes(self).count;
    }

    // Takes over the caller's reference to the shape.
    void StoreShape(LxObject* self, TQ3Object shape, LxInteger position)
    {
        bool stored = position < 0 ? Shapes(self).Append(shape) : Shapes(self).Insert(uint32_t(position), shape);
        if (!stored)
            Q3Object_Dispose(shape);
    }

    // Positions -1 (append) to the count are allowed; anything else raises.
    bool CheckInsertPosition(LxObject* self, LxInteger position)
    {
        if (position < AppendPosition || position > static_cast<LxInteger>(Shapes(self).count)) {
            RaisePluginError(PluginError::OutOfBounds);
            return false;
        }
        return true;
    }

    void Construct(LxObject* self)
    {
        AcquireQuesa();
        Shapes(self).growStep = ShapeGrowStep;
    }

    void Destruct(LxObject* self)
    {
        ObjectArray& shapes = Shapes(self);
        for (uint32_t i = 0; i < shapes.count; ++i)
            Q3Object_Dispose(ShapeAt(self, i));
        shapes.Clear();
        ReleaseQuesa();
    }

    void Render(LxObject* self, LxInteger viewObject)
    {
        if (TQ3Object shape = CurrentShape(self))
            Q3Object_Submit(shape, Q3Object_FromId(TQ3Uns32(viewObject)));
    }

    // Never below 0, so that shapes added later are drawn.
    void SetShape(LxObject* self, intptr_t, LxInteger value) { Self(self).Shape = ClampedShape(self, value); }

    LxInteger GetShapeCount(LxObject* self, intptr_t) { return static_cast<LxInteger>(Shapes(self).count); }

    // Every top-level object of the stream becomes a member of one display
    // group, which is stored even when nothing could be read.
    void InsertShapeFrom3DMF(LxObject* self, const unsigned char* bytes, uint32_t length, LxInteger position)
    {
        if (!CheckInsertPosition(self, position))
            return;
        TQ3GroupObject group = Q3DisplayGroup_New();
        if (!group)
            return;
        TQ3FileObject file = Q3File_New();
        TQ3StorageObject storage = Q3MemoryStorage_NewBuffer(const_cast<unsigned char*>(bytes), length, length);
        Q3File_SetStorage(file, storage);
        Q3Object_Dispose(storage);
        TQ3FileMode mode = 0;
        Q3File_OpenRead(file, &mode);
        while (!Q3File_IsEndOfFile(file)) {
            if (TQ3Object object = Q3File_ReadObject(file)) {
                Q3Group_AddObject(group, object);
                Q3Object_Dispose(object);
            }
        }
        StoreShape(self, group, position);
        Q3File_Close(file);
        Q3Object_Dispose(file);
    }

    void AddShapeFromString(LxObject* self, LxObject* data, LxInteger position)
    {
        const char* bytes = StringGetCString(data);
        LxInteger length = bytes ? HostStringLength(data) : 0;
        InsertShapeFrom3DMF(self, reinterpret_cast<const unsigned char*>(bytes), uint32_t(length), position);
    }

    // A file that cannot be read, and an empty one, add nothing and raise nothing.
    void AddShapeFromFile(LxObject* self, LxObject* folderItem, LxInteger position)
    {
        FSSpec fileSpec {};
        int16_t file = 0;
        if (!folderItem || !VANTFSSpecFromFolderItem(&fileSpec, folderItem) || FSpOpenDF(&fileSpec, fsRdPerm, &file) != noErr)
            return;
        int32_t size = 0;
        std::vector<unsigned char> bytes;
        if (GetEOF(file, &size) == noErr && size > 0) {
            // A file too large for memory adds nothing, as one that cannot be read.
            try {
                bytes.resize(size_t(size));
            } catch (const std::bad_alloc&) {
                size = 0;
            }
            if (size > 0 && FSRead(file, &size, bytes.data()) != noErr)
                size = 0;
        }
        FSClose(file);
        if (size > 0)
            InsertShapeFrom3DMF(self, bytes.data(), uint32_t(size), position);
    }

    // The handle is a library object's id; one that names no shared object adds nothing.
    void AddShapeFromHandle(LxObject* self, LxInteger handle, LxInteger position)
    {
        if (!CheckInsertPosition(self, position))
            return;
        if (TQ3Object shape = Q3Shared_GetReference(Q3Object_FromId(TQ3Uns32(handle))))
            StoreShape(self, shape, position);
    }

    // The id of the shape. It stays valid while any holder keeps the shape;
    // an id cannot carry a reference the caller could ever drop.
    LxInteger GetShapeHandle(LxObject* self, LxInteger index)
    {
        if (!InShapeRange(self, index)) {
            RaisePluginError(PluginError::OutOfBounds);
            return 0;
        }
        return static_cast<LxInteger>(Q3Object_GetId(ShapeAt(self, uint32_t(index))));
    }

    void RemoveShape(LxObject* self, LxInteger index)
    {
        if (!InShapeRange(self, index)) {
            RaisePluginError(PluginError::OutOfBounds);
            return;
        }
        Q3Object_Dispose(static_cast<TQ3Object>(Shapes(self).RemoveAt(uint32_t(index))));
        if (static_cast<uint32_t>(Self(self).Shape) >= Shapes(self).count)
            Self(self).Shape = ClampedShape(self, Self(self).Shape);
    }

    // A new object of the same class, the application's subclass included,
    // sharing the same shapes. Nothing else is copied.
    LxObject* Clone(LxObject* self)
    {
        LxObject* clone = PluginNewOfSameClass(self);
        if (!clone)
            return nullptr;
        ObjectArray& source = Shapes(self);
        ObjectArray& copy = Shapes(clone);
        if (!copy.SetCapacity(source.count))
            return clone;
        for (uint32_t i = 0; i < source.count; ++i)
            copy.Append(Q3Shared_GetReference(ShapeAt(self, i)));
        return clone;
    }

    // A depth-first search for attribute set number `target` (counted from 0;
    // -1 counts them all), to replace it in place or to hand it out.
    struct SetSearch {
        int32_t target = -1;
        bool replacing = false;
        TQ3AttributeSet replacement = nullptr;
        int32_t passed = 0;
        TQ3AttributeSet found = nullptr; // with a reference
    };

    using PartGetter = std::function<TQ3Status(TQ3AttributeSet*)>;
    using PartSetter = std::function<TQ3Status(TQ3AttributeSet)>;

    // One part of a geometry that may carry a set; a part without one is not counted.
    bool VisitPart(SetSearch& search, const PartGetter& get, const PartSetter& set)
    {
        TQ3AttributeSet part = nullptr;
        if (get(&part) != kQ3Success || !part)
            return false;
        if (search.passed++ != search.target) {
            Q3Object_Dispose(part);
            return false;
        }
        if (search.replacing) {
            set(search.replacement);
            Q3Object_Dispose(part);
        } else {
            search.found = part;
        }
        return true;
    }

    bool SearchSets(TQ3Object object, SetSearch& search);

    bool SearchGroupSets(TQ3GroupObject group, SetSearch& search)
    {
        TQ3GroupPosition position = nullptr;
        for (Q3Group_GetFirstPosition(group, &position); position; Q3Group_GetNextPosition(group, &position)) {
            TQ3Object member = nullptr;
            Q3Group_GetPositionObject(group, position, &member);
            bool found = false;
            if (Q3Object_IsType(member, kQ3SetTypeAttribute)) {
                found = VisitPart(
                    search,
                    [&](TQ3AttributeSet* set) {
                        *set = Q3Shared_GetReference(member);
                        return kQ3Success;
                    },
                    [&](TQ3AttributeSet set) {
                        // Taking a set out of a group would leave a hole in
                        // it, so a nil replacement leaves the set in place.
                        return set ? Q3Group_SetPositionObject(group, position, set) : kQ3Success;
                    });
            } else {
                found = SearchSets(member, search);
            }
            Q3Object_Dispose(member);
            if (found)
                return true;
        }
        return false;
    }

    bool SearchGeometrySets(TQ3GeometryObject geometry, SetSearch& search)
    {
        std::vector<std::pair<PartGetter, PartSetter>> parts {
            { [&](TQ3AttributeSet* set) { return Q3Geometry_GetAttributeSet(geometry, set); },
                [&](TQ3AttributeSet set) { return Q3Geometry_SetAttributeSet(geometry, set); } },
        };
        if (Q3Object_IsType(geometry, kQ3GeometryTypeBox)) {
            for (TQ3Uns32 face = 0; face < 6; ++face)
                parts.push_back({ [=](TQ3AttributeSet* set) { return Q3Box_GetFaceAttributeSet(geometry, face, set); },
                    [=](TQ3AttributeSet set) { return Q3Box_SetFaceAttributeSet(geometry, face, set); } });
        } else if (Q3Object_IsType(geometry, kQ3GeometryTypeCone)) {
            parts.push_back({ [&](TQ3AttributeSet* set) { return Q3Cone_GetFaceAttributeSet(geometry, set); },
                [&](TQ3AttributeSet set) { return Q3Cone_SetFaceAttributeSet(geometry, set); } });
            parts.push_back({ [&](TQ3AttributeSet* set) { return Q3Cone_GetBottomAttributeSet(geometry, set); },
                [&](TQ3AttributeSet set) { return Q3Cone_SetBottomAttributeSet(geometry, set); } });
        } else if (Q3Object_IsType(geometry, kQ3GeometryTypeCylinder)) {
            parts.push_back({ [&](TQ3AttributeSet* set) { return Q3Cylinder_GetFaceAttributeSet(geometry, set); },
                [&](TQ3AttributeSet set) { return Q3Cylinder_SetFaceAttributeSet(geometry, set); } });
            parts.push_back({ [&](TQ3AttributeSet* set) { return Q3Cylinder_GetBottomAttributeSet(geometry, set); },
                [&](TQ3AttributeSet set) { return Q3Cylinder_SetBottomAttributeSet(geometry, set); } });
            parts.push_back({ [&](TQ3AttributeSet* set) { return Q3Cylinder_GetTopAttributeSet(geometry, set); },
                [&](TQ3AttributeSet set) { return Q3Cylinder_SetTopAttributeSet(geometry, set); } });
        }
        for (const auto& [get, set] : parts) {
            if (VisitPart(search, get, set))
                return true;
        }
        return false;
    }

    bool SearchSets(TQ3Object object, SetSearch& search)
    {
        if (Q3Object_IsType(object, kQ3ShapeTypeGroup))
            return SearchGroupSets(object, search);
        if (Q3Object_IsType(object, kQ3ShapeTypeGeometry))
            return SearchGeometrySets(object, search);
        return false;
    }

    // Triangle meshes directly in the shape or inside its groups, counted
    // from 0; -1 counts them all.
    struct MeshSearch {
        int32_t target = -1;
        int32_t passed = 0;
        TQ3GeometryObject found = nullptr; // with a reference
    };

    bool SearchMeshes(TQ3Object object, MeshSearch& search)
    {
        if (Q3Object_IsType(object, kQ3GeometryTypeTriMesh)) {
            if (search.passed++ != search.target)
                return false;
            search.found = Q3Shared_GetReference(object);
            return true;
        }
        if (!Q3Object_IsType(object, kQ3ShapeTypeGroup))
            return false;
        TQ3GroupPosition position = nullptr;
        for (Q3Group_GetFirstPosition(object, &position); position; Q3Group_GetNextPosition(object, &position)) {
            TQ3Object member = nullptr;
            Q3Group_GetPositionObject(object, position, &member);
            bool found = SearchMeshes(member, search);
            Q3Object_Dispose(member);
            if (found)
                return true;
        }
        return false;
    }

    LxInteger GetMaterialCount(LxObject* self, intptr_t)
    {
        SetSearch search;
        SearchSets(CurrentShape(self), search);
        return search.passed;
    }

    LxInteger GetTrimeshCount(LxObject* self, intptr_t)
    {
        MeshSearch search;
        SearchMeshes(CurrentShape(self), search);
        return search.passed;
    }

    // A material sharing the set: changing it changes the shape.
    LxObject* GetMaterial(LxObject* self, LxInteger index)
    {
        SetSearch search { .target = index };
        if (index < 0 || !SearchSets(CurrentShape(self), search))
            return nullptr;
        LxObject* material = PluginNewInstance("Material");
        if (material)
            MaterialAdoptSet(material, search.found);
        else
            Q3Object_Dispose(search.found);
        return material;
    }

    void SetMaterial(LxObject* self, LxInteger index, LxObject* material)
    {
        SetSearch search { .target = index, .replacing = true, .replacement = MaterialSet(material) };
        if (index >= 0)
            SearchSets(CurrentShape(self), search);
    }

    // A Trimesh holding its own copy of the mesh.
    LxObject* GetTrimesh(LxObject* self, LxInteger index)
    {
        MeshSearch search { .target = index };
        if (index < 0 || !SearchMeshes(CurrentShape(self), search))
            return nullptr;
        LxObject* trimesh = PluginNewInstance("Trimesh");
        if (trimesh)
            Q3TriMesh_GetData(search.found, &TrimeshOf(trimesh)->mesh);
        Q3Object_Dispose(search.found);
        return trimesh;
    }

    uint32_t NextPowerOfTwo(uint32_t value)
    {
        uint32_t power = 1;
        while (power < value)
            power <<= 1;
        return power;
    }

    // A flat quad in the element's XY plane, facing +Z, textured with the
    // picture in the top-left of a power-of-two texture; pure white (or the
    // mask) makes it see-through.
    TQ3GeometryObject NewPictureQuad(LxObject* image, LxObject* mask, double scale)
    {
        LxPictureDescription description {};
        lockPictureDescription(image, &description);
        unlockPictureDescription(image);
        LxInteger w = description.width;
        LxInteger h = description.height;
        if (w <= 0 || h <= 0 || w > MaximumPictureSide || h > MaximumPictureSide)
            return nullptr;
        float halfWidth = float(w * scale) * 0.5f;
        float halfHeight = float(h * scale) * 0.5f;
        uint32_t textureWidth = NextPowerOfTwo(uint32_t(w));
        uint32_t textureHeight = NextPowerOfTwo(uint32_t(h));
        float u = float(w) / float(textureWidth);
        float v = 1 - float(h) / float(textureHeight);

        TQ3Point3D points[] = { { -halfWidth, halfHeight, 0 }, { halfWidth, halfHeight, 0 },
            { halfWidth, -halfHeight, 0 }, { -halfWidth, -halfHeight, 0 } };
        TQ3TriMeshTriangleData triangles[] = { { { 2, 1, 0 } }, { { 0, 3, 2 } } };
        TQ3Param2D uvs[] = { { 0, 1 }, { u, 1 }, { u, v }, { 0, v } };
        TQ3TriMeshAttributeData uvAttribute { kQ3AttributeTypeSurfaceUV, uvs, nullptr };
        TQ3TriMeshData data {};
        data.numTriangles = 2;
        data.triangles = triangles;
        data.numPoints = 4;
        data.points = points;
        data.numVertexAttributeTypes = 1;
        data.vertexAttributeTypes = &uvAttribute;
        Q3BoundingBox_SetFromPoints3D(&data.bBox, points, 4, sizeof(TQ3Point3D));

        TQ3ShaderObject shader
            = NewTextureShaderFromPicture(image, mask, WhiteTransparency::Transparent, textureWidth, textureHeight);
        if (shader) {
            data.triMeshAttributeSet = Q3AttributeSet_New();
            Q3AttributeSet_Add(data.triMeshAttributeSet, kQ3AttributeTypeSurfaceShader, &shader);
            Q3Object_Dispose(shader);
        }
        TQ3GeometryObject mesh = Q3TriMesh_New(&data);
        if (data.triMeshAttributeSet)
            Q3Object_Dispose(data.triMeshAttributeSet);
        return mesh;
    }

    // Any negative position appends; one beyond the count raises.
    void InsertPictureQuad(LxObject* self, LxObject* image, LxObject* mask, double scale, LxInteger position)
    {
        if (!image)
            return;
        TQ3GeometryObject mesh = NewPictureQuad(image, mask, scale);
        if (!mesh)
            return;
        if (position > static_cast<LxInteger>(Shapes(self).count)) {
            RaisePluginError(PluginError::OutOfBounds);
            Q3Object_Dispose(mesh);
            return;
        }
        StoreShape(self, mesh, position);
    }

    void AddShapePicture(LxObject* self, LxObject* image, double scale, LxInteger position)
    {
        InsertPictureQuad(self, image, nullptr, scale, position);
    }

    void AddShapePictureWithMask(LxObject* self, LxObject* image, LxObject* mask, double scale, LxInteger position)
    {
        InsertPictureQuad(self, image, mask, scale, position);
    }

    LxPropertyRow gProperties[] = {
        FieldGetProperty("Shape", "Integer", offsetof(Object3DData, Shape), Fn(SetShape)),
        AccessorProperty("ShapeCount", "Integer", Fn(GetShapeCount), nullptr),
        AccessorProperty("MaterialCount", "Integer", Fn(GetMaterialCount), nullptr),
        AccessorProperty("TrimeshCount", "Integer", Fn(GetTrimeshCount), nullptr),
    };

    LxMethodRow gMethods[] = {
        Method(Fn(AddShapeFromString), "AddShapeFromString(data as String, insertPos as Integer=-1)"),
        Method(Fn(AddShapePicture), "AddShapePicture(image as Picture, scale as Double, insertPos as Integer=-1)"),
        Method(Fn(AddShapePictureWithMask),
            "AddShapePictureWithMask(image as Picture, mask as Picture, scale as Double, insertPos as Integer=-1)"),
        Method(Fn(AddShapeFromFile), "AddShapeFromFile(file as FolderItem, insertPos as Integer=-1)"),
        Method(Fn(AddShapeFromHandle), "AddShapeFromHandle(TQ3Object as Integer, insertPos as Integer=-1)"),
        Method(Fn(GetShapeHandle), "GetShapeHandle(index as Integer) as Integer"),
        Method(Fn(RemoveShape), "RemoveShape(index as Integer)"),
        Method(Fn(Clone), "Clone() as Object3D"),
        Method(Fn(GetMaterial), "Material(index as Integer) as Material", Fn(SetMaterial)),
        Method(Fn(GetTrimesh), "Trimesh(index as Integer) as Trimesh"),
    };

    LxEventInstanceRow gEventInstances[] = { { "Render", Fn(Render) } };

    LxClassRecord gRecord = ClassRecord("Object3D", "Element3D", sizeof(Object3DData), &Construct, &Destruct,
        { .properties = gProperties, .methods = gMethods, .eventInstances = gEventInstances });

}

LxClassRecord& Object3DRecord() { return gRecord; }

}
