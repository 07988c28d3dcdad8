// Writes the plug-in's built-in debug cube: a binary model file (version 1.6,
// no table of contents) of six containers, one per face of a cube with its
// corners at +-50. Each holds a two-triangle mesh with surface UVs and normals
// per vertex and an attribute set whose texture shader carries a 256 x 256
// 16-bit RGB picture: a face color, a grid, and the pips of a die, one to
// six, with a marker in the top-left corner that shows the picture's
// orientation. The view draws the cube around the viewer, so every face is
// wound counter-clockwise as seen from inside and its normals point inward.
// The file is packed in runs and written out as a C++ source of the plug-in.

#include "RunPacker.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr const char* Usage = "usage: make-debug-cube output.cpp";

constexpr float HalfSide = 50.0f;
constexpr uint32_t TextureSize = 256;
constexpr uint32_t TexelBytes = 2;
constexpr uint16_t MajorVersion = 1;
constexpr uint16_t MinorVersion = 6;
constexpr size_t ObjectAlignment = 4;

// Field values of the model file.
constexpr uint32_t NormalFileFlags = 0;
constexpr uint64_t NoTableOfContents = 0;
constexpr uint32_t VertexArrayPosition = 2;
constexpr uint32_t SurfaceUVAttribute = 1;
constexpr uint32_t NormalAttribute = 3;
constexpr uint32_t RGB16PixelType = 2;
constexpr uint32_t BigEndian = 0;

constexpr size_t BytesPerLine = 16;

struct Vector {
    float x { 0 };
    float y { 0 };
    float z { 0 };
};

Vector operator+(Vector a, Vector b) { return { a.x + b.x, a.y + b.y, a.z + b.z }; }
Vector operator*(float s, Vector v) { return { s * v.x, s * v.y, s * v.z }; }

Vector Cross(Vector a, Vector b) { return { a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x }; }

// One face: its inward normal and the direction of the picture's top edge.
struct Face {
    Vector inward {};
    Vector up {};
    int pips { 0 };
    std::array<uint8_t, 3> color {};

    // The direction of the picture's right edge as the viewer inside sees it,
    // so that right x up is the inward normal.
    Vector Right() const { return Cross(up, inward); }
};

// Faces on +x, -x, +y, -y, +z, -z. Opposite faces carry pips that add up to
// seven, as on a die, and colors far apart.
constexpr std::array<Face, 6> Faces { {
    { { -1, 0, 0 }, { 0, 1, 0 }, 1, { 200, 40, 40 } },
    { { 1, 0, 0 }, { 0, 1, 0 }, 6, { 40, 190, 200 } },
    { { 0, -1, 0 }, { 0, 0, 1 }, 2, { 50, 170, 50 } },
    { { 0, 1, 0 }, { 0, 0, -1 }, 5, { 190, 50, 190 } },
    { { 0, 0, -1 }, { 0, 1, 0 }, 3, { 50, 70, 210 } },
    { { 0, 0, 1 }, { 0, 1, 0 }, 4, { 210, 190, 40 } },
} };

// The picture --------------------------------------------------------------

constexpr int GridStep = 64;
constexpr int BorderWidth = 6;
constexpr int PipRadius = 22;
constexpr int PipRim = 3;
constexpr int MarkerSize = 20;
constexpr int PipSpacing = 64;
constexpr int Centre = TextureSize / 2;
constexpr uint8_t Dark = 24;
constexpr uint8_t Light = 250;

// Pip places on a 3 x 3 layout, -1..1 across and down, for each count.
using PipPlaces = std::vector<std::array<int, 2>>;
const std::array<PipPlaces, 7> PipLayouts { {
    {},
    { { 0, 0 } },
    { { -1, -1 }, { 1, 1 } },
    { { -1, -1 }, { 0, 0 }, { 1, 1 } },
    { { -1, -1 }, { 1, -1 }, { -1, 1 }, { 1, 1 } },
    { { -1, -1 }, { 1, -1 }, { 0, 0 }, { -1, 1 }, { 1, 1 } },
    { { -1, -1 }, { 1, -1 }, { -1, 0 }, { 1, 0 }, { -1, 1 }, { 1, 1 } },
} };

using Color = std::array<uint8_t, 3>;

Color Darker(const Color& color)
{
    return { uint8_t(color[0] / 2), uint8_t(color[1] / 2), uint8_t(color[2] / 2) };
}

