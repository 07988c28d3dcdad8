#include "MetafileSource.h"

#include "AttributeSet.h"
#include "Group.h"
#include "Math.h"
#include "Shader.h"
#include "Solids.h"
#include "Storage.h"
#include "Texture.h"
#include "Transform.h"
#include "TriMesh.h"

#include <array>
#include <cstring>
#include <new>
#include <vector>

namespace q3 {

std::unique_ptr<MetafileSource> OpenBinaryMetafile(std::span<const uint8_t> bytes);
std::unique_ptr<MetafileSource> OpenTextMetafile(std::span<const uint8_t> bytes);

namespace {

    constexpr TQ3ObjectType Tag(const char (&code)[5])
    {
        return Q3_FOUR_CHARACTER_CONSTANT(code[0], code[1], code[2], code[3]);
    }

    constexpr TQ3ObjectType ContainerTag = Tag("cntr");
    constexpr TQ3ObjectType TriMeshTag = Tag("tmsh");
    constexpr TQ3ObjectType AttributeArrayTag = Tag("atar");
    constexpr TQ3ObjectType AttributeSetTag = Tag("attr");
    constexpr TQ3ObjectType DiffuseColorTag = Tag("kdif");
    constexpr TQ3ObjectType TransparencyColorTag = Tag("kxpr");
    constexpr TQ3ObjectType TextureShaderTag = Tag("txsu");
    constexpr TQ3ObjectType ShaderDataTag = Tag("shdr");
    constexpr TQ3ObjectType ReferenceTag = Tag("rfrn");
    constexpr TQ3ObjectType TableOfContentsTag = Tag("toc ");
    constexpr TQ3ObjectType PixmapTag = Tag("txpm");
    constexpr TQ3ObjectType MipmapTag = Tag("txmm");
    constexpr TQ3ObjectType BoxTag = Tag("box ");
    constexpr TQ3ObjectType ConeTag = Tag("cone");
    constexpr TQ3ObjectType CylinderTag = Tag("cyln");
    constexpr TQ3ObjectType BeginGroupTag = Tag("bgng");
    constexpr TQ3ObjectType EndGroupTag = Tag("endg");

    // Deeper nesting than this is taken as bad data, so that a hostile file
    // cannot exhaust the stack.
    constexpr int MaximumDepth = 32;
    // Shared objects read inside shared objects, each from a fresh scope:
    // deeper than this reads as nothing, for the same reason.
    constexpr size_t MaximumSharedNesting = 8;
    // Through shared references a file's objects may be held many times
    // over: groups each holding the one before twice, level upon level, make
    // a view visit twice as many objects with each level, for a few bytes
    // more of file. A file whose objects would make a view visit more than
    // this many is malformed, as a parser refuses entities that expand
    // without bound. Real model files visit far fewer: the debug cube's
    // 788 KB visit 6, and the largest real files hold under 9,000 triangles,
    // so that even one written as a mesh per triangle, each in a group of
    // its own, visits under 20,000. As many one-triangle meshes as the
    // limit allows are drawn in some 30 ms.
    constexpr uint64_t MaximumVisits = 1 << 16;
    // The limit in force: the library's own, or one tests set.
    uint64_t s_visitLimit = MaximumVisits;

    enum class ArrayPosition : uint32_t { Triangle = 0, Edge = 1, Vertex = 2 };

    bool IsGroupTag(TQ3ObjectType type) { return type == Tag("dspg") || type == Tag("ordg") || type == Tag("grup"); }

    template <typename Visit>
    void ReadScope(MetafileSource& source, int groupLevel, Visit visit, Object* endMarker = nullptr);

    bool Read(MetafileSource& source, TQ3Point3D& p)
    {
        return source.Float(p.x) && source.Float(p.y) && source.Float(p.z);
    }
    bool Read(MetafileSource& source, TQ3Vector3D& v)
    {
        return source.Float(v.x) && source.Float(v.y) && source.Float(v.z);
    }

    // Checks that `count` items of `fields` fields each can still be in the object.
    bool Fits(const MetafileSource& source, uint64_t count, uint64_t fields)
    {
        return count * fields <= source.FieldsLeft();
    }

