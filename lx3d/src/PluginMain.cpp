#include "PluginMain.h"

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

#include <array>

namespace lx3d {

namespace {

    // The scene classes, in the order the host must see them: Element3D
    // before its subclasses, the lists before the mesh that makes them.
    std::array<LxClassRecord*, 13> SceneClassRecords()
    {
        return { &Light3DRecord(), &Vector3DRecord(), &Bounds3DRecord(), &QuaternionRecord(), &MaterialRecord(),
            &Element3DRecord(), &Object3DRecord(), &Group3DRecord(), &VectorListRecord(), &UVListRecord(),
            &TriangleListRecord(), &ColorListRecord(), &TrimeshRecord() };
    }

    // A version that is not a number compares false everywhere, so it counts as too old.
    bool HostAllowsRegistration(double version)
    {
        if (version >= MinimumRuntimeHostVersion)
            return true;
        return !VANTinRuntime() && version >= MinimumDesignHostVersion;
    }

}

void RegisterPluginClasses()
{
    if (!HostAllowsRegistration(VANTGetLXVersion()))
        return;
    for (LxClassRecord* record : SceneClassRecords())
        PluginRegisterClass(record);
    PluginRegisterControl(&Lx3DSpaceRecord());
}

}

void VANTPluginMain(LxResolver resolver)
{
    lx3d::SetResolver(resolver);
    // The record version this plug-in writes, announced before any record.
    if (auto announce
        = reinterpret_cast<LxRegisterPluginVersionProc>(lx3d::ResolveHostFunction("RegisterPluginVersion")))
        announce(LxRecordVersion);
    lx3d::RegisterPluginClasses();
}
