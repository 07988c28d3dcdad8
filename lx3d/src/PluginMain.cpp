#include "PluginMain.h"

#include "HostServices.h"
#include "View3D.h"

#include <span>

namespace lx3d {

namespace {

    // The scene classes, in the order the host must see them: Light3D, Vector3D,
    // Bounds3D, Quaternion, Material, Element3D, Object3D, Group3D, VectorList,
    // UVList, TriangleList, ColorList, Trimesh. Each class's record joins this
    // list when the class is built.
    std::span<LxClassRecord* const> SceneClassRecords() { return {}; }

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
    if (auto announce
        = reinterpret_cast<LxRegisterPluginVersionProc>(lx3d::ResolveHostFunction("RegisterPluginVersion")))
        announce(lx3d::PluginRecordVersion);
    lx3d::RegisterPluginClasses();
}