    // Allocates `count` zero-filled elements with the library's allocator.
    template <typename T> bool Allocate(T*& array, uint64_t count, size_t size = sizeof(T))
    {
        array = nullptr;
        if (count == 0)
            return true;
        const uint64_t bytes = count * size;
        if (bytes > UINT32_MAX)
            return false;
        array = static_cast<T*>(Q3Memory_AllocateClear(static_cast<TQ3Uns32>(bytes)));
        return array != nullptr;
    }

    // The fields of a tri-mesh: counts, triangles, edges, points and box.
    bool ReadTriMeshFields(MetafileSource& source, TQ3TriMeshData& data)
    {
        uint32_t triangleAttributes = 0, edgeAttributes = 0, vertexAttributes = 0;
        if (!source.Uns32(data.numTriangles) || !source.Uns32(triangleAttributes) || !source.Uns32(data.numEdges)
            || !source.Uns32(edgeAttributes) || !source.Uns32(data.numPoints) || !source.Uns32(vertexAttributes))
            return false;
        const uint32_t triangles = data.numTriangles, edges = data.numEdges, points = data.numPoints;
        data.numTriangles = data.numEdges = data.numPoints = 0;
        if (!Fits(source, triangles, 3) || !Fits(source, edges, 4) || !Fits(source, points, 3)
            || !Allocate(data.triangles, triangles) || !Allocate(data.edges, edges) || !Allocate(data.points, points))
            return false;
        data.numTriangles = triangles;
        data.numEdges = edges;
        data.numPoints = points;
        for (uint32_t t = 0; t < triangles; ++t)
            for (uint32_t& corner : data.triangles[t].pointIndices)
                if (!source.Index(corner, points))
                    return false;
        for (uint32_t e = 0; e < edges; ++e) {
            TQ3TriMeshEdgeData& edge = data.edges[e];
            if (!source.Index(edge.pointIndices[0], points) || !source.Index(edge.pointIndices[1], points)
                || !source.Index(edge.triangleIndices[0], triangles)
                || !source.Index(edge.triangleIndices[1], triangles))
                return false;
        }
        for (uint32_t p = 0; p < points; ++p)
            if (!Read(source, data.points[p]))
                return false;
        uint32_t isEmpty = 0;
        if (!Read(source, data.bBox.min) || !Read(source, data.bBox.max) || !source.Uns32(isEmpty))
            return false;
        data.bBox.isEmpty = isEmpty ? kQ3True : kQ3False;
        return true;
    }

    // Appends an attribute array to the mesh; an array of a type the library
    // does not know is passed over.
    bool ReadAttributeArray(MetafileSource& source, TQ3TriMeshData& mesh)
    {
        uint32_t type = 0, reserved = 0, position = 0, positionInArray = 0, useFlag = 0;
        if (!source.Uns32(type) || !source.Uns32(reserved) || !source.Uns32(position) || !source.Uns32(positionInArray)
            || !source.Uns32(useFlag))
            return false;
        const size_t size = AttributeSize(type);
        if (size == 0)
            return true;
        uint32_t items = 0;
        TQ3TriMeshAttributeData** entries = nullptr;
        TQ3Uns32* entryCount = nullptr;
        switch (static_cast<ArrayPosition>(position)) {
        case ArrayPosition::Triangle:
            items = mesh.numTriangles, entries = &mesh.triangleAttributeTypes,
            entryCount = &mesh.numTriangleAttributeTypes;
            break;
        case ArrayPosition::Edge:
            items = mesh.numEdges, entries = &mesh.edgeAttributeTypes, entryCount = &mesh.numEdgeAttributeTypes;
            break;
        case ArrayPosition::Vertex:
            items = mesh.numPoints, entries = &mesh.vertexAttributeTypes, entryCount = &mesh.numVertexAttributeTypes;
            break;
        default:
            return true;
        }
        const size_t fields = size / sizeof(float);
        if (items == 0 || !Fits(source, items, fields))
            return items == 0;
        void* grown = *entries;
        if (Q3Memory_Reallocate_(&grown, static_cast<TQ3Uns32>((*entryCount + 1) * sizeof(TQ3TriMeshAttributeData)))
            != kQ3Success)
            return false;
        *entries = static_cast<TQ3TriMeshAttributeData*>(grown);
        TQ3TriMeshAttributeData& entry = (*entries)[(*entryCount)++];
        entry = { type, nullptr, nullptr };
        uint32_t* values = nullptr;
        if (!Allocate(values, static_cast<uint64_t>(items) * fields))
            return false;
        entry.data = values;
        // Every attribute value is a run of 32-bit floats, except the highlight switch.
        for (size_t i = 0; i < items * fields; ++i) {
            float value = 0;
            if (type == kQ3AttributeTypeHighlightState ? !source.Uns32(values[i]) : !source.Float(value))
                return false;
            if (type != kQ3AttributeTypeHighlightState)
                std::memcpy(&values[i], &value, sizeof value);
        }
        if (useFlag) {
            if (!Allocate(entry.attributeUseArray, items))
                return false;
            return source.Bytes({ reinterpret_cast<uint8_t*>(entry.attributeUseArray), items });
        }
        return true;
    }

