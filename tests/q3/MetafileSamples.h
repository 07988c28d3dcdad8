#pragma once

// Model files made by the tests themselves: a byte builder for the binary
// encoding and sample files of each kind the reader supports, in both
// encodings. The fuzzing corpus is made from the same samples.

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace samples {

using Bytes = std::vector<uint8_t>;

// Big-endian fields, then objects of a four-character type and a size.
class Builder {
public:
    Builder& U32(uint32_t v)
    {
        for (int shift = 24; shift >= 0; shift -= 8)
            bytes.push_back(static_cast<uint8_t>(v >> shift));
        return *this;
    }
    Builder& U16(uint16_t v)
    {
        bytes.push_back(static_cast<uint8_t>(v >> 8));
        bytes.push_back(static_cast<uint8_t>(v));
        return *this;
    }
    Builder& U8(uint8_t v)
    {
        bytes.push_back(v);
        return *this;
    }
    Builder& F32(float f)
    {
        uint32_t bits;
        std::memcpy(&bits, &f, sizeof bits);
        return U32(bits);
    }
    Builder& Raw(const Bytes& raw)
    {
        bytes.insert(bytes.end(), raw.begin(), raw.end());
        return *this;
    }
    Builder& Object(const char (&type)[5], const Bytes& content)
    {
        bytes.insert(bytes.end(), type, type + 4);
        U32(static_cast<uint32_t>(content.size()));
        return Raw(content);
    }

    Bytes bytes;
};

// The header of version 1.6, normal, without a table of contents.
inline Bytes Header() { return Builder().Object("3DMF", Builder().U16(1).U16(6).U32(0).U32(0).U32(0).bytes).bytes; }

// A square of two triangles over four points, z = 0, counter-clockwise from +z.
inline Bytes TriMesh()
{
    Builder b;
    b.U32(2).U32(0).U32(0).U32(0).U32(4).U32(2);
    for (uint8_t corner : { 0, 1, 2, 0, 2, 3 })
        b.U8(corner);
    for (float v : { -1.f, -1.f, 0.f, 1.f, -1.f, 0.f, 1.f, 1.f, 0.f, -1.f, 1.f, 0.f })
        b.F32(v);
    for (float v : { -1.f, -1.f, 0.f, 1.f, 1.f, 0.f })
        b.F32(v);
    b.U32(0);
    return b.bytes;
}

inline Bytes UVArray()
{
    Builder b;
    b.U32(1).U32(0).U32(2).U32(0).U32(0);
    for (float v : { 0.f, 0.f, 1.f, 0.f, 1.f, 1.f, 0.f, 1.f })
        b.F32(v);
    return b.bytes;
}

inline Bytes NormalArray()
{
    Builder b;
    b.U32(3).U32(0).U32(2).U32(1).U32(0);
    for (int i = 0; i < 4; ++i)
        b.F32(0).F32(0).F32(1);
    return b.bytes;
}

// A 2 x 2 texture of 16-bit big-endian texels: red, green, blue, white.
inline Bytes Pixmap()
{
    Builder b;
    b.U32(2).U32(2).U32(4).U32(16).U32(2).U32(0).U32(0);
    b.U16(0x7C00).U16(0x03E0).U16(0x001F).U16(0x7FFF);
    return b.bytes;
}

inline Bytes AttributeSet()
{
    Builder shader;
    shader.Object("txsu", {}).Object("txpm", Pixmap());
    Builder set;
    set.Object("attr", {}).Object("kdif", Builder().F32(1).F32(0.5f).F32(0).bytes).Object("cntr", shader.bytes);
    return set.bytes;
}

// One container as the debug cube has six of: a mesh, two attribute
// arrays and an attribute set with a color and a texture shader.
inline Bytes TexturedMeshFile()
{
    Builder container;
    container.Object("tmsh", TriMesh())
        .Object("atar", UVArray())
        .Object("atar", NormalArray())
        .Object("cntr", AttributeSet());
    return Builder().Raw(Header()).Object("cntr", container.bytes).bytes;
}

// A display group holding a translation and a box, then a cone and a cylinder.
inline Bytes GroupAndSolidsFile()
{
    Builder solid;
    for (float v : { 0.f, 2.f, 0.f, 0.f, 0.f, 2.f, 2.f, 0.f, 0.f, 0.f, 0.f, 0.f })
        solid.F32(v);
    Builder group;
    group.Object("dspg", {}).Object("trns", Builder().F32(10).F32(0).F32(0).bytes).Object("box ", solid.bytes);
    Builder cone;
    cone.Object("cone", solid.bytes)
        .Object("cntr", Builder().Object("attr", {}).Object("kdif", Builder().F32(0).F32(1).F32(0).bytes).bytes);
    return Builder()
        .Raw(Header())
        .Object("cntr", group.bytes)
        .Object("cntr", cone.bytes)
        .Object("cyln", solid.bytes)
        .bytes;
}

// The same kinds in the text encoding.
inline std::string TexturedMeshText()
{
    return R"(3DMetafile ( 1 6 Normal tableofcontents0> )
# One mesh with its attributes.
Container (
  TriMesh ( 2 0 0 0 4 2
    0 1 2  0 2 3
    -1 -1 0  1 -1 0  1 1 0  -1 1 0
    -1 -1 0  1 1 0  False )
  AttributeArray ( 1 0 2 0 0  0 0  1 0  1 1  0 1 )
  AttributeArray ( 3 0 2 1 0  0 0 1  0 0 1  0 0 1  0 0 1 )
  Container (
    AttributeSet ( )
    DiffuseColor ( 1 0.5 0 )
    Container (
      TextureShader ( )
      PixmapTexture ( 2 2 4 16 RGB16 BigEndian BigEndian 0x7C0003E0 0x001F7FFF )
    )
  )
)
)";
}

inline std::string GroupAndSolidsText()
{
    return R"(3DMetafile ( 1 6 Normal tableofcontents0> )
BeginGroup ( DisplayGroup ( ) )
  Translate ( 10 0 0 )
  box1: Box ( 0 2 0  0 0 2  2 0 0  0 0 0 )
  UnknownThing ( 1 2 ( 3 ) )
EndGroup ( )
Container (
  Cone ( 0 2 0  0 0 2  2 0 0  0 0 0 )
  Container ( AttributeSet ( ) DiffuseColor ( 0 1 0 ) )
)
Cylinder ( 0 2 0  0 0 2  2 0 0  0 0 0 )
)";
}

inline Bytes FromText(const std::string& text) { return Bytes(text.begin(), text.end()); }

}
