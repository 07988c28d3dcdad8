#include "game/Resources.h"

#include "game/App.h"

#include <lxframework/Exceptions.h>
#include <lxframework/ResourceFork.h>
#include <lxframework/Runtime.h>

#include <array>
#include <cstdint>

namespace game {

namespace {

    constexpr int32_t FirstPicture = 168;
    constexpr int32_t LastPicture = 174;
    constexpr int32_t HandCursorNumber = 168;
    constexpr int32_t HandClosedCursorNumber = 169;

    using PictureCache = std::array<lx::Ref<lx::Picture>, LastPicture - FirstPicture + 1>;

    // Only finalisation releases the pictures: a static destructor would run
    // after the framework's classes are gone.
    PictureCache& Pictures()
    {
        static auto* pictures = new PictureCache();
        return *pictures;
    }

    // The application's resources, which the framework serves with or
    // without an application object.
    lx::Ref<lx::ResourceFork> AppResourceFork()
    {
        lx::Ref<lx::ResourceFork> fork = lx::New<lx::ResourceFork>();
        if (!fork)
            lx::Throw<lx::NilObjectException>("the application's resources");
        return fork;
    }

    // A picture missing from the resources stays nil, so the next call tries again.
    lx::Ref<lx::Picture> CachedPicture(int32_t number)
    {
        lx::Ref<lx::Picture>& picture = Pictures()[number - FirstPicture];
        if (!picture)
            picture = AppResourceFork()->GetPicture(number);
        return picture;
    }

    lx::Ref<lx::MouseCursor> Cursor(int32_t number)
    {
        lx::Ref<App> app = App::Instance();
        if (!app)
            lx::Throw<lx::NilObjectException>("App");
        lx::Ref<lx::ResourceFork> fork = app->ResourceFork();
        if (!fork)
            lx::Throw<lx::NilObjectException>("App.ResourceFork");
        return fork->getCursor(number);
    }

}

lx::Ref<lx::Picture> stars2() { return CachedPicture(168); }
lx::Ref<lx::Picture> land_ocean_ice_512() { return CachedPicture(169); }
lx::Ref<lx::Picture> GlobeMask() { return CachedPicture(170); }
lx::Ref<lx::Picture> GlobeIcon() { return CachedPicture(171); }
lx::Ref<lx::Picture> Sunset() { return CachedPicture(172); }
lx::Ref<lx::Picture> test1() { return CachedPicture(173); }
lx::Ref<lx::Picture> test2() { return CachedPicture(174); }

lx::Ref<lx::MouseCursor> HandCursor() { return Cursor(HandCursorNumber); }
lx::Ref<lx::MouseCursor> HandClosedCursor() { return Cursor(HandClosedCursorNumber); }

void ReleasePictures()
{
    for (lx::Ref<lx::Picture>& picture : Pictures())
        picture.Reset();
}

}
