#pragma once

// Colors cross to the application as &h00RRGGBB and to the library as three
// floats from 0 to 1.

#include <lxframework/plugin.h>
#include <q3/Q3.h>

#include <cmath>

namespace lx3d {

constexpr double ChannelScale = 255;

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
    auto channel = [&](int shift) { return float((color >> shift) & 0xFF) / float(ChannelScale); };
    return { channel(16), channel(8), channel(0) };
}

}
