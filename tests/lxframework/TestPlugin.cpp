#include "TestPlugin.h"

#include <lxframework/Runtime.h>

#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <new>
#include <stdexcept>

namespace testplugin {

namespace {

    LxResolver gResolver = nullptr;

    template <class Proc> Proc Service(const char* name) { return reinterpret_cast<Proc>(gResolver(name)); }

    void Raise(const char* className)
    {
        LxObject* exception = Service<LxPluginNewInstanceProc>("PluginNewInstance")(className);
        Service<LxRuntimeRaiseExceptionProc>("RuntimeRaiseException")(exception);
    }

    LxObject* NewVector() { return Service<LxPluginNewInstanceProc>("PluginNewInstance")("TestVector"); }

    float& Coordinate(LxObject* self, intptr_t selector)
    {
        VectorData& data = Vector(self);
        return selector == 0 ? data.x : selector == 4 ? data.y : data.z;
    }

    LxDouble GetCoordinate(LxObject* self, intptr_t selector) { return Coordinate(self, selector); }

    // Lets a C++ exception out where it should raise one: the host must stop it at its boundary.
    void SetCoordinate(LxObject* self, intptr_t selector, LxDouble value)
    {
        if (std::isnan(value))
            throw std::domain_error("a coordinate cannot be NaN");
        Coordinate(self, selector) = float(value);
    }

    LxDouble Length(LxObject* self)
    {
        VectorData& v = Vector(self);
        return std::sqrt(double(v.x) * v.x + double(v.y) * v.y + double(v.z) * v.z);
    }

    void SetLength(LxObject* self, LxDouble length)
    {
        double factor = length / Length(self);
        VectorData& v = Vector(self);
        v = { float(v.x * factor), float(v.y * factor), float(v.z * factor) };
    }

    LxObject* Plus(LxObject* self, LxObject* other)
    {
        if (!other) {
            Raise("NilObjectException");
            return nullptr;
        }
        LxObject* sum = NewVector();
        Vector(sum)
            = { Vector(self).x + Vector(other).x, Vector(self).y + Vector(other).y, Vector(self).z + Vector(other).z };
        return sum;
    }

    LxDouble Item(LxObject* self, LxInteger index)
    {
        if (index < 0 || index > 2) {
            Raise("OutOfBoundsException");
            return 0;
        }
        return Coordinate(self, index * 4);
    }

    // Returns a result and raises, as a faulty plug-in might: the host must drop it.
    LxObject* CopyAndComplain(LxObject*)
    {
        LxObject* copy = NewVector();
        Raise("OutOfBoundsException");
        return copy;
    }

    void GetXY(LxObject* self, LxDouble* x, LxDouble* y)
    {
        *x = Vector(self).x;
        *y = Vector(self).y;
    }

    // Lets a C++ exception out of a method, as one whose allocation fails would.
    LxObject* Repeat(LxObject*, LxInteger count)
    {
        if (count < 0)
            throw std::length_error("cannot make " + std::to_string(count) + " copies");
        return NewVector();
    }

    // A class whose objects can never be made, nor go quietly.
    void FragileInit(LxObject*) { throw std::bad_alloc(); }
    void FragileExit(LxObject*) { throw std::runtime_error("cannot let go"); }

    LxPropertyRow gVectorProperties[] = {
        { nullptr, "X", "Double", 0, reinterpret_cast<LxFunction>(&GetCoordinate),
            reinterpret_cast<LxFunction>(&SetCoordinate), 0 },
        { nullptr, "Y", "Double", 0, reinterpret_cast<LxFunction>(&GetCoordinate),
            reinterpret_cast<LxFunction>(&SetCoordinate), 4 },
        { nullptr, "Z", "Double", 0, reinterpret_cast<LxFunction>(&GetCoordinate),
            reinterpret_cast<LxFunction>(&SetCoordinate), 8 },
    };

    LxMethodRow gVectorMethods[] = {
        { reinterpret_cast<LxFunction>(&Length), reinterpret_cast<LxFunction>(&SetLength), "Length() as Double", 0 },
        { reinterpret_cast<LxFunction>(&Plus), nullptr, "Plus(vector as TestVector) as TestVector", 0 },
        { reinterpret_cast<LxFunction>(&Item), nullptr, "Item(index as Integer) As Double", 0 },
        { reinterpret_cast<LxFunction>(&CopyAndComplain), nullptr, "CopyAndComplain as TestVector", 0 },
        { reinterpret_cast<LxFunction>(&GetXY), nullptr, "GetXY(ByRef x as Double, ByRef y as Double)", 0 },
        { reinterpret_cast<LxFunction>(&Repeat), nullptr, "Repeat(count as Integer) as TestVector", 0 },
    };

