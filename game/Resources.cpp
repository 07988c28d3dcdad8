#include "Resources.h"

#include <lxframework/Exceptions.h>
#include <lxframework/ResourceFork.h>
#include <lxframework/Runtime.h>

namespace game {

namespace {

    constexpr int32_t EarthMapPicture = 169;

    // Never destroyed by the C++ runtime at exit: the framework's classes may
    // be gone by then. ReleasePictures drops the picture in time.
    lx::Ref<lx::Picture>& gLandOceanIce512 = *new lx::Ref<lx::Picture>;

    // Loads the picture into its variable on first success.
    lx::Ref<lx::Picture> CachedPicture(lx::Ref<lx::Picture>& variable, int32_t number)
    {
        if (!variable) {
            lx::Ref<lx::ResourceFork> resources = lx::New<lx::ResourceFork>();
            if (!resources)
                lx::Throw<lx::NilObjectException>("the application has no resources");
            variable = resources->GetPicture(number);
        }
        return variable;
    }

}

lx::Ref<lx::Picture> land_ocean_ice_512() { return CachedPicture(gLandOceanIce512, EarthMapPicture); }

void ReleasePictures() { gLandOceanIce512.Reset(); }

}
