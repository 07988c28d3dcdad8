// Draws the two hand cursors from the bitmaps below: X is the black outline,
// o the white fill, a dot is transparent. Both hands keep the palm around
// (8, 8), the hot spot the manifest gives them.

#include "ToolSupport.h"

#include <array>

namespace {

constexpr int CursorSize = 16;
using Bitmap = std::array<const char*, CursorSize>;

constexpr Bitmap OpenHand { {
    ".......XX.......",
    "....XXXooXXX....",
    "...XooXooXooX...",
    "...XooXooXooXXX.",
    "...XooXooXooXooX",
    "...XooXooXooXooX",
    ".XXXooXooXooXooX",
    "XooXoooooooooooX",
    "XoooXoooooooooX.",
    ".XooooooooooooX.",
    "..XoooooooooooX.",
    "..XooooooooooX..",
    "...XoooooooooX..",
    "...XooooooooX...",
    "....XooooooX....",
    "....XXXXXXXX....",
} };

constexpr Bitmap ClosedHand { {
    "................",
    "................",
    "................",
    "....XX.XX.XX....",
    "...XooXooXooXXX.",
    "...XooXooXooXooX",
    "...XoooooooooooX",
    ".XXXoooooooooooX",
    "XooXoooooooooooX",
    "XoooXoooooooooX.",
    ".XooooooooooooX.",
    "..XoooooooooooX.",
    "..XooooooooooX..",
    "...XoooooooooX..",
    "....XooooooX....",
    "....XXXXXXXX....",
} };

QImage Draw(const Bitmap& bitmap)
{
    QImage image(CursorSize, CursorSize, QImage::Format_ARGB32);
    for (int y = 0; y < CursorSize; ++y) {
        for (int x = 0; x < CursorSize; ++x) {
            const char cell = bitmap[static_cast<std::size_t>(y)][x];
            const QRgb color = cell == 'X' ? qRgba(0, 0, 0, 255)
                : cell == 'o'               ? qRgba(255, 255, 255, 255)
                                            : qRgba(0, 0, 0, 0);
            image.setPixel(x, y, color);
        }
    }
    return image;
}

}

int main(int argc, char** argv)
{
    if (!tools::HasArguments(argc, argv, 2, "open-hand.png closed-hand.png"))
        return 2;
    return tools::SavePng(Draw(OpenHand), argv[1]) && tools::SavePng(Draw(ClosedHand), argv[2]) ? 0 : 1;
}
