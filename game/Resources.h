#pragma once

#include <lxframework/Picture.h>
#include <lxframework/Ref.h>

namespace game {

// The application's pictures by resource, each loaded on first use and kept
// until ReleasePictures. An accessor returns a new reference, or nil when the
// picture is missing (the next call tries again).

// The equirectangular earth map, north at the top (picture 169).
lx::Ref<lx::Picture> land_ocean_ice_512();

// Drops every kept picture; the game's finalisation calls it first.
void ReleasePictures();

}
