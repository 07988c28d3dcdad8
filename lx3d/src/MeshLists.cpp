#include "MeshLists.h"

#include "Color.h"
#include "HostServices.h"
#include "Records.h"
#include "Trimesh.h"
#include "Vector3D.h"

#include <algorithm>
#include <cmath>
#include <q3/Q3.h>
#include <type_traits>

namespace lx3d {

namespace {

    template <class Element> const LxClassRecord& RecordFor()
    {
        if constexpr (std::is_same_v<Element, TQ3Vector3D>)
            return VectorListRecord();
        else if constexpr (std::is_same_v<Element, TQ3Param2D>)
            return UVListRecord();
        else if constexpr (std::is_same_v<Element, TQ3TriMeshTriangleData>)
            return TriangleListRecord();
        else
            return ColorListRecord();
    }

    template <class Element> MeshListData& ListOf(LxObject* list)
    {
        return *DataOf<MeshListData>(list, RecordFor<Element>());
    }

    // The last index a bulk member may visit; -1 for nothing.
    template <class Element> int32_t LastOf(LxObject* list)
    {
        const MeshListData& data = ListOf<Element>(list);
        return data.data ? data.last : -1;
    }

    template <class Element> const Element* Items(LxObject* list)
    {
        return static_cast<const Element*>(ListOf<Element>(list).data);
    }

    // The elements to change: the mesh hears of it, as it keeps what it
    // derives from its points.
    template <class Element> Element* WrittenItems(LxObject* list)
    {
        const MeshListData& data = ListOf<Element>(list);
        if (data.owner)
            TrimeshArrayWritten(data.owner, data.data);
        return static_cast<Element*>(data.data);
    }

    bool InRange(LxInteger index, int32_t last)
    {
        if (index >= 0 && index <= last)
            return true;
        RaisePluginError(PluginError::OutOfBounds);
        return false;
    }

    // The element at a checked index, or null after raising OutOfBoundsException.
    template <class Element> const Element* At(LxObject* list, LxInteger index)
    {
        return InRange(index, LastOf<Element>(list)) ? Items<Element>(list) + index : nullptr;
    }

    // The same, to be changed.
    template <class Element> Element* WrittenAt(LxObject* list, LxInteger index)
    {
        return InRange(index, LastOf<Element>(list)) ? WrittenItems<Element>(list) + index : nullptr;
    }

    // A nil list argument raises NilObjectException.
    bool Present(std::initializer_list<LxObject*> lists)
    {
        for (LxObject* list : lists) {
            if (!list) {
                RaisePluginError(PluginError::NilObject);
                return false;
            }
        }
        return true;
    }

    template <class Element> void Copy(LxObject* self, LxObject* other)
    {
        if (!Present({ other }))
            return;
        int32_t last = std::min(LastOf<Element>(self), LastOf<Element>(other));
        std::copy_n(Items<Element>(other), last + 1, WrittenItems<Element>(self));
    }

    // Members that read or write one float of an element at an index.
    template <class Element, float Element::*Field> double GetField(LxObject* self, LxInteger index)
    {
        const Element* element = At<Element>(self, index);
        return element ? element->*Field : 0.0;
    }

    template <class Element, float Element::*Field> void SetField(LxObject* self, LxInteger index, double value)
    {
        if (Element* element = WrittenAt<Element>(self, index))
            element->*Field = float(value);
    }

    float AddInDouble(float value, double amount) { return float(double(value) + amount); }

    // VectorList ------------------------------------------------------------

    using Vector = TQ3Vector3D;

    void SetXYZ(LxObject* self, LxInteger index, double x, double y, double z)
    {
        if (Vector* element = WrittenAt<Vector>(self, index))
            *element = { float(x), float(y), float(z) };
    }

    LxObject* GetVector(LxObject* self, LxInteger index)
    {
        const Vector* element = At<Vector>(self, index);
        return element ? NewVector3DWith(*element) : nullptr;
    }

    void SetVector(LxObject* self, LxInteger index, LxObject* value)
    {
        if (Vector* element = WrittenAt<Vector>(self, index))
            *element = VectorValue(value, {});
    }

    void AddToAllVectors(LxObject* self, LxObject* delta)
    {
        if (!delta)
            return;
        Vector d = *VectorOf(delta);
        if (d.x == 0 && d.y == 0 && d.z == 0)
            return;
        Vector* items = WrittenItems<Vector>(self);
        for (int32_t i = 0; i <= LastOf<Vector>(self); ++i)
            items[i] = { AddInDouble(items[i].x, d.x), AddInDouble(items[i].y, d.y), AddInDouble(items[i].z, d.z) };
    }

