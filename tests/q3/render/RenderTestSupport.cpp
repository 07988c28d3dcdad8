#include <gtest/gtest.h>

#include "RenderTestSupport.h"

#include "SyntheticScene.h"

#include <array>
#include <cstdlib>
#include <fstream>
#include <iomanip>
#include <sstream>

namespace q3::render::testing {

namespace {

    constexpr int GuardBytes = 64;
    constexpr int RowPadding = 12;
    constexpr int StrayPixelsAllowed = 4;

    std::string ReferencePath(const std::string& name) { return std::string(REFERENCE_DIR) + "/" + name + ".ppm"; }
    std::string DigestPath(const std::string& name) { return std::string(REFERENCE_DIR) + "/" + name + ".digest"; }

    bool Regenerating()
    {
        const char* regenerate = std::getenv("TERRASLIDE_REGENERATE_REFERENCES");
        return regenerate && std::string(regenerate) == "1";
    }

    // 64-bit FNV-1a of the target's pixels, row by row, padding left out.
    std::string Digest(Canvas canvas)
    {
        constexpr uint64_t Basis = 0xCBF29CE484222325, Prime = 0x100000001B3;
        const Target target = canvas.GetTarget();
        uint64_t digest = Basis;
        for (int y = 0; y < target.height; ++y) {
            const uint8_t* row = target.pixels + size_t(y) * size_t(target.rowBytes);
            for (size_t i = 0; i < size_t(target.width) * 4; ++i)
                digest = (digest ^ row[i]) * Prime;
        }
        std::ostringstream text;
        text << std::hex << std::setw(16) << std::setfill('0') << digest;
        return text.str();
    }

    uint32_t Crc32(const uint8_t* data, size_t size, uint32_t crc = 0)
    {
        crc = ~crc;
        for (size_t i = 0; i < size; ++i) {
            crc ^= data[i];
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
        }
        return ~crc;
    }

    void PutBigEndian(std::vector<uint8_t>& out, uint32_t value)
    {
        for (int shift = 24; shift >= 0; shift -= 8)
            out.push_back(uint8_t(value >> shift));
    }