    Ref<> MakeTriMesh(TQ3TriMeshData& data, Object* attributes)
    {
        data.triMeshAttributeSet = Q3Shared_GetReference(attributes);
        auto* mesh = new (std::nothrow) TriMesh(data);
        if (!mesh) {
            EmptyTriMeshData(data);
            return {};
        }
        data = {};
        return Ref<>::Adopt(mesh);
    }

    bool ReadSolidFields(MetafileSource& source, Solid::Shape& shape)
    {
        return Read(source, shape.orientation) && Read(source, shape.majorAxis) && Read(source, shape.minorAxis)
            && Read(source, shape.origin);
    }

    Solid::Kind SolidKindOf(TQ3ObjectType type)
    {
        return type == ConeTag ? Solid::Kind::Cone : type == CylinderTag ? Solid::Kind::Cylinder : Solid::Kind::Box;
    }

    // A pixmap's or mipmap's first level: the description, then the rows.
    Ref<> ReadTexture(MetafileSource& source, TQ3ObjectType type)
    {
        TQ3StoragePixmap pixmap {};
        uint32_t pixelType = 0, bitOrder = 0, byteOrder = 0, useMipmapping = 0, offset = 0;
        bool described = false;
        if (type == PixmapTag)
            described = source.Uns32(pixmap.width) && source.Uns32(pixmap.height) && source.Uns32(pixmap.rowBytes)
                && source.Uns32(pixmap.pixelSize) && source.Uns32(pixelType) && source.Uns32(bitOrder)
                && source.Uns32(byteOrder);
        else
            described = source.Uns32(useMipmapping) && source.Uns32(pixelType) && source.Uns32(bitOrder)
                && source.Uns32(byteOrder) && source.Uns32(pixmap.width) && source.Uns32(pixmap.height)
                && source.Uns32(pixmap.rowBytes) && source.Uns32(offset);
        const uint64_t size = static_cast<uint64_t>(pixmap.height) * pixmap.rowBytes;
        if (!described || pixelType > kQ3PixelTypeRGB24 || byteOrder > kQ3EndianLittle || size == 0
            || !Fits(source, size, 1))
            return {};
        pixmap.pixelType = static_cast<TQ3PixelType>(pixelType);
        pixmap.bitOrder = static_cast<TQ3Endian>(bitOrder);
        pixmap.byteOrder = static_cast<TQ3Endian>(byteOrder);
        std::vector<uint8_t> bytes;
        try {
            bytes.resize(size);
        } catch (const std::bad_alloc&) {
            return {};
        }
        if (!source.Bytes(bytes))
            return {};
        auto storage = Ref<>::Adopt(new MemoryStorage(std::move(bytes)));
        pixmap.image = storage.Get();
        return Ref<>::Adopt(new Texture(type == PixmapTag ? Texture::Kind::Pixmap : Texture::Kind::Mipmap, pixmap));
    }