    void MultiplyAllBy(LxObject* self, double factor)
    {
        if (factor == 1)
            return;
        Vector* items = WrittenItems<Vector>(self);
        for (int32_t i = 0; i <= LastOf<Vector>(self); ++i)
            items[i] = { float(items[i].x * factor), float(items[i].y * factor), float(items[i].z * factor) };
    }

    void NormalizeAll(LxObject* self)
    {
        Vector* items = WrittenItems<Vector>(self);
        for (int32_t i = 0; i <= LastOf<Vector>(self); ++i)
            Q3Vector3D_Normalize(&items[i], &items[i]);
    }

    void AddList(LxObject* self, LxObject* other)
    {
        if (!Present({ other }))
            return;
        Vector* items = WrittenItems<Vector>(self);
        const Vector* others = Items<Vector>(other);
        int32_t last = std::min(LastOf<Vector>(self), LastOf<Vector>(other));
        for (int32_t i = 0; i <= last; ++i)
            items[i] = items[i] + others[i];
    }

    void Combine(LxObject* self, LxObject* first, LxObject* second, float sign)
    {
        if (!Present({ first, second }))
            return;
        Vector* items = WrittenItems<Vector>(self);
        const Vector* a = Items<Vector>(first);
        const Vector* b = Items<Vector>(second);
        int32_t last = std::min({ LastOf<Vector>(self), LastOf<Vector>(first), LastOf<Vector>(second) });
        for (int32_t i = 0; i <= last; ++i)
            items[i] = a[i] + b[i] * sign;
    }

    void SetToSum(LxObject* self, LxObject* first, LxObject* second) { Combine(self, first, second, 1); }
    void SetToDifference(LxObject* self, LxObject* first, LxObject* second) { Combine(self, first, second, -1); }

    LxMethodRow gVectorMethods[] = {
        Method(Fn(GetField<Vector, &Vector::x>), "X(index as Integer) as Double", Fn(SetField<Vector, &Vector::x>)),
        Method(Fn(GetField<Vector, &Vector::y>), "Y(index as Integer) as Double", Fn(SetField<Vector, &Vector::y>)),
        Method(Fn(GetField<Vector, &Vector::z>), "Z(index as Integer) as Double", Fn(SetField<Vector, &Vector::z>)),
        Method(Fn(SetXYZ), "SetXYZ(index as Integer, x as Double, y as Double, z as Double)"),
        Method(Fn(GetVector), "GetVector(index as Integer) as Vector3D"),
        Method(Fn(SetVector), "SetVector(index as Integer, newValue as Vector3D)"),
        Method(Fn(AddToAllVectors), "AddToAll(delta as Vector3D)"),
        Method(Fn(MultiplyAllBy), "MultiplyAllBy(factor as Double)"),
        Method(Fn(NormalizeAll), "NormalizeAll()"),
        Method(Fn(Copy<Vector>), "Copy(otherList as VectorList)"),
        Method(Fn(AddList), "AddList(otherList as VectorList)"),
        Method(Fn(SetToSum), "SetToSum(otherList1 as VectorList, otherList2 as VectorList)"),
        Method(Fn(SetToDifference), "SetToDifference(otherList1 as VectorList, otherList2 as VectorList)"),
    };

    // UVList ----------------------------------------------------------------

    using UV = TQ3Param2D;

    void GetUV(LxObject* self, LxInteger index, LxDouble* u, LxDouble* v)
    {
        if (const UV* element = At<UV>(self, index)) {
            *u = element->u;
            *v = element->v;
        }
    }

    void SetUV(LxObject* self, LxInteger index, double u, double v)
    {
        if (UV* element = WrittenAt<UV>(self, index))
            *element = { float(u), float(v) };
    }

    void AddToAllUVs(LxObject* self, double du, double dv)
    {
        UV* items = WrittenItems<UV>(self);
        for (int32_t i = 0; i <= LastOf<UV>(self); ++i)
            items[i] = { AddInDouble(items[i].u, du), AddInDouble(items[i].v, dv) };
    }

    LxMethodRow gUVMethods[] = {
        Method(Fn(GetField<UV, &UV::u>), "U(index as Integer) as Double", Fn(SetField<UV, &UV::u>)),
        Method(Fn(GetField<UV, &UV::v>), "V(index as Integer) as Double", Fn(SetField<UV, &UV::v>)),
        Method(Fn(GetUV), "GetUV(index as Integer, ByRef u as Double, ByRef v as Double)"),
        Method(Fn(SetUV), "SetUV(index as Integer, u as Double, v as Double)"),
        Method(Fn(AddToAllUVs), "AddToAll(du as Double, dv as Double)"),
        Method(Fn(Copy<UV>), "Copy(otherList as UVList)"),
    };

    // TriangleList ------------------------------------------------------------

