#pragma once

// The game's pictures and cursors by resource number. A picture is read once
// and kept until finalisation; a cursor is fetched anew on every call.

#include <lxframework/MouseCursor.h>
#include <lxframework/Picture.h>
#include <lxframework/Ref.h>

namespace game {

lx::Ref<lx::Picture> stars2();
lx::Ref<lx::Picture> land_ocean_ice_512();
lx::Ref<lx::Picture> GlobeMask();
lx::Ref<lx::Picture> GlobeIcon();
lx::Ref<lx::Picture> Sunset();
lx::Ref<lx::Picture> test1();
lx::Ref<lx::Picture> test2();

lx::Ref<lx::MouseCursor> HandCursor();
lx::Ref<lx::MouseCursor> HandClosedCursor();

// Finalisation: drops the kept pictures, 168 to 174 in order.
void ReleasePictures();

}
