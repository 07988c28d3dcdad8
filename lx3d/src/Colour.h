#pragma once

// Colours cross to the application as &h00RRGGBB and to the library as three
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

inline LxColor PackColour(const TQ3ColorRGB& colour)
{
    return ChannelByte(colour.r) << 16 | ChannelByte(colour.g) << 8 | ChannelByte(colour.b);
}

inline TQ3ColorRGB UnpackColour(LxColor colour)
{
    auto channel = [&](int shift) { return float((colour >> shift) & 0xFF) / float(ChannelScale); };
    return { channel(16), channel(8), channel(0) };
}

}