    void PutChunk(std::ofstream& file, const char* type, const std::vector<uint8_t>& data)
    {
        std::vector<uint8_t> chunk;
        PutBigEndian(chunk, uint32_t(data.size()));
        chunk.insert(chunk.end(), type, type + 4);
        chunk.insert(chunk.end(), data.begin(), data.end());
        std::vector<uint8_t> crc;
        PutBigEndian(crc, Crc32(chunk.data() + 4, chunk.size() - 4));
        file.write(reinterpret_cast<const char*>(chunk.data()), std::streamsize(chunk.size()));
        file.write(reinterpret_cast<const char*>(crc.data()), 4);
    }

}

bool Near(Rgb a, Rgb b, int tolerance)
{
    return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance && std::abs(a.b - b.b) <= tolerance;
}

std::string Describe(Rgb color)
{
    std::ostringstream text;
    text << "(" << color.r << ", " << color.g << ", " << color.b << ")";
    return text.str();
}

void PrintTo(const Rgb& color, std::ostream* stream) { *stream << Describe(color); }

Canvas::Canvas(int width, int height)
{
    int rowBytes = width * 4 + RowPadding;
    mBytes.assign(size_t(GuardBytes * 2 + rowBytes * height), Guard);
    mTarget = { mBytes.data() + GuardBytes, width, height, rowBytes };
}

Canvas::Canvas(const Canvas& other)
    : mBytes(other.mBytes)
    , mTarget(other.mTarget)
{
    mTarget.pixels = mBytes.data() + GuardBytes;
}

Rgb Canvas::At(int x, int y) const
{
    const uint8_t* pixel = mTarget.pixels + size_t(y) * mTarget.rowBytes + size_t(x) * 4;
    return { pixel[1], pixel[2], pixel[3] };
}

bool Canvas::GuardsIntact() const
{
    for (size_t i = 0; i < mBytes.size(); ++i) {
        ptrdiff_t offset = ptrdiff_t(i) - GuardBytes;
        bool inPixels = offset >= 0 && offset < ptrdiff_t(mTarget.rowBytes) * mTarget.height
            && offset % mTarget.rowBytes < mTarget.width * 4;
        if (!inPixels && mBytes[i] != Guard)
            return false;
    }
    return true;
}

int Canvas::CountOtherThan(Rgb color) const
{
    int count = 0;
    for (int y = 0; y < Height(); ++y) {
        for (int x = 0; x < Width(); ++x)
            count += At(x, y) == color ? 0 : 1;
    }
    return count;
}

TQ3Matrix4x4 TestCamera(float hither, float yon)
{
    constexpr float QuarterTurn = 1.5707964f;
    return LookAt(TestEye, { 0, 0, 0 }, { 0, 1, 0 }, QuarterTurn, 1, hither, yon);
}

float PixelOf(float coordinate) { return (coordinate + 10) / 20 * Canvas::Size; }

std::shared_ptr<const DecodedTexture> MakeTexture(const std::vector<uint32_t>& texels, uint32_t width, uint32_t height)
{
    return TextureFromTexels(texels, width, height);
}

::testing::AssertionResult MatchesReference(const Canvas& canvas, const std::string& name, int tolerance)
{
    if (Regenerating()) {
        std::ofstream file(ReferencePath(name), std::ios::binary);
        file << "P6\n" << canvas.Width() << " " << canvas.Height() << "\n255\n";
        for (int y = 0; y < canvas.Height(); ++y) {
            for (int x = 0; x < canvas.Width(); ++x) {
                Rgb c = canvas.At(x, y);
                file.put(char(c.r)).put(char(c.g)).put(char(c.b));
            }
        }
        return ::testing::AssertionSuccess() << "regenerated";
    }
    std::ifstream file(ReferencePath(name), std::ios::binary);
    std::string magic;
    int width = 0, height = 0, maximum = 0;
    file >> magic >> width >> height >> maximum;
    file.get();
    if (!file || magic != "P6" || width != canvas.Width() || height != canvas.Height() || maximum != 255)
        return ::testing::AssertionFailure() << "no usable reference image " << ReferencePath(name);
    int differing = 0;
    std::string first;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::array<char, 3> bytes {};
            file.read(bytes.data(), 3);
            Rgb expected { uint8_t(bytes[0]), uint8_t(bytes[1]), uint8_t(bytes[2]) };
            if (!Near(canvas.At(x, y), expected, tolerance) && differing++ == 0) {
                first = "first at (" + std::to_string(x) + ", " + std::to_string(y) + "): " + Describe(canvas.At(x, y))
                    + " instead of " + Describe(expected);
            }
        }
    }
    if (differing > StrayPixelsAllowed)
        return ::testing::AssertionFailure() << differing << " pixels differ from " << name << ", " << first;
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult DrawsRecordedBytes(const Canvas& canvas, const std::string& name)
{
    const std::string digest = Digest(canvas);
    if (Regenerating()) {
        std::ofstream(DigestPath(name)) << digest << "\n";
        return ::testing::AssertionSuccess() << "regenerated";
    }
    std::string recorded;
    std::ifstream(DigestPath(name)) >> recorded;
    if (recorded != digest)
        return ::testing::AssertionFailure()
            << "the bytes of " << name << " have digest " << digest << ", not the recorded " << recorded;
    return ::testing::AssertionSuccess();
}

bool WritePng(const Canvas& canvas, const std::string& path)
{
    // Uncompressed deflate blocks keep the writer small; the files are
    // only for looking at.
    std::vector<uint8_t> raw;
    for (int y = 0; y < canvas.Height(); ++y) {
        raw.push_back(0);
        for (int x = 0; x < canvas.Width(); ++x) {
            Rgb c = canvas.At(x, y);
            raw.insert(raw.end(), { uint8_t(c.r), uint8_t(c.g), uint8_t(c.b) });
        }
    }
    std::vector<uint8_t> zlib { 0x78, 0x01 };
    constexpr size_t MaximumBlock = 65535;
    for (size_t offset = 0; offset < raw.size(); offset += MaximumBlock) {
        size_t length = std::min(MaximumBlock, raw.size() - offset);
        zlib.push_back(offset + length == raw.size() ? 1 : 0);
        zlib.insert(zlib.end(), { uint8_t(length), uint8_t(length >> 8), uint8_t(~length), uint8_t(~length >> 8) });
        zlib.insert(zlib.end(), raw.begin() + ptrdiff_t(offset), raw.begin() + ptrdiff_t(offset + length));
    }
    uint32_t a = 1, b = 0;
    for (uint8_t byte : raw) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBigEndian(zlib, (b << 16) | a);

    std::ofstream file(path, std::ios::binary);
    const uint8_t signature[8] = { 0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n' };
    file.write(reinterpret_cast<const char*>(signature), 8);
    std::vector<uint8_t> header;
    PutBigEndian(header, uint32_t(canvas.Width()));
    PutBigEndian(header, uint32_t(canvas.Height()));
    header.insert(header.end(), { 8, 2, 0, 0, 0 }); // 8-bit RGB
    PutChunk(file, "IHDR", header);
    PutChunk(file, "IDAT", zlib);
    PutChunk(file, "IEND", {});
    return bool(file);
}

}
