#pragma once

#include <lxframework/Value.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace lx {

// A uniform random number, 0 <= Rnd() < 1, seeded by the framework.
double Rnd();

// The Double to Integer conversion: truncation toward zero, NaN gives 0 and
// values beyond the Integer range give its limits.
int32_t ToInteger(double value);

std::string Str(int32_t value);
// Shortest form with up to 7 significant digits, "." as decimal point.
std::string Str(double value);
// Characters (code points) of UTF-8 text.
int32_t Len(std::string_view text);
// The character of that code point as UTF-8.
std::string Chr(int32_t codePoint);
// The platform's line end.
inline constexpr std::string_view EndOfLine = "\n";
// &hRRGGBB from components, each clamped to 0..255.
Color RGB(int32_t red, int32_t green, int32_t blue);

}