    Ref<> ReadTransform(MetafileSource& source, TQ3ObjectType type)
    {
        TQ3Vector3D v {};
        if (type == Tag("trns"))
            return Read(source, v) ? Ref<>::Adopt(new Transform(kQ3TransformTypeTranslate, Translation(v))) : Ref<> {};
        if (type == Tag("scal"))
            return Read(source, v) ? Ref<>::Adopt(new Transform(kQ3TransformTypeScale, Scaling(v))) : Ref<> {};
        if (type == Tag("rott") || type == Tag("rtaa")) {
            uint32_t axis = 0;
            TQ3Point3D origin {};
            float angle = 0;
            const bool read = type == Tag("rott") ? source.Uns32(axis) && axis <= 2 && source.Float(angle)
                                                  : Read(source, origin) && Read(source, v) && source.Float(angle);
            if (!read)
                return {};
            if (type == Tag("rott"))
                v = { axis == 0 ? 1.0f : 0, axis == 1 ? 1.0f : 0, axis == 2 ? 1.0f : 0 };
            TQ3Quaternion q {};
            const TQ3Vector3D unit = Normalized(v);
            Q3Quaternion_SetRotateAboutAxis(&q, &unit, angle);
            // About an axis through `origin`: move it to the origin, turn, move back.
            const TQ3Vector3D offset = origin - TQ3Point3D {};
            const TQ3Matrix4x4 m = Multiply(Multiply(Translation(-offset), Rotation(q)), Translation(offset));
            return Ref<>::Adopt(new Transform(kQ3TransformTypeRotate, m));
        }
        if (type == Tag("qtrn")) {
            TQ3Quaternion q {};
            if (!source.Float(q.w) || !source.Float(q.x) || !source.Float(q.y) || !source.Float(q.z))
                return {};
            return Ref<>::Adopt(new Transform(kQ3TransformTypeQuaternion, Rotation(q)));
        }
        TQ3Matrix4x4 m {};
        for (auto& row : m.value)
            for (float& value : row)
                if (!source.Float(value))
                    return {};
        return Ref<>::Adopt(new Transform(kQ3TransformTypeMatrix, m));
    }

    Ref<> ReadIllumination(TQ3ObjectType type)
    {
        if (type == Tag("nuli"))
            return Ref<>::Adopt(new IlluminationShader(kQ3IlluminationTypeNULL));
        if (type == Tag("lmil"))
            return Ref<>::Adopt(new IlluminationShader(kQ3IlluminationTypeLambert));
        return Ref<>::Adopt(new IlluminationShader(kQ3IlluminationTypePhong));
    }

    bool IsIlluminationTag(TQ3ObjectType type)
    {
        return type == Tag("nuli") || type == Tag("lmil") || type == Tag("phil");
    }

    bool IsTransformTag(TQ3ObjectType type)
    {
        return type == Tag("trns") || type == Tag("scal") || type == Tag("rott") || type == Tag("rtaa")
            || type == Tag("qtrn") || type == Tag("mtrx");
    }

    Ref<> ReadOpenObject(MetafileSource& source, TQ3ObjectType type);

    // How many objects a view visits submitting `object`, read from this file.
    uint64_t VisitsOf(const MetafileShared& shared, const Object& object)
    {
        if (!object.IsType(kQ3ShapeTypeGroup))
            return 1;
        const auto found = shared.groupVisits.find(object.Id());
        return found == shared.groupVisits.end() ? 1 : found->second;
    }

    // Adds what a view visits of `object` to `visits`; false, abandoning
    // the file, once that passes the limit.
    bool CountVisits(MetafileSource& source, uint64_t& visits, const Object& object)
    {
        const uint64_t counted = visits + VisitsOf(source.Shared(), object);
        if (counted > s_visitLimit) {
            source.Abandon();
            return false;
        }
        visits = counted;
        return true;
    }

    // Adds `member` to the group being read if the group accepts it,
    // counting what a view visits of it into the group's `visits`; false
    // once the file is abandoned.
    bool AddMember(MetafileSource& source, Group& group, uint64_t& visits, Object* member)
    {
        if (!member || !group.Accepts(member))
            return true;
        group.Add(member);
        return CountVisits(source, visits, *member);
    }

    // The shared object a reference names by its id: nothing when the table
    // of contents lacks the id, its place is outside the file, the object
    // there is not of the type the table gives, or it is still being read
    // (a reference into itself).
    Ref<> ReadReference(MetafileSource& source)
    {
        uint32_t id = 0;
        if (!source.Uns32(id))
            return {};
        const MetafileShared& shared = source.Shared();
        const auto entry = shared.entries.find(id);
        if (entry == shared.entries.end())
            return {};
        const std::unique_ptr<MetafileSource> place = source.At(entry->second.location);
        TQ3ObjectType type = 0;
        if (!place || !place->Open(type))
            return {};
        Ref<> object = ReadOpenObject(*place, type);
        // A container is listed under its own type or its root's.
        const TQ3ObjectType listed = entry->second.type;
        if (listed != 0 && listed != type && !(object && object->IsType(listed)))
            return {};
        return object;
    }

