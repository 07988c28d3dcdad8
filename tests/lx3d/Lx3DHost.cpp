#include "Lx3DHost.h"

#include "Bounds3D.h"
#include "Element3D.h"
#include "Group3D.h"
#include "HostServices.h"
#include "Light3D.h"
#include "Material.h"
#include "MeshLists.h"
#include "Object3D.h"
#include "Quaternion.h"
#include "Trimesh.h"
#include "Vector3D.h"
#include "View3D.h"

#include <carbon/Carbon.h>
#include <algorithm>
#include <cstring>
#include <lxframework/plugin.h>

namespace {

LxBoolean FolderItemSpec(void* fileSpec, LxObject* object)
{
    auto* item = dynamic_cast<TestFolderItem*>(lx::FromLx(object));
    return item && FSMakeFSSpecFromPath(item->path.c_str(), static_cast<FSSpec*>(fileSpec)) == noErr;
}

template <class F> LxFunction Service(F* function) { return reinterpret_cast<LxFunction>(function); }

LxUnlockObjectProc gHostUnlock = nullptr;
int32_t gUnlockNesting = 0;
int32_t gDeepestUnlockNesting = 0;

// The host's release of a reference, measured: a release that runs
// destructors that release in turn nests one deeper.
void MeasuredUnlock(LxObject* object)
{
    gDeepestUnlockNesting = std::max(gDeepestUnlockNesting, ++gUnlockNesting);
    gHostUnlock(object);
    --gUnlockNesting;
}

void RegisterStandIns()
{
    lx::RuntimeInit();
    lx::RegisterClass<TestFolderItem>("FolderItem");
    lx::RegisterClass<TestObject3D>("TestObject3D", "Object3D");
    lx::RegisterClass<TestTrimesh>("TestTrimesh", "Trimesh");
    lx::RegisterHostService("VANTFSSpecFromFolderItem", Service(FolderItemSpec));
    gHostUnlock = reinterpret_cast<LxUnlockObjectProc>(lx::HostResolver("VANTUnlockObject"));
    lx::RegisterHostService("VANTUnlockObject", Service(MeasuredUnlock));
}

}

void LoadLx3D()
{
    static bool loaded = false;
    if (loaded)
        return;
    loaded = true;
    RegisterStandIns();
    lx::RuntimeInitExternalClasses();
}

ObjectRef NewObject(const char* className)
{
    LoadLx3D();
    const lx::Class* cls = lx::FindClass(className);
    EXPECT_NE(cls, nullptr) << className;
    return cls ? lx::RuntimeNewObject(*cls) : nullptr;
}

std::span<const LxMethodRow> MethodRows(const lx::Class& cls)
{
    if (const LxClassRecord* record = cls.Record())
        return { record->methods, record->methodCount };
    if (const LxControlRecord* control = cls.ControlRecord())
        return { control->methods, control->methodCount };
    return {};
}

std::span<const LxPropertyRow> PropertyRows(const lx::Class& cls)
{
    if (const LxClassRecord* record = cls.Record())
        return { record->properties, record->propertyCount };
    if (const LxControlRecord* control = cls.ControlRecord())
        return { control->properties, control->propertyCount };
    return {};
}

const lx::Property& PropertyOf(const lx::Object& object, const char* name)
{
    const lx::Property* property = object.ObjectClass().FindProperty(name);
    if (!property)
        throw std::logic_error(std::string("no property ") + name);
    return *property;
}

ObjectRef NewVector(double x, double y, double z)
{
    ObjectRef vector = NewObject("Vector3D");
    Invoke("Vector3D.Vector3D(x As Double, y as Double, z As Double)", vector.Get(), x, y, z);
    return vector;
}

Vec Read(lx::Object* vector)
{
    return { Invoke<double>("Vector3D.X.Get", vector), Invoke<double>("Vector3D.Y.Get", vector),
        Invoke<double>("Vector3D.Z.Get", vector) };
}

void ExpectNear(const Vec& actual, const Vec& expected, double tolerance)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

lx::Ref<lx::Picture> NewPicture(int32_t width, int32_t height, uint32_t rgb)
{
    LoadLx3D();
    lx::Ref<lx::Picture> picture = lx::Picture::New(width, height);
    if (!picture)
        return nullptr;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x)
            SetPixel(*picture, x, y, rgb);
    }
    return picture;
}

void SetPixel(lx::Picture& picture, int32_t x, int32_t y, uint32_t rgb)
{
    picture.RGBSurface()->SetPixel(x, y, lx::Color { rgb });
}

uint32_t PixelOf(lx::Picture& picture, int32_t x, int32_t y) { return picture.RGBSurface()->Pixel(x, y).rgb; }

uint8_t AlphaOf(lx::Picture& picture, int32_t x, int32_t y)
{
    lx::Ref<lx::Picture> mask = picture.ExistingMask();
    return mask ? uint8_t(255 - (PixelOf(*mask, x, y) >> 16)) : 255;
}

int32_t DeepestReleaseNesting()
{
    const int32_t deepest = gDeepestUnlockNesting;
    gDeepestUnlockNesting = 0;
    return deepest;
}

void UseHostRegistrations()
{
    LoadLx3D();
    lx3d::SetResolver(&lx::HostResolver);
    for (LxClassRecord* record : { &lx3d::Light3DRecord(), &lx3d::Vector3DRecord(), &lx3d::Bounds3DRecord(),
             &lx3d::QuaternionRecord(), &lx3d::MaterialRecord(), &lx3d::Element3DRecord(), &lx3d::Object3DRecord(),
             &lx3d::Group3DRecord(), &lx3d::VectorListRecord(), &lx3d::UVListRecord(), &lx3d::TriangleListRecord(),
             &lx3d::ColorListRecord(), &lx3d::TrimeshRecord() })
        record->dataOffset = lx::FindClass(record->name)->DataOffset();
    lx3d::Lx3DSpaceRecord().dataOffset = lx::FindClass("Lx3DSpace")->DataOffset();
}
