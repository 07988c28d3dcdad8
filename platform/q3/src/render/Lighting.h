#pragma once

// Per-vertex lighting in world space: ambient, directional and point lights,
// diffuse only. The result scales the surface color and may exceed 1; the
// rasteriser clamps the final color.

#include "Light.h"

#include <span>
#include <vector>

namespace q3::render {

class Lighting {
public:
    void SetLights(std::span<const Light> lights);

    // The light falling on a surface at `position` facing along the unit `normal`.
    TQ3ColorRGB Illuminate(const TQ3Point3D& position, const TQ3Vector3D& normal) const;

private:
    // Colors already scaled by brightness; ambient lights summed into one.
    struct Source {
        Light::Kind kind { Light::Kind::Directional };
        TQ3ColorRGB color { 0, 0, 0 };
        TQ3Vector3D toLight { 0, 0, 1 };
        TQ3Point3D location { 0, 0, 0 };
        TQ3AttenuationType attenuation { kQ3AttenuationTypeNone };
    };

    TQ3ColorRGB mAmbient { 0, 0, 0 };
    std::vector<Source> mSources {};
};

}