    // An object whose content is fields only; the open object is `type`.
    Ref<> ReadLeaf(MetafileSource& source, TQ3ObjectType type)
    {
        if (type == TriMeshTag) {
            TQ3TriMeshData data {};
            if (!ReadTriMeshFields(source, data)) {
                EmptyTriMeshData(data);
                return {};
            }
            return MakeTriMesh(data, nullptr);
        }
        if (type == BoxTag || type == ConeTag || type == CylinderTag) {
            Solid::Shape shape;
            // A solid without fields is the unit solid.
            if (source.FieldsLeft() > 0 && !ReadSolidFields(source, shape))
                return {};
            return Ref<>::Adopt(new Solid(SolidKindOf(type), shape));
        }
        if (type == PixmapTag || type == MipmapTag)
            return ReadTexture(source, type);
        if (IsTransformTag(type))
            return ReadTransform(source, type);
        if (IsIlluminationTag(type))
            return ReadIllumination(type);
        if (type == AttributeSetTag)
            return Ref<>::Adopt(new AttributeSet);
        if (type == ReferenceTag)
            return ReadReference(source);
        return {};
    }

    // Opens each child of the container whose root was just closed, hands
    // its type to `read` and closes it, until `read` answers false or the
    // children end.
    template <typename Read> void ReadChildren(MetafileSource& source, Read read)
    {
        TQ3ObjectType type = 0;
        while (source.Open(type)) {
            const bool more = read(type);
            source.Close();
            if (!more)
                return;
        }
    }

    // A tri-mesh container's children: attribute arrays and the mesh's attribute set.
    Ref<> ReadTriMeshContainer(MetafileSource& source)
    {
        TQ3TriMeshData data {};
        const bool read = ReadTriMeshFields(source, data);
        source.Close();
        Ref<> attributes;
        if (read)
            ReadChildren(source, [&](TQ3ObjectType type) {
                if (type == AttributeArrayTag)
                    return ReadAttributeArray(source, data);
                if (Ref<> child = ReadOpenObject(source, type); child && child->IsType(kQ3SetTypeAttribute))
                    attributes = child;
                return true;
            });
        if (!read || source.Failed()) {
            EmptyTriMeshData(data);
            return {};
        }
        return MakeTriMesh(data, attributes.Get());
    }

    // How the texture wraps or clamps in u and v; false for values the
    // format does not define.
    bool ReadShaderData(MetafileSource& source, TQ3ShaderUVBoundary& u, TQ3ShaderUVBoundary& v)
    {
        uint32_t uRead = 0, vRead = 0;
        if (!source.Uns32(uRead) || !source.Uns32(vRead) || uRead > kQ3ShaderUVBoundaryClamp
            || vRead > kQ3ShaderUVBoundaryClamp)
            return false;
        u = uRead;
        v = vRead;
        return true;
    }

    // A texture shader container's children: its shader data and its texture.
    Ref<> ReadTextureShaderContainer(MetafileSource& source)
    {
        source.Close();
        Ref<> texture;
        TQ3ShaderUVBoundary u = kQ3ShaderUVBoundaryWrap, v = kQ3ShaderUVBoundaryWrap;
        ReadChildren(source, [&](TQ3ObjectType type) {
            if (type == ShaderDataTag)
                ReadShaderData(source, u, v);
            else if (Ref<> child = ReadOpenObject(source, type); child && child->IsType(kQ3SharedTypeTexture))
                texture = child;
            return true;
        });
        return texture ? Ref<>::Adopt(new TextureShader(texture.Get(), u, v)) : Ref<> {};
    }

    bool ReadColor(MetafileSource& source, TQ3ColorRGB& color)
    {
        return source.Float(color.r) && source.Float(color.g) && source.Float(color.b);
    }

    // An attribute set container's children: its colors and its surface shader.
    Ref<> ReadAttributeSetContainer(MetafileSource& source)
    {
        source.Close();
        auto set = Ref<AttributeSet>::Adopt(new AttributeSet);
        ReadChildren(source, [&](TQ3ObjectType type) {
            TQ3ColorRGB color {};
            if (type == DiffuseColorTag || type == TransparencyColorTag) {
                if (ReadColor(source, color))
                    set->Add(type == DiffuseColorTag ? kQ3AttributeTypeDiffuseColor : kQ3AttributeTypeTransparencyColor,
                        &color);
            } else if (Ref<> child = ReadOpenObject(source, type); child && child->IsType(kQ3ShaderTypeSurface)) {
                TQ3Object shader = child.Get();
                set->Add(kQ3AttributeTypeSurfaceShader, &shader);
            }
            return true;
        });
        return Ref<>(set.Get());
    }

