#include "about/AboutWinSetup.h"
#include "CurrentApp.h"
#include "about/EditfieldWithLinks.h"

#include <lxframework/Functions.h>

namespace about {

namespace {

    enum StageCode : int32_t { Development = 0, Alpha = 1, Beta = 2 };

    std::string Lines(int count)
    {
        std::string lines;
        for (int i = 0; i < count; ++i)
            lines += lx::EndOfLine;
        return lines;
    }

    // Credit lines are indented by five blanks, the author line by four.
    constexpr std::string_view Indent = "     ";
    constexpr std::string_view AuthorIndent = "    ";

    std::string IndentedLine(std::string_view phrase) { return std::string(Indent) + std::string(phrase) + Lines(1); }

    AboutWinSetup::PictureAccessor gIcon = nullptr;
    AboutWinSetup::PictureAccessor gIconMask = nullptr;

}

void AboutWinSetup::AddInitialtext(EditfieldWithLinks& field)
{
    using enum EditfieldWithLinks::Weight;
    field.AddText("Programming:" + Lines(1), Bold);
    field.AddText(std::string(AuthorIndent) + "The Terraslide developers", Plain);
    field.AddText(Lines(2), Plain);
    field.AddText("Product Page: " + Lines(1), Bold);
    field.AddText(Indent, Plain);
    field.AddLink("https://terraslide.example.org/", "");
    field.AddText(Lines(2), Plain);
    field.AddText("Main Website:: " + Lines(1), Bold);
    field.AddText(Indent, Plain);
    field.AddLink("https://www.example.org/", "");
    field.AddText(Lines(2), Plain);
    field.AddText("Development Tools:" + Lines(1), Bold);
    field.AddText(IndentedLine("Terraslide was written in C++20"), Plain);
    field.AddText(IndentedLine("with the standard C++ toolchain"), Plain);
    field.AddText(IndentedLine("and draws its windows with the"), Plain);
    field.AddText(IndentedLine("Qt toolkit:"), Plain);
    field.AddText(Indent, Plain);
    field.AddLink("https://www.qt.io/", "https://doc.qt.io/");
}

std::string AboutWinSetup::VersionText(const VersionFields& version)
{
    std::string suffix;
    switch (version.Stage) {
    case Development:
        suffix = " d" + lx::Str(version.NonRelease);
        break;
    case Alpha:
        suffix = " a" + lx::Str(version.NonRelease);
        break;
    case Beta:
        suffix = " b" + lx::Str(version.NonRelease);
        break;
    default:
        break;
    }
    return "Version  " + lx::Str(version.Major) + "." + lx::Str(version.Minor) + "." + lx::Str(version.Bug) + suffix;
}

std::string AboutWinSetup::AppVersion()
{
    lx::Ref<lx::Application> app = CurrentApp();
    return VersionText({ .Major = app->MajorVersion(),
        .Minor = app->MinorVersion(),
        .Bug = app->BugVersion(),
        .Stage = app->StageCode(),
        .NonRelease = app->NonReleaseVersion() });
}

lx::Ref<lx::Picture> AboutWinSetup::AppIcon() { return gIcon ? gIcon() : nullptr; }

lx::Ref<lx::Picture> AboutWinSetup::AppIconMask() { return gIconMask ? gIconMask() : nullptr; }

void AboutWinSetup::SetAppIconAccessors(PictureAccessor icon, PictureAccessor mask)
{
    gIcon = icon;
    gIconMask = mask;
}

}
