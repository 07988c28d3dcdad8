#pragma once

#include <lxframework/Picture.h>
#include <lxframework/Ref.h>

#include <cstdint>
#include <string>

namespace about {

class EditfieldWithLinks;

// The About window's content: the credits, the version string and the icon.
namespace AboutWinSetup {

    // Fills the credits field: four headed sections, three of them ending in a link.
    void AddInitialtext(EditfieldWithLinks& field);

    // "Version  1.0.0" from the application's version fields.
    std::string AppVersion();

    // The build's version fields, as the application reports them.
    struct VersionFields {
        int32_t Major = 0;
        int32_t Minor = 0;
        int32_t Bug = 0;
        // 0 development, 1 alpha, 2 beta, 3 (or anything else) final.
        int32_t Stage = 0;
        int32_t NonRelease = 0;
    };
    // The word Version, two blanks, the three numbers and, before a final
    // release, the stage letter and the non-release number ("1.0.2 b3").
    std::string VersionText(const VersionFields& version);

    // The application's icon and its mask (black where the icon shows, white
    // where it is transparent); nil until the game hands them over.
    lx::Ref<lx::Picture> AppIcon();
    lx::Ref<lx::Picture> AppIconMask();

    // Where AppIcon and AppIconMask get their pictures: the game's resources,
    // handed over at start-up.
    using PictureAccessor = lx::Ref<lx::Picture> (*)();
    void SetAppIconAccessors(PictureAccessor icon, PictureAccessor mask);

}

}
