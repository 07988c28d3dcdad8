#pragma once

#include <lxframework/plugin.h>
#include <q3/Q3.h>

namespace lx3d {

// A Material is a handle on one attribute set, which the geometry drawn with
// it may share. The host reads Handle, the set's id, as an Integer field.
struct MaterialData {
    LxInteger Handle = 0;
    LxColor cachedDiffuseColor = 0;
    TQ3AttributeSet set = nullptr; // one reference
};

LxClassRecord& MaterialRecord();

// The material's set, borrowed; null for nil.
TQ3AttributeSet MaterialSet(LxObject* material);
// Drops the material's own set and keeps `set` in its place, taking over the
// caller's reference.
void MaterialAdoptSet(LxObject* material, TQ3AttributeSet set);

}