    using Triangle = TQ3TriMeshTriangleData;

    // Corners are stored as given: nothing checks them against the points.
    template <int Corner> LxInteger GetCorner(LxObject* self, LxInteger index)
    {
        const Triangle* element = At<Triangle>(self, index);
        return element ? static_cast<LxInteger>(element->pointIndices[Corner]) : 0;
    }

    template <int Corner> void SetCorner(LxObject* self, LxInteger index, LxInteger value)
    {
        if (Triangle* element = WrittenAt<Triangle>(self, index))
            element->pointIndices[Corner] = static_cast<uint32_t>(value);
    }

    void GetABC(LxObject* self, LxInteger index, LxInteger* a, LxInteger* b, LxInteger* c)
    {
        if (const Triangle* element = At<Triangle>(self, index)) {
            *a = static_cast<LxInteger>(element->pointIndices[0]);
            *b = static_cast<LxInteger>(element->pointIndices[1]);
            *c = static_cast<LxInteger>(element->pointIndices[2]);
        }
    }

    void SetABC(LxObject* self, LxInteger index, LxInteger a, LxInteger b, LxInteger c)
    {
        if (Triangle* element = WrittenAt<Triangle>(self, index))
            *element = { { uint32_t(a), uint32_t(b), uint32_t(c) } };
    }

    LxMethodRow gTriangleMethods[] = {
        Method(Fn(GetCorner<0>), "A(index as Integer) as Integer", Fn(SetCorner<0>)),
        Method(Fn(GetCorner<1>), "B(index as Integer) as Integer", Fn(SetCorner<1>)),
        Method(Fn(GetCorner<2>), "C(index as Integer) as Integer", Fn(SetCorner<2>)),
        Method(Fn(GetABC), "GetABC(index as Integer, ByRef a as Integer, ByRef b as Integer, ByRef c as Integer)"),
        Method(Fn(SetABC), "SetABC(index as Integer, a as Integer, b as Integer, c as Integer)"),
        Method(Fn(Copy<Triangle>), "Copy(otherList as TriangleList)"),
    };

    // ColorList ---------------------------------------------------------------

    using Color = TQ3ColorRGB;

    LxColor GetColor(LxObject* self, LxInteger index)
    {
        const Color* element = At<Color>(self, index);
        if (!element)
            return 0;
        return PackColor(*element);
    }

    void SetColor(LxObject* self, LxInteger index, LxColor color)
    {
        if (Color* element = WrittenAt<Color>(self, index))
            *element = UnpackColor(color);
    }

    float AddClamped(float channel, double amount) { return std::clamp(AddInDouble(channel, amount), 0.0f, 1.0f); }

    void AddRGBToAll(LxObject* self, LxInteger red, LxInteger green, LxInteger blue)
    {
        double r = red / ChannelScale;
        double g = green / ChannelScale;
        double b = blue / ChannelScale;
        Color* items = WrittenItems<Color>(self);
        for (int32_t i = 0; i <= LastOf<Color>(self); ++i)
            items[i] = { AddClamped(items[i].r, r), AddClamped(items[i].g, g), AddClamped(items[i].b, b) };
    }

    LxMethodRow gColorMethods[] = {
        Method(Fn(GetColor), "Item(index as Integer) as Color", Fn(SetColor)),
        Method(Fn(AddRGBToAll), "AddRGBToAll(red as Integer, green as Integer, blue as Integer)"),
        Method(Fn(Copy<Color>), "Copy(otherList as ColorList)"),
    };

    LxClassRecord ListRecord(const char* name, std::span<LxMethodRow> methods)
    {
        return ClassRecord(name, nullptr, sizeof(MeshListData), nullptr, nullptr, { .methods = methods });
    }

    LxClassRecord gVectorRecord = ListRecord("VectorList", gVectorMethods);
    LxClassRecord gUVRecord = ListRecord("UVList", gUVMethods);
    LxClassRecord gTriangleRecord = ListRecord("TriangleList", gTriangleMethods);
    LxClassRecord gColorRecord = ListRecord("ColorList", gColorMethods);

}

LxClassRecord& VectorListRecord() { return gVectorRecord; }
LxClassRecord& UVListRecord() { return gUVRecord; }
LxClassRecord& TriangleListRecord() { return gTriangleRecord; }
LxClassRecord& ColorListRecord() { return gColorRecord; }

void AttachList(LxObject* list, const LxClassRecord& record, LxObject* owner, void* data, uint32_t count)
{
    *DataOf<MeshListData>(list, record) = { owner, data, static_cast<int32_t>(count) - 1 };
}

void DetachList(LxObject* list, const LxClassRecord& record)
{
    *DataOf<MeshListData>(list, record) = { nullptr, nullptr, -1 };
}

}