    Ref<> ReadGroupContainer(MetafileSource& source)
    {
        source.Close();
        auto group = Ref<Group>::Adopt(new Group(Group::Kind::Display));
        uint64_t visits = 1;
        ReadScope(
            source, 0, [&](const Ref<>& member) { return AddMember(source, *group.Get(), visits, member.Get()); });
        source.Shared().groupVisits[group->Id()] = visits;
        return Ref<>(group.Get());
    }

    // Any other root: the root itself, with its geometry attribute set if
    // the root is a geometry; other children are passed over.
    Ref<> ReadOtherContainer(MetafileSource& source, TQ3ObjectType rootType)
    {
        Ref<> root = ReadLeaf(source, rootType);
        source.Close();
        ReadChildren(source, [&](TQ3ObjectType type) {
            Ref<> child = ReadOpenObject(source, type);
            if (root && child && root->IsType(kQ3ShapeTypeGeometry) && child->IsType(kQ3SetTypeAttribute))
                static_cast<Geometry*>(root.Get())->SetAttributes(child.Get());
            return true;
        });
        return root;
    }

    // A container: its root object, then the children that belong to it.
    Ref<> ReadContainer(MetafileSource& source)
    {
        TQ3ObjectType rootType = 0;
        if (!source.Open(rootType))
            return {};
        if (rootType == TriMeshTag)
            return ReadTriMeshContainer(source);
        if (rootType == TextureShaderTag)
            return ReadTextureShaderContainer(source);
        if (rootType == AttributeSetTag)
            return ReadAttributeSetContainer(source);
        if (IsGroupTag(rootType))
            return ReadGroupContainer(source);
        return ReadOtherContainer(source, rootType);
    }

    Ref<> ReadUnsharedObject(MetafileSource& source, TQ3ObjectType type)
    {
        if (type == ContainerTag)
            return ReadContainer(source);
        return ReadLeaf(source, type);
    }

    // Reads the object that is open as `type`, leaving it open. An object at
    // a place the table of contents lists is read once, and shared by every
    // reference to it.
    Ref<> ReadOpenObject(MetafileSource& source, TQ3ObjectType type)
    {
        if (source.Depth() > MaximumDepth) {
            source.Reject();
            return {};
        }
        MetafileShared& shared = source.Shared();
        const MetafileLocation location = source.OpenLocation();
        if (!shared.listed.contains(location))
            return ReadUnsharedObject(source, type);
        if (const auto found = shared.objects.find(location); found != shared.objects.end())
            return found->second;
        if (shared.reading.contains(location) || shared.reading.size() >= MaximumSharedNesting)
            return {};
        shared.reading.insert(location);
        Ref<> object = ReadUnsharedObject(source, type);
        shared.reading.erase(location);
        if (source.Failed())
            object = {};
        shared.objects[location] = object;
        return object;
    }

    // A group in the begin-group form, whose begin object is open: the group,
    // its members as the following objects of the same scope, then the
    // end-group object.
    Ref<> ReadBeginGroup(MetafileSource& source, int groupLevel)
    {
        TQ3ObjectType groupType = 0;
        bool known = false;
        if (source.Open(groupType)) {
            known = IsGroupTag(groupType);
            source.Close();
        }
        source.Close();
        if (groupLevel > MaximumDepth) {
            source.Reject();
            return {};
        }
        auto group = Ref<Group>::Adopt(new Group(Group::Kind::Display));
        uint64_t visits = 1;
        ReadScope(
            source, groupLevel + 1,
            [&](const Ref<>& member) {
                if (!member)
                    return !source.Failed();
                // The end-group object reads as the group itself: the members end.
                if (member.Get() == group.Get())
                    return false;
                return AddMember(source, *group.Get(), visits, member.Get());
            },
            group.Get());
        source.Shared().groupVisits[group->Id()] = visits;
        return known ? Ref<>(group.Get()) : Ref<> {};
    }

