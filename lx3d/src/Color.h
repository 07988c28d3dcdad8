#pragma once

// Colors cross to the application as &h00RRGGBB, to the library as three
// floats from 0 to 1 and to the platform as three 16-bit channels.

#include <carbon/Carbon.h>
#include <lxframework/plugin.h>
#include <q3/Q3.h>

#include <cmath>
#include <cstdint>

namespace lx3d {

constexpr double ChannelScale = 255;
// A byte becomes a 16-bit channel in its high byte.
constexpr uint16_t ChannelWidening = 256;

struct ChannelBytes {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
};

inline ChannelBytes ChannelsOf(LxColor color) { return { uint8_t(color >> 16), uint8_t(color >> 8), uint8_t(color) }; }

// One channel as a byte. A channel outside 0..1 (from a loaded model) is
// clamped rather than spilling into its neighbour.
inline LxColor ChannelByte(float channel)
{
    double value = std::trunc(double(channel) * ChannelScale);
    if (!(value > 0))
        return 0;
    return value >= ChannelScale ? LxColor(ChannelScale) : LxColor(value);
}

inline LxColor PackColor(const TQ3ColorRGB& color)
{
    return ChannelByte(color.r) << 16 | ChannelByte(color.g) << 8 | ChannelByte(color.b);
}

inline TQ3ColorRGB UnpackColor(LxColor color)
{
    const ChannelBytes bytes = ChannelsOf(color);
    auto channel = [](uint8_t byte) { return float(byte) / float(ChannelScale); };
    return { channel(bytes.red), channel(bytes.green), channel(bytes.blue) };
}

inline RGBColor PlatformColor(LxColor color)
{
    const ChannelBytes bytes = ChannelsOf(color);
    auto channel = [](uint8_t byte) { return uint16_t(byte * ChannelWidening); };
    return { channel(bytes.red), channel(bytes.green), channel(bytes.blue) };
}

}
