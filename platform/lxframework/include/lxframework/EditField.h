#pragma once

#include <lxframework/RectControl.h>
#include <lxframework/Value.h>

#include <string>
#include <string_view>

namespace lx {

// A text field with styled runs. Offsets count characters, a line break as
// one, the same way for Text, SelStart, SelLength and CharPosAtXY. Programmatic
// edits (SelText) work on a read-only field too.
class EditField : public RectControl {
public:
    EditField();

    std::string Text() const;
    void SetText(std::string_view text);
    int32_t SelStart() const;
    // Collapses the selection to the caret.
    void SetSelStart(int32_t start);
    int32_t SelLength() const;
    void SetSelLength(int32_t length);
    std::string SelText() const;
    // Replaces the selection, or inserts at the caret.
    void SetSelText(std::string_view text);
    void SetSelTextColor(Color color);
    void SetSelBold(bool bold);
    // The first visible line; 0 scrolls to the top.
    void SetScrollPosition(int32_t line);
    int32_t ScrollPosition() const;
    // The character under the control-local point, counted from 1. Past the end
    // of a line: that line's line break; below the text: Len(Text) + 1; above or
    // left of the text: the first character of the nearest line.
    int32_t CharPosAtXY(int32_t x, int32_t y) const;

    // MouseDown returns True when it dealt with the press (the field then does nothing).
    virtual bool Event_MouseDown(int32_t x, int32_t y) { return mEvents.RaiseWithResult("MouseDown", false, x, y); }

    bool ApplySetting(const Setting& setting) override;

protected:
    void ApplyFont() override;
};

}
