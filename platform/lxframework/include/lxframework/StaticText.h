#pragma once

#include <lxframework/RectControl.h>

#include <string>
#include <string_view>

namespace lx {

// A label. "\r", "\r\n" and "\n" all break its lines; text sizes are pixels.
class StaticText : public RectControl {
public:
    StaticText();
    void SetText(std::string_view text);
    std::string Text() const;

    bool ApplySetting(const Setting& setting) override;

protected:
    void ApplyFont() override;
};

}
