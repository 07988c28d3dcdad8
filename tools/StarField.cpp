// Draws the star field behind the globe: a dark sky with scattered stars, most
// of them faint, a few bright ones with a soft glow and a slight tint.

#include "ToolSupport.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace {

constexpr int Size = 512;
constexpr int StarCount = 1100;
constexpr std::uint32_t Seed = 168;

// A picture quad treats pure white as transparent, so no channel may reach 255.
constexpr double BrightestChannel = 254.0;

constexpr std::array<double, 3> SkyColor { 2.0, 4.0, 14.0 };

// Star brightness is a uniform number raised to this power: many faint stars, few bright ones.
constexpr double BrightnessSkew = 3.5;
constexpr double FaintestPeak = 35.0;
constexpr double BrightestPeak = 300.0;
constexpr double SmallestSpread = 0.45;
constexpr double SpreadGrowth = 0.9;
constexpr double GlowReach = 3.0;

// Star colors from cool to warm, as multipliers of the star's brightness.
constexpr std::array<std::array<double, 3>, 4> Tints { {
    { 0.80, 0.88, 1.00 },
    { 1.00, 1.00, 1.00 },
    { 1.00, 0.96, 0.84 },
    { 1.00, 0.86, 0.70 },
} };

// The standard engine's raw output is the same on every platform, unlike the
// library's distributions, so uniform numbers are made from it by hand.
class Random {
public:
    double Uniform() { return static_cast<double>(mEngine()) / 4294967296.0; }

private:
    std::mt19937 mEngine { Seed };
};

struct Star {
    double x { 0 };
    double y { 0 };
    double peak { 0 };
    double spread { 0 };
    std::array<double, 3> tint {};
};

Star MakeStar(Random& random)
{
    Star star;
    star.x = random.Uniform() * Size;
    star.y = random.Uniform() * Size;
    const double brightness = std::pow(random.Uniform(), BrightnessSkew);
    star.peak = FaintestPeak + brightness * (BrightestPeak - FaintestPeak);
    star.spread = SmallestSpread + brightness * SpreadGrowth;
    star.tint = Tints[static_cast<std::size_t>(random.Uniform() * Tints.size())];
    return star;
}

using Light = std::vector<std::array<double, 3>>;

// Adds a star as a Gaussian spot, so sub-pixel positions look round.
void AddStar(Light& light, const Star& star)
{
    const double reach = GlowReach * star.spread + 1.0;
    const int left = std::max(0, static_cast<int>(star.x - reach));
    const int right = std::min(Size - 1, static_cast<int>(star.x + reach));
    const int top = std::max(0, static_cast<int>(star.y - reach));
    const int bottom = std::min(Size - 1, static_cast<int>(star.y + reach));
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            const double dx = x + 0.5 - star.x;
            const double dy = y + 0.5 - star.y;
            const double weight = std::exp(-(dx * dx + dy * dy) / (2.0 * star.spread * star.spread));
            for (std::size_t c = 0; c < 3; ++c)
                light[static_cast<std::size_t>(y * Size + x)][c] += star.peak * star.tint[c] * weight;
        }
    }
}

int Channel(double skyValue, double starValue)
{
    return static_cast<int>(std::lround(std::min(BrightestChannel, skyValue + starValue)));
}

QImage RenderSky()
{
    Light light(static_cast<std::size_t>(Size * Size), { 0.0, 0.0, 0.0 });
    Random random;
    for (int i = 0; i < StarCount; ++i)
        AddStar(light, MakeStar(random));

    QImage image(Size, Size, QImage::Format_RGB32);
    for (int y = 0; y < Size; ++y) {
        for (int x = 0; x < Size; ++x) {
            const auto& value = light[static_cast<std::size_t>(y * Size + x)];
            image.setPixel(x, y,
                qRgb(
                    Channel(SkyColor[0], value[0]), Channel(SkyColor[1], value[1]), Channel(SkyColor[2], value[2])));
        }
    }
    return image;
}

}

int main(int argc, char** argv)
{
    if (!tools::HasArguments(argc, argv, 1, "stars.png"))
        return 2;
    return tools::SavePng(RenderSky(), argv[1]) ? 0 : 1;
}
