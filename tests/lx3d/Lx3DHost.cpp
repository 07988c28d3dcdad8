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
#include <cstring>
#include <lxframework/plugin.h>

namespace {

TestPicture* AsPicture(LxObject* object) { return dynamic_cast<TestPicture*>(lx::FromLx(object)); }

void LockDescription(LxObject* object, LxPictureDescription* description)
{
    if (TestPicture* picture = AsPicture(object)) {
        *description = { picture->width, picture->height, 32 };
        ++picture->descriptionLocks;
    }
}

void UnlockDescription(LxObject* object)
{
    if (TestPicture* picture = AsPicture(object))
        --picture->descriptionLocks;
}

// Copies the picture into the current port at the rectangle's corner.
void DrawPicture(LxObject* object, const LxRect* rect, LxInteger)
{
    TestPicture* picture = AsPicture(object);
    CGrafPtr port = nullptr;
    GDHandle device = nullptr;
    GetGWorld(&port, &device);
    PixMapHandle pixels = port ? GetPortPixMap(port) : nullptr;
    if (!picture || !pixels)
        return;
    const PixMap& map = **pixels;
    int32_t width = map.bounds.right - map.bounds.left;
    int32_t height = map.bounds.bottom - map.bounds.top;
    for (int32_t y = 0; y < picture->height && rect->top + y < height; ++y) {
        for (int32_t x = 0; x < picture->width && rect->left + x < width; ++x)
            std::memcpy(map.baseAddr + (rect->top + y) * map.rowBytes + (rect->left + x) * 4, picture->Pixel(x, y), 4);
    }
}

LxObject* GetMask(LxObject* object, LxBoolean)
{
    TestPicture* picture = AsPicture(object);
    if (!picture || !picture->mask)
        return nullptr;
    return lx::ToLx(ObjectRef(picture->mask).Leak());
}

LxObject* MakePicture(LxInteger width, LxInteger height, LxInteger)
{
    return lx::ToLx(NewPicture(width, height, 0).Leak());
}

LxObject* BuildPicture(LxInteger width, LxInteger height, LxInteger format, const void* base, LxInteger rowBytes)
{
    auto picture = NewPicture(width, height, 0);
    picture->builtFormat = format;
    const auto* bytes = static_cast<const uint8_t*>(base);
    int32_t size = format == 1 ? 3 : 4;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            const uint8_t* in = bytes + y * rowBytes + x * size;
            uint8_t* out = &picture->pixels[std::size_t(y * width + x) * 4];
            if (size == 3) {
                out[0] = 255;
                std::memcpy(out + 1, in, 3);
            } else {
                std::memcpy(out, in, 4);
            }
        }
    }
    return lx::ToLx(picture.Leak());
}

LxBoolean FolderItemSpec(void* spec, LxObject* object)
{
    auto* item = dynamic_cast<TestFolderItem*>(lx::FromLx(object));
    return item && FSMakeFSSpecFromPath(item->path.c_str(), static_cast<FSSpec*>(spec)) == noErr;
}

template <class F> LxFunction Service(F* function) { return reinterpret_cast<LxFunction>(function); }

void RegisterStandIns()
{
    lx::RuntimeInit();
    lx::RegisterClass<TestPicture>("Picture").AddIntegerProperty(
        "Transparent", [](lx::Object& object) { return static_cast<TestPicture&>(object).transparent; });
    lx::RegisterClass<TestFolderItem>("FolderItem");
    lx::RegisterClass<TestObject3D>("TestObject3D", "Object3D");
    lx::RegisterClass<TestTrimesh>("TestTrimesh", "Trimesh");
    lx::RegisterHostService("lockPictureDescription", Service(LockDescription));
    lx::RegisterHostService("unlockPictureDescription", Service(UnlockDescription));
    lx::RegisterHostService("drawPicturePrimitive", Service(DrawPicture));
    lx::RegisterHostService("VANTGetPictureMask", Service(GetMask));
    lx::RegisterHostService("newPicture", Service(MakePicture));
    lx::RegisterHostService("VANTBuildPictureFromBuffer", Service(BuildPicture));
    lx::RegisterHostService("VANTFSSpecFromFolderItem", Service(FolderItemSpec));
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

lx::Ref<TestPicture> NewPicture(int32_t width, int32_t height, uint32_t rgb)
{
    LoadLx3D();
    auto picture = lx::New<TestPicture>();
    picture->width = width;
    picture->height = height;
    picture->pixels.resize(std::size_t(width) * height * 4);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x)
            SetPixel(*picture, x, y, rgb);
    }
    return picture;
}

void SetPixel(TestPicture& picture, int32_t x, int32_t y, uint32_t rgb)
{
    uint8_t* pixel = &picture.pixels[std::size_t(y * picture.width + x) * 4];
    pixel[0] = 255;
    pixel[1] = uint8_t(rgb >> 16);
    pixel[2] = uint8_t(rgb >> 8);
    pixel[3] = uint8_t(rgb);
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
