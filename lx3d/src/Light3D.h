#pragma once

#include <lxframework/plugin.h>
#include <q3/Q3.h>

#include <cstdint>

namespace lx3d {

// A light's kind follows from its vectors: a Position alone makes a point
// light, a Direction alone a directional light, both or neither no light.
// The host reads the five public fields itself.
struct Light3DData {
    LxInteger Brightness = 0; // percent
    LxColor LightColor = 0;
    LxObject* Position = nullptr; // Vector3D, kept (not copied)
    LxObject* Direction = nullptr; // Vector3D, kept (not copied)
    LxInteger Attenuation = 0; // 0..2
    TQ3LightObject light = nullptr; // one reference
    TQ3Point3D appliedLocation {};
    TQ3Vector3D appliedDirection {}; // as given, not normalised
    uint32_t changeCount = 0; // raised by each effective settings change
    uint32_t appliedCount = 0;
    LxBoolean recreate = 0; // the kind may have changed
};

LxClassRecord& Light3DRecord();
Light3DData* LightOf(LxObject* light);

// Brings the library light up to date with the settings. True, with the
// new library light in `made` (borrowed: the Light3D keeps its reference),
// when a new one was made; the view then puts it in its light group in place
// of the light's previous one. After false, `LightOf(light)->light` may be
// null: the settings give no light, and the view must drop the old one.
bool UpdateQuesaLight(LxObject* light, TQ3LightObject& made);

}