// The color of the texel in column x, row y (row 0 at the top).
Color Texel(const Face& face, int x, int y)
{
    for (const auto& [across, down] : PipLayouts[face.pips]) {
        const int dx = x - (Centre + across * PipSpacing), dy = y - (Centre + down * PipSpacing);
        const int distanceSquared = dx * dx + dy * dy;
        if (distanceSquared <= PipRadius * PipRadius)
            return { Light, Light, Light };
        if (distanceSquared <= (PipRadius + PipRim) * (PipRadius + PipRim))
            return { Dark, Dark, Dark };
    }
    const int last = TextureSize - 1;
    if (x < BorderWidth || y < BorderWidth || last - x < BorderWidth || last - y < BorderWidth)
        return { Dark, Dark, Dark };
    if (x < BorderWidth + MarkerSize && y < BorderWidth + MarkerSize)
        return { Light, Light, Light };
    if (x % GridStep == 0 || y % GridStep == 0)
        return Darker(face.color);
    return face.color;
}

// 1-5-5-5 with the top bit unused, most significant byte first.
std::vector<uint8_t> Picture(const Face& face)
{
    std::vector<uint8_t> bytes;
    bytes.reserve(TextureSize * TextureSize * TexelBytes);
    for (int y = 0; y < int(TextureSize); ++y)
        for (int x = 0; x < int(TextureSize); ++x) {
            const Color c = Texel(face, x, y);
            const uint16_t texel = uint16_t((c[0] >> 3) << 10 | (c[1] >> 3) << 5 | (c[2] >> 3));
            bytes.push_back(uint8_t(texel >> 8));
            bytes.push_back(uint8_t(texel));
        }
    return bytes;
}

// The model file ---------------------------------------------------------------

// A big-endian writer of objects: a type, a byte size, then the content,
// padded to a multiple of four bytes.
class ModelWriter {
public:
    void Object(const char (&type)[5], const std::function<void()>& content)
    {
        mBytes.insert(mBytes.end(), type, type + 4);
        const size_t sizeAt = mBytes.size();
        Uns32(0);
        content();
        while ((mBytes.size() - sizeAt) % ObjectAlignment)
            mBytes.push_back(0);
        const uint32_t size = uint32_t(mBytes.size() - sizeAt - sizeof(uint32_t));
        for (size_t i = 0; i < sizeof size; ++i)
            mBytes[sizeAt + i] = uint8_t(size >> (8 * (sizeof size - 1 - i)));
    }

    void Uns8(uint8_t value) { mBytes.push_back(value); }
    void Uns16(uint16_t value) { Number(value, sizeof value); }
    void Uns32(uint32_t value) { Number(value, sizeof value); }
    void Uns64(uint64_t value) { Number(value, sizeof value); }
    void Float(float value)
    {
        uint32_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        Uns32(bits);
    }
    void Point(Vector v)
    {
        Float(v.x);
        Float(v.y);
        Float(v.z);
    }
    void Bytes(const std::vector<uint8_t>& bytes) { mBytes.insert(mBytes.end(), bytes.begin(), bytes.end()); }

    const std::vector<uint8_t>& Result() const { return mBytes; }

private:
    void Number(uint64_t value, size_t size)
    {
        for (size_t i = 0; i < size; ++i)
            mBytes.push_back(uint8_t(value >> (8 * (size - 1 - i))));
    }

    std::vector<uint8_t> mBytes {};
};

// Corners counter-clockwise as seen from inside: bottom left, bottom right,
// top right, top left of the picture.
std::array<Vector, 4> Corners(const Face& face)
{
    const Vector centre = -HalfSide * face.inward;
    std::array<Vector, 4> corners;
    constexpr std::array<std::array<float, 2>, 4> Signs { { { -1, -1 }, { 1, -1 }, { 1, 1 }, { -1, 1 } } };
    for (size_t i = 0; i < corners.size(); ++i)
        corners[i] = centre + (Signs[i][0] * HalfSide) * face.Right() + (Signs[i][1] * HalfSide) * face.up;
    return corners;
}

constexpr std::array<std::array<float, 2>, 4> CornerUVs { { { 0, 0 }, { 1, 0 }, { 1, 1 }, { 0, 1 } } };
constexpr std::array<std::array<uint8_t, 3>, 2> Triangles { { { 0, 1, 2 }, { 0, 2, 3 } } };
constexpr uint32_t VertexAttributeCount = 2;

