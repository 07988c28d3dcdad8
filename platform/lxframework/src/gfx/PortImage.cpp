#include "PortImage.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace lx {

namespace {
    constexpr int BytesPerPixel = 4;

    // A port pixel read as a little-endian word is 0xBBGGRRAA and a Qt pixel is
    // 0xAARRGGBB, so one byte swap per word converts either way; the alpha byte,
    // the top of a Qt word and the bottom of a port word, is then made opaque.
    static_assert(std::endian::native == std::endian::little, "port pixels are read as little-endian words");
    constexpr uint32_t OpaqueInQt = 0xFF000000u;
    constexpr uint32_t OpaqueInPort = 0x000000FFu;

    constexpr uint32_t SwapBytes(uint32_t word)
    {
        return (word >> 24) | ((word >> 8) & 0xFF00u) | ((word << 8) & 0xFF0000u) | (word << 24);
    }

    // Converts `count` pixels. SSE2 belongs to every x86-64, so the wide path
    // needs no run-time check; it computes the same words four at a time: the
    // 16-bit halves of each word change places, then the bytes of each half.
    void SwapRow(const uint8_t* source, uint8_t* target, int count, uint32_t opaque)
    {
        int x = 0;
#if defined(__SSE2__)
        constexpr int SwapHalves = 0xB1;
        const __m128i opaqueBits = _mm_set1_epi32(static_cast<int>(opaque));
        for (; x + 4 <= count; x += 4) {
            __m128i word = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + x * BytesPerPixel));
            word = _mm_shufflehi_epi16(_mm_shufflelo_epi16(word, SwapHalves), SwapHalves);
            word = _mm_or_si128(_mm_slli_epi16(word, 8), _mm_srli_epi16(word, 8));
            _mm_storeu_si128(
                reinterpret_cast<__m128i*>(target + x * BytesPerPixel), _mm_or_si128(word, opaqueBits));
        }
#endif
        for (; x < count; ++x) {
            uint32_t word;
            std::memcpy(&word, source + x * BytesPerPixel, BytesPerPixel);
            word = SwapBytes(word) | opaque;
            std::memcpy(target + x * BytesPerPixel, &word, BytesPerPixel);
        }
    }
}

QRect PortRect(CGrafPtr port)
{
    PixMapHandle map = GetPortPixMap(port);
    if (!map || !*map || !(*map)->baseAddr)
        return {};
    const Rect& bounds = (*map)->bounds;
    return QRect(0, 0, bounds.right - bounds.left, bounds.bottom - bounds.top);
}

QImage PortToImage(CGrafPtr port) { return PortToImage(port, PortRect(port)); }

QImage PortToImage(CGrafPtr port, QRect region)
{
    region &= PortRect(port);
    if (region.isEmpty())
        return {};
    QImage image(region.size(), QImage::Format_RGB32);
    CopyPortToImage(port, region, image, region.topLeft());
    return image;
}

void CopyPortToImage(CGrafPtr port, QRect region, QImage& image, QPoint imageOrigin)
{
    Q_ASSERT(image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_ARGB32
        || image.format() == QImage::Format_ARGB32_Premultiplied || image.isNull());
    region &= PortRect(port) & QRect(imageOrigin, image.size());
    if (region.isEmpty())
        return;
    PixMapHandle map = GetPortPixMap(port);
    const char* base = GetPixBaseAddr(map);
    const int32_t rowBytes = GetPixRowBytes(map);
    for (int y = region.top(); y <= region.bottom(); ++y) {
        const auto* source = reinterpret_cast<const uint8_t*>(base + y * rowBytes + region.left() * BytesPerPixel);
        uchar* target = image.scanLine(y - imageOrigin.y()) + (region.left() - imageOrigin.x()) * BytesPerPixel;
        SwapRow(source, target, region.width(), OpaqueInQt);
    }
}

void ImageToPort(const QImage& image, CGrafPtr port, QPoint at)
{
    const QRect region = QRect(at, image.size()) & PortRect(port);
    if (region.isEmpty())
        return;
    const QImage converted = image.convertToFormat(QImage::Format_RGB32);
    PixMapHandle map = GetPortPixMap(port);
    char* base = GetPixBaseAddr(map);
    const int32_t rowBytes = GetPixRowBytes(map);
    for (int y = region.top(); y <= region.bottom(); ++y) {
        const uchar* source = converted.constScanLine(y - at.y()) + (region.left() - at.x()) * BytesPerPixel;
        auto* target = reinterpret_cast<uint8_t*>(base + y * rowBytes + region.left() * BytesPerPixel);
        SwapRow(source, target, region.width(), OpaqueInPort);
    }
}

}