    // Reads the objects of the current scope in turn, handing each (null for
    // an unknown one) to `visit` until it answers false or the scope ends.
    // Within a begin-group form, the end-group object comes as `endMarker`.
    template <typename Visit> void ReadScope(MetafileSource& source, int groupLevel, Visit visit, Object* endMarker)
    {
        TQ3ObjectType type = 0;
        while (source.Open(type)) {
            Ref<> object;
            if (type == BeginGroupTag) {
                object = ReadBeginGroup(source, groupLevel);
            } else if (type == EndGroupTag) {
                source.Close();
                object = Ref<>(endMarker);
            } else {
                object = ReadOpenObject(source, type);
                source.Close();
            }
            // Whatever was read of an object whose data turned out bad is dropped.
            if (source.Failed())
                object = {};
            if (!visit(object))
                return;
        }
    }

}

namespace {

    // The entries of the open table of contents, and the place of the next
    // table; false when the table does not hold together.
    bool ReadTableEntries(MetafileSource& table, std::optional<MetafileLocation>& next,
        std::map<uint32_t, MetafileShared::Entry>& entries)
    {
        constexpr uint32_t PlainEntry = 0, TypedEntry = 1;
        constexpr uint32_t PlainEntrySize = 12, TypedEntrySize = 16;
        uint32_t referenceSeed = 0, typeSeed = 0, entryType = 0, entrySize = 0, count = 0;
        if (!table.Location(next) || !table.Uns32(referenceSeed) || !table.Uns32(typeSeed) || !table.Uns32(entryType)
            || !table.Uns32(entrySize) || !table.Uns32(count))
            return false;
        if (!(entryType == PlainEntry && entrySize == PlainEntrySize)
            && !(entryType == TypedEntry && entrySize == TypedEntrySize))
            return false;
        for (uint32_t i = 0; i < count; ++i) {
            uint32_t id = 0;
            std::optional<MetafileLocation> location;
            TQ3ObjectType type = 0;
            if (!table.Uns32(id) || !table.Location(location) || (entryType == TypedEntry && !table.Type(type)))
                return false;
            if (location)
                entries.emplace(id, MetafileShared::Entry { *location, type });
        }
        return !table.Failed();
    }

    // Reads the table of contents the header names and those it chains to.
    // A table that does not hold together is left out whole: the
    // references it would resolve read as nothing.
    void ReadTablesOfContents(const MetafileSource& source)
    {
        MetafileShared& shared = source.Shared();
        std::set<MetafileLocation> seen;
        for (std::optional<MetafileLocation> next = source.TableOfContents(); next && seen.insert(*next).second;) {
            const std::unique_ptr<MetafileSource> table = source.At(*next);
            TQ3ObjectType type = 0;
            std::map<uint32_t, MetafileShared::Entry> entries;
            if (!table || !table->Open(type) || type != TableOfContentsTag || !ReadTableEntries(*table, next, entries))
                return;
            for (const auto& [id, entry] : entries) {
                if (shared.entries.emplace(id, entry).second)
                    shared.listed.insert(entry.location);
            }
        }
    }

}

std::unique_ptr<MetafileSource> OpenMetafile(std::span<const uint8_t> bytes, TQ3FileMode& mode)
{
    mode = kQ3FileModeNormal;
    std::unique_ptr<MetafileSource> source = OpenBinaryMetafile(bytes);
    if (!source) {
        source = OpenTextMetafile(bytes);
        mode = kQ3FileModeText;
    }
    if (!source || !source->ReadHeader())
        return nullptr;
    ReadTablesOfContents(*source);
    return source;
}

Ref<> ReadMetafileObject(MetafileSource& source)
{
    // One top-level object per call: the visitor stops after the first. A
    // call that finds no object must not leave the file where it was, or
    // the caller's read loop would never end.
    Ref<> result;
    bool found = false;
    ReadScope(source, 0, [&](const Ref<>& object) {
        result = object;
        found = true;
        return false;
    });
    if (!found)
        source.Reject();
    // The object that takes the file's count past its limit reads as
    // nothing, and so does the rest of the file.
    if (result && !CountVisits(source, source.Shared().visits, *result.Get()))
        result = {};
    return result;
}

}

void Q3Debug_SetFileVisitLimit(TQ3Uns32 limit) { q3::s_visitLimit = limit ? limit : q3::MaximumVisits; }
