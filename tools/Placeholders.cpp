// Writes the three small pictures that the game can fetch but never shows.
// Each is a plain top-to-bottom blend of two colors, enough to tell them apart.

#include "ToolSupport.h"

#include <array>

namespace {

constexpr int PlaceholderSize = 16;

struct Placeholder {
    QRgb top { 0 };
    QRgb bottom { 0 };
};

constexpr std::array<Placeholder, 3> Placeholders { {
    { qRgb(250, 170, 60), qRgb(110, 40, 120) },
    { qRgb(200, 40, 40), qRgb(40, 40, 200) },
    { qRgb(40, 160, 60), qRgb(230, 220, 60) },
} };

int Blend(int top, int bottom, int row) { return top + (bottom - top) * row / (PlaceholderSize - 1); }

QImage Draw(const Placeholder& placeholder)
{
    QImage image(PlaceholderSize, PlaceholderSize, QImage::Format_RGB32);
    for (int y = 0; y < PlaceholderSize; ++y) {
        const QRgb color = qRgb(Blend(qRed(placeholder.top), qRed(placeholder.bottom), y),
            Blend(qGreen(placeholder.top), qGreen(placeholder.bottom), y),
            Blend(qBlue(placeholder.top), qBlue(placeholder.bottom), y));
        for (int x = 0; x < PlaceholderSize; ++x)
            image.setPixel(x, y, color);
    }
    return image;
}

}

int main(int argc, char** argv)
{
    if (!tools::HasArguments(argc, argv, static_cast<int>(Placeholders.size()), "sunset.png test1.png test2.png"))
        return 2;
    for (std::size_t i = 0; i < Placeholders.size(); ++i) {
        if (!tools::SavePng(Draw(Placeholders[i]), argv[i + 1]))
            return 1;
    }
    return 0;
}
