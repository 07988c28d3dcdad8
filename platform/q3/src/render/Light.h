#pragma once

// A light as the renderer uses it: what the library's light objects hold,
// and what the view hands the device for each frame.

#include <q3/Q3.h>

namespace q3::render {

struct Light {
    enum class Kind { Ambient, Directional, Point };
    Kind kind { Kind::Ambient };
    TQ3ColorRGB color { 1, 1, 1 };
    float brightness { 1 };
    TQ3Vector3D direction { 0, 0, -1 }; // world space, the way the light travels, unit length
    TQ3Point3D location { 0, 0, 0 }; // world space
    // How a point light weakens with distance; any other kind ignores it.
    TQ3AttenuationType attenuation { kQ3AttenuationTypeNone };
};

}
