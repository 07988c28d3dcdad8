#include "about/EditfieldWithLinks.h"
#include "CurrentApp.h"

#include <lxframework/Functions.h>
#include <lxframework/MouseCursor.h>

namespace about {

EditfieldWithLinks::EditfieldWithLinks() { mEvents.Declare<void(std::string)>("LinkClicked"); }

int32_t EditfieldWithLinks::Append(std::string_view text, lx::Color color, Weight weight)
{
    const int32_t start = lx::Len(Text());
    SetSelStart(start);
    SetSelText(text);
    SetSelStart(start);
    SetSelLength(lx::Len(text));
    SetSelTextColor(color);
    SetSelBold(weight == Weight::Bold);
    // Leave the field as a reader meets it: from the top, nothing selected.
    SetSelLength(0);
    SetSelStart(0);
    SetScrollPosition(0);
    return start;
}

void EditfieldWithLinks::AddText(std::string_view text, Weight weight) { Append(text, TextColor, weight); }

void EditfieldWithLinks::AddLink(std::string_view text, std::string_view target)
{
    const int32_t start = Append(text, LinkColor, Weight::Plain);
    LinkStart.push_back(start);
    LinkEnd.push_back(start + lx::Len(text));
    LinkTarget.emplace_back(target.empty() ? text : target);
}

int32_t EditfieldWithLinks::LinkAt(int32_t x, int32_t y) const
{
    // The framework numbers characters from 1; past a line's end it names the
    // line break and below the text one past the last character, neither of
    // which belongs to a link.
    const int32_t offset = CharPosAtXY(x, y) - 1;
    for (std::size_t i = 0; i < LinkStart.size(); ++i) {
        if (LinkStart[i] <= offset && offset < LinkEnd[i])
            return static_cast<int32_t>(i);
    }
    return NoLink;
}

void EditfieldWithLinks::Event_MouseMove(int32_t x, int32_t y)
{
    CurrentApp()->SetMouseCursor(LinkAt(x, y) == NoLink ? nullptr : lx::System::Cursors::FingerPointer());
}

bool EditfieldWithLinks::Event_MouseDown(int32_t x, int32_t y)
{
    const int32_t link = LinkAt(x, y);
    if (link != NoLink)
        mEvents.Raise<std::string>("LinkClicked", LinkTarget[link]);
    return false;
}

// The finger must not outlive the pointer's stay on the field, nor the field.
void EditfieldWithLinks::Event_MouseExit() { CurrentApp()->SetMouseCursor(nullptr); }

void EditfieldWithLinks::Event_Close() { CurrentApp()->SetMouseCursor(nullptr); }

bool EditfieldWithLinks::EditSelectAll_Action()
{
    SetSelStart(0);
    SetSelLength(lx::Len(Text()));
    return false;
}

}