void WriteTriMesh(ModelWriter& file, const Face& face)
{
    const std::array<Vector, 4> corners = Corners(face);
    file.Object("tmsh", [&] {
        file.Uns32(Triangles.size());
        file.Uns32(0); // triangle attribute arrays
        file.Uns32(0); // edges
        file.Uns32(0); // edge attribute arrays
        file.Uns32(corners.size());
        file.Uns32(VertexAttributeCount);
        // With fewer than 255 points an index takes one byte.
        for (const auto& triangle : Triangles)
            for (uint8_t corner : triangle)
                file.Uns8(corner);
        for (const Vector& corner : corners)
            file.Point(corner);
        Vector low { corners[0] }, high { corners[0] };
        for (const Vector& c : corners) {
            low = { std::min(low.x, c.x), std::min(low.y, c.y), std::min(low.z, c.z) };
            high = { std::max(high.x, c.x), std::max(high.y, c.y), std::max(high.z, c.z) };
        }
        file.Point(low);
        file.Point(high);
        file.Uns32(0); // the box is not empty
    });
}

void WriteVertexArray(ModelWriter& file, uint32_t type, uint32_t index, const std::function<void(size_t)>& value)
{
    file.Object("atar", [&] {
        file.Uns32(type);
        file.Uns32(0); // reserved
        file.Uns32(VertexArrayPosition);
        file.Uns32(index);
        file.Uns32(0); // no use flags
        for (size_t corner = 0; corner < CornerUVs.size(); ++corner)
            value(corner);
    });
}

void WriteAttributeSet(ModelWriter& file, const Face& face)
{
    file.Object("cntr", [&] {
        file.Object("attr", [] {});
        file.Object("cntr", [&] {
            file.Object("txsu", [] {});
            file.Object("txpm", [&] {
                file.Uns32(TextureSize);
                file.Uns32(TextureSize);
                file.Uns32(TextureSize * TexelBytes);
                file.Uns32(8 * TexelBytes);
                file.Uns32(RGB16PixelType);
                file.Uns32(BigEndian); // bit order
                file.Uns32(BigEndian); // byte order
                file.Bytes(Picture(face));
            });
        });
    });
}

void WriteFace(ModelWriter& file, const Face& face)
{
    file.Object("cntr", [&] {
        WriteTriMesh(file, face);
        WriteVertexArray(file, SurfaceUVAttribute, 0, [&](size_t corner) {
            file.Float(CornerUVs[corner][0]);
            file.Float(CornerUVs[corner][1]);
        });
        WriteVertexArray(file, NormalAttribute, 1, [&](size_t) { file.Point(face.inward); });
        WriteAttributeSet(file, face);
    });
}

std::vector<uint8_t> Model()
{
    ModelWriter file;
    file.Object("3DMF", [&] {
        file.Uns16(MajorVersion);
        file.Uns16(MinorVersion);
        file.Uns32(NormalFileFlags);
        file.Uns64(NoTableOfContents);
    });
    for (const Face& face : Faces)
        WriteFace(file, face);
    return file.Result();
}

// The source file -----------------------------------------------------------------

std::string Source(const std::vector<uint8_t>& packed, size_t unpackedSize)
{
    std::string text = "// Generated by tools/make-debug-cube (tools/DebugCubeModel.cpp); do not edit.\n"
                       "// The built-in debug cube: "
        + std::to_string(unpackedSize) + " bytes of model file, packed in runs to " + std::to_string(packed.size())
        + ".\n\n#include \"DebugCube.h\"\n\nnamespace lx3d {\n\n// clang-format off\nconst uint8_t DebugCubePacked[] = "
          "{\n";
    char hex[8];
    for (size_t i = 0; i < packed.size(); ++i) {
        text += i % BytesPerLine == 0 ? "    " : " ";
        std::snprintf(hex, sizeof hex, "0x%02x,", packed[i]);
        text += hex;
        if (i % BytesPerLine == BytesPerLine - 1 || i + 1 == packed.size())
            text += "\n";
    }
    text += "};\n// clang-format on\n\nconst std::size_t DebugCubePackedSize = sizeof DebugCubePacked;\n\n}\n";
    return text;
}

}

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::cerr << Usage << "\n";
        return 2;
    }
    const std::vector<uint8_t> model = Model();
    const std::string source = Source(tools::PackRuns(model), model.size());
    std::ofstream out(argv[1], std::ios::binary);
    out << source;
    if (!out.flush()) {
        std::cerr << "make-debug-cube: cannot write " << argv[1] << "\n";
        return 1;
    }
    return 0;
}
