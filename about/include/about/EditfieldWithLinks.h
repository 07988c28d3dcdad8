#pragma once

#include <lxframework/EditField.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace about {

// A styled, usually read-only text field that code fills with runs of black
// text and blue links. A mouse-down on a link raises the field's own
// LinkClicked event with the link's target; while the pointer rests on a link
// the application shows the pointing finger. What a click does is up to the
// window holding the field.
//
// The framework's Open reaches the holding window's handler unchanged, as the
// field's own Open event: the window fills the field from there.
class EditfieldWithLinks : public lx::EditField {
public:
    EditfieldWithLinks();

    // Parallel arrays, one entry per link in the order they were appended:
    // the offset of its first character, one past its last, and its target.
    std::vector<int32_t> LinkStart;
    std::vector<int32_t> LinkEnd;
    std::vector<std::string> LinkTarget;

    enum class Weight { Plain, Bold };

    // Append at the end; afterwards nothing is selected, the caret is at the
    // start and the first line shows.
    void AddText(std::string_view text, Weight weight);
    // An empty target makes the link report its own text.
    void AddLink(std::string_view text, std::string_view target);

    void Event_Close() override;
    void Event_MouseExit() override;
    // Returns False on a link too, so the field still places the caret.
    bool Event_MouseDown(int32_t x, int32_t y) override;
    void Event_MouseMove(int32_t x, int32_t y) override;

    // The "EditSelectAll" command: selects the whole text.
    bool EditSelectAll_Action();

    static constexpr const char* ClassName = "EditfieldWithLinks";

private:
    // Appends the text, styles it and returns the offset where it starts.
    int32_t Append(std::string_view text, lx::Color color, Weight weight);
    // The index of the link whose character lies under the point, or NoLink.
    int32_t LinkAt(int32_t x, int32_t y) const;

    static constexpr int32_t NoLink = -1;
    static constexpr lx::Color TextColor { 0x000000 };
    static constexpr lx::Color LinkColor { 0x0000FF };
};

}