    void ElementInit(LxObject* self)
    {
        Log().push_back("TestElement.__init");
        Element(self).visible = 1;
        Element(self).position = NewVector();
    }

    void ElementExit(LxObject* self)
    {
        Log().push_back("TestElement.__exit");
        Service<LxUnlockObjectProc>("VANTUnlockObject")(Element(self).position);
    }

    constexpr int32_t SizePerCount = 10;

    // A getter that lets a C++ exception out.
    LxInteger ElementSize(LxObject* self, intptr_t)
    {
        if (std::abs(Element(self).count) > INT32_MAX / SizePerCount)
            throw std::overflow_error("the size does not fit");
        return Element(self).count * SizePerCount;
    }
    void SetTarget(LxObject* self, intptr_t, LxObject* vector);

    LxPropertyRow gElementProperties[] = {
        { nullptr, "Count", "Integer", 0, LxFieldAccessor, LxFieldAccessor, offsetof(ElementData, count) },
        { nullptr, "Visible", "Boolean", 0, LxFieldAccessor, LxFieldAccessor, offsetof(ElementData, visible) },
        { nullptr, "Flag", "Boolean", 0, LxFieldAccessor, LxFieldAccessor, offsetof(ElementData, flag) },
        { nullptr, "Weight", "Double", 0, LxFieldAccessor, LxFieldAccessor, offsetof(ElementData, weight) },
        { nullptr, "Position", "TestVector", 2, LxFieldAccessor, LxFieldAccessor, offsetof(ElementData, position) },
        { nullptr, "Size", "Integer", 0, reinterpret_cast<LxFunction>(&ElementSize), nullptr, 0 },
        { nullptr, "Target", "TestVector", 0, LxFieldAccessor, reinterpret_cast<LxFunction>(&SetTarget),
            offsetof(ElementData, position) },
        // Claims a field beyond the class's data: the host must refuse it.
        { nullptr, "Beyond", "Double", 0, LxFieldAccessor, LxFieldAccessor, sizeof(ElementData) },
    };

    LxEventRow gElementEvents[] = { { "Render( View as Integer )", 0 } };

    using RenderProc = void (*)(LxObject*, LxInteger);

    // Raises Render as the real scene elements do; false when nobody handles it.
    LxBoolean RaiseRender(LxObject* self, LxInteger view)
    {
        auto handler = reinterpret_cast<RenderProc>(
            Service<LxGetEventInstanceProc>("GetEventInstance")(self, gElementEvents[0].hostWord));
        if (!handler)
            return 0;
        handler(self, view);
        return 1;
    }

    // Counts its calls: a call that should have been refused shows.
    LxInteger Attach(LxObject* self, LxObject*, LxInteger, LxObject*, LxObject*) { return ++Element(self).count; }

    LxObject* Anchor(LxObject* self, LxInteger)
    {
        Service<LxLockObjectProc>("VANTLockObject")(Element(self).position);
        return Element(self).position;
    }

    void SetPosition(LxObject* self, LxObject* vector)
    {
        if (!vector) {
            Raise("NilObjectException");
            return;
        }
        Service<LxLockObjectProc>("VANTLockObject")(vector);
        Service<LxUnlockObjectProc>("VANTUnlockObject")(Element(self).position);
        Element(self).position = vector;
    }

    void SetAnchor(LxObject* self, LxInteger, LxObject* vector) { SetPosition(self, vector); }
    void SetTarget(LxObject* self, intptr_t, LxObject* vector) { SetPosition(self, vector); }

    LxMethodRow gElementMethods[] = {
        { reinterpret_cast<LxFunction>(&RaiseRender), nullptr, "RaiseRender(view as Integer) as Boolean", 0 },
        { reinterpret_cast<LxFunction>(&Attach), nullptr,
            "Attach(vector as TestVector, tag as Integer, picture as Picture, shape as Shape) as Integer", 0 },
        { reinterpret_cast<LxFunction>(&Anchor), reinterpret_cast<LxFunction>(&SetAnchor),
            "Anchor(index as Integer) as TestVector", 0 },
    };

    void MeshInit(LxObject*) { Log().push_back("TestMesh.__init"); }
    void MeshExit(LxObject*) { Log().push_back("TestMesh.__exit"); }
    void MeshRender(LxObject*, LxInteger view) { Log().push_back("TestMesh.Render " + std::to_string(view)); }

