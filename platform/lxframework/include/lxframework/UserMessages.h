#pragma once

#include <string_view>

namespace lx {

// An application-modal message with an OK button; returns once dismissed.
void MsgBox(std::string_view text);
// Opens an http or https address in the user's browser; anything else is
// ignored (with a debug-log line).
void ShowURL(std::string_view url);

}
