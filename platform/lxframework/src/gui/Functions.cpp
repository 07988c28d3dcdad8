#include <lxframework/Functions.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <random>

namespace lx {

namespace {
    constexpr int StrSignificantDigits = 7;
    constexpr int DoubleMantissaBits = 53;
    constexpr int32_t MaximumComponent = 255;

    std::mt19937_64& Generator()
    {
        static std::mt19937_64 generator { std::random_device {}() };
        return generator;
    }

    bool IsContinuationByte(char byte) { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }
}

void SeedRnd(uint64_t seed) { Generator().seed(seed); }

double Rnd()
{
    // The top 53 bits as a fraction: exactly representable, never 1.
    return static_cast<double>(Generator()() >> (64 - DoubleMantissaBits)) * std::ldexp(1.0, -DoubleMantissaBits);
}

int32_t ToInteger(double value)
{
    if (std::isnan(value))
        return 0;
    if (value >= static_cast<double>(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    if (value <= static_cast<double>(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

std::string Str(int32_t value) { return std::to_string(value); }

std::string Str(double value)
{
    char buffer[32];
    auto result
        = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, StrSignificantDigits);
    return std::string(buffer, result.ptr);
}

int32_t Len(std::string_view text)
{
    return static_cast<int32_t>(std::count_if(text.begin(), text.end(), [](char c) { return !IsContinuationByte(c); }));
}

std::string Chr(int32_t codePoint)
{
    std::string text;
    const auto unit = [&](uint32_t bits) { text.push_back(static_cast<char>(bits)); };
    const auto point = static_cast<uint32_t>(codePoint);
    if (codePoint < 0 || point > 0x10FFFF)
        return text;
    if (point < 0x80) {
        unit(point);
    } else if (point < 0x800) {
        unit(0xC0 | point >> 6);
        unit(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
        unit(0xE0 | point >> 12);
        unit(0x80 | (point >> 6 & 0x3F));
        unit(0x80 | (point & 0x3F));
    } else {
        unit(0xF0 | point >> 18);
        unit(0x80 | (point >> 12 & 0x3F));
        unit(0x80 | (point >> 6 & 0x3F));
        unit(0x80 | (point & 0x3F));
    }
    return text;
}

Color RGB(int32_t red, int32_t green, int32_t blue)
{
    const auto clamp = [](int32_t c) { return static_cast<uint32_t>(std::clamp(c, 0, MaximumComponent)); };
    return Color { clamp(red) << 16 | clamp(green) << 8 | clamp(blue) };
}

}