    LxEventInstanceRow gMeshEventInstances[] = { { "Render", reinterpret_cast<LxFunction>(&MeshRender) } };

    void SpaceConstruct(LxObject* self)
    {
        reinterpret_cast<SpaceData*>(reinterpret_cast<char*>(self) + SpaceRecord.dataOffset)->fieldOfView
            = DefaultFieldOfView;
    }

    LxEventRow gSpaceEvents[] = {
        { "MouseDown(X As Integer, Y As Integer) As Boolean", 0 },
        { "MouseDrag(X As Integer, Y As Integer)", 0 },
        { "MouseUp(X As Integer, Y As Integer)", 0 },
    };

    LxFunction SpaceHandler(LxObject* self, int event)
    {
        return Service<LxGetEventInstanceProc>("GetEventInstance")(self, gSpaceEvents[event].hostWord);
    }

    LxBoolean Click(LxObject* self, LxInteger x, LxInteger y)
    {
        auto handler = reinterpret_cast<LxBehaviourMouseDownProc>(SpaceHandler(self, 0));
        return handler ? handler(self, x, y) : 0;
    }

    void Drag(LxObject* self, LxInteger x, LxInteger y)
    {
        if (auto handler = reinterpret_cast<LxBehaviourMouseProc>(SpaceHandler(self, 1)))
            handler(self, x, y);
    }

    void Release(LxObject* self, LxInteger x, LxInteger y)
    {
        if (auto handler = reinterpret_cast<LxBehaviourMouseProc>(SpaceHandler(self, 2)))
            handler(self, x, y);
    }

    LxPropertyRow gSpaceProperties[] = {
        { "Initial State", "FieldOfView", "Integer", 0, LxFieldAccessor, nullptr, offsetof(SpaceData, fieldOfView) },
    };

    LxMethodRow gSpaceMethods[] = {
        { reinterpret_cast<LxFunction>(&Click), nullptr, "Click(X as Integer, Y as Integer) as Boolean", 0 },
        { reinterpret_cast<LxFunction>(&Drag), nullptr, "Drag(X as Integer, Y as Integer)", 0 },
        { reinterpret_cast<LxFunction>(&Release), nullptr, "Release(X as Integer, Y as Integer)", 0 },
    };

    LxBehaviourTable gSpaceBehaviour = { { reinterpret_cast<LxFunction>(&SpaceConstruct) } };

}

LxClassRecord VectorRecord = { LxRecordVersion, "TestVector", nullptr, sizeof(VectorData), 0, nullptr, nullptr,
    gVectorProperties, 3, gVectorMethods, 6, nullptr, 0, nullptr, 0 };

LxClassRecord ElementRecord = { LxRecordVersion, "TestElement", nullptr, sizeof(ElementData), 0, &ElementInit,
    &ElementExit, gElementProperties, 8, gElementMethods, 3, gElementEvents, 1, nullptr, 0 };

LxClassRecord MeshRecord = { LxRecordVersion, "TestMesh", "TestElement", sizeof(MeshData), 0, &MeshInit, &MeshExit,
    nullptr, 0, nullptr, 0, nullptr, 0, gMeshEventInstances, 1 };

LxClassRecord FragileRecord = { LxRecordVersion, "TestFragile", nullptr, 0, 0, &FragileInit, &FragileExit, nullptr, 0,
    nullptr, 0, nullptr, 0, nullptr, 0 };

LxControlRecord SpaceRecord = { LxRecordVersion, "TestSpace", sizeof(SpaceData), 8, 128, 129, 256, 256,
    gSpaceProperties, 1, gSpaceMethods, 3, gSpaceEvents, 3, &gSpaceBehaviour, 0 };

std::vector<std::string>& Log()
{
    static std::vector<std::string> log;
    return log;
}

VectorData& Vector(LxObject* object)
{
    return *reinterpret_cast<VectorData*>(reinterpret_cast<char*>(object) + VectorRecord.dataOffset);
}

ElementData& Element(LxObject* object)
{
    return *reinterpret_cast<ElementData*>(reinterpret_cast<char*>(object) + ElementRecord.dataOffset);
}

void Register()
{
    if (gResolver)
        return;
    gResolver = &lx::HostResolver;
    auto registerClass = Service<LxPluginRegisterClassProc>("PluginRegisterClass");
    // The subclass comes first on purpose: the host must hold it until its
    // superclass arrives.
    registerClass(&MeshRecord);
    registerClass(&VectorRecord);
    registerClass(&ElementRecord);
    registerClass(&FragileRecord);
    Service<LxPluginRegisterControlProc>("PluginRegisterControl")(&SpaceRecord);
}

}
