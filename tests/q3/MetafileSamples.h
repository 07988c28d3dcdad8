#pragma once

// Model files made by the tests themselves: a byte builder for the binary
// encoding and sample files of each kind the reader supports, in both
// encodings. The fuzzing corpus is made from the same samples.

#include <cstdint>
#include <cstring>
#include <functional>
#include <optional>
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
    Builder& U64(uint64_t v) { return U32(static_cast<uint32_t>(v >> 32)).U32(static_cast<uint32_t>(v)); }
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

// The header of version 1.6, normal, with the table of contents at the
// byte offset `tableOfContents` (0: none).
inline Bytes Header(uint64_t tableOfContents = 0)
{
    return Builder().Object("3DMF", Builder().U16(1).U16(6).U32(0).U64(tableOfContents).bytes).bytes;
}

// A square of two triangles over four points from -half to half, z = 0,
// counter-clockwise from +z.
inline Bytes TriMesh(float half = 1)
{
    Builder b;
    b.U32(2).U32(0).U32(0).U32(0).U32(4).U32(2);
    for (uint8_t corner : { 0, 1, 2, 0, 2, 3 })
        b.U8(corner);
    for (float v : { -1.f, -1.f, 0.f, 1.f, -1.f, 0.f, 1.f, 1.f, 0.f, -1.f, 1.f, 0.f })
        b.F32(v * half);
    for (float v : { -1.f, -1.f, 0.f, 1.f, 1.f, 0.f })
        b.F32(v * half);
    b.U32(0);
    return b.bytes;
}

// Surface UVs from (low, low) at the first corner to (high, high) at the third.
inline Bytes UVArray(float low = 0, float high = 1)
{
    Builder b;
    b.U32(1).U32(0).U32(2).U32(0).U32(0);
    for (float v : { low, low, high, low, high, high, low, high })
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

// An attribute set with a color and a texture shader; `shaderData` (whole
// objects) comes before the shader's texture, `more` after the set's color.
inline Bytes AttributeSet(const Bytes& shaderData = {}, const Bytes& more = {})
{
    Builder shader;
    shader.Object("txsu", {}).Raw(shaderData).Object("txpm", Pixmap());
    Builder set;
    set.Object("attr", {})
        .Object("kdif", Builder().F32(1).F32(0.5f).F32(0).bytes)
        .Raw(more)
        .Object("cntr", shader.bytes);
    return set.bytes;
}

// The shader data object: how the texture reads past its edges in u and v
// (0 wrap, 1 clamp).
inline Bytes ShaderData(uint32_t u, uint32_t v)
{
    return Builder().Object("shdr", Builder().U32(u).U32(v).bytes).bytes;
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

// An entry of a table of contents: a reference id, the byte offset of the
// object it names, and that object's type.
struct TableEntry {
    uint32_t id { 0 };
    uint64_t location { 0 };
    const char* type { "cntr" };
};

// A table of contents of typed entries, as modelling tools write them.
// Entry size and count are those of the entries unless given; `next` is the
// byte offset of the table it chains to (0: none).
inline Bytes TableOfContents(const std::vector<TableEntry>& entries, uint32_t entrySize = 16,
    std::optional<uint32_t> count = {}, uint64_t next = 0)
{
    Builder b;
    b.U64(next).U32(static_cast<uint32_t>(entries.size()) + 1).U32(0).U32(1).U32(entrySize);
    b.U32(count.value_or(static_cast<uint32_t>(entries.size())));
    for (const TableEntry& entry : entries)
        b.U32(entry.id).U64(entry.location).Raw(Bytes(entry.type, entry.type + 4));
    return Builder().Object("toc ", b.bytes).bytes;
}

// Byte offsets in a shared-set file.
struct SharedPlaces {
    uint64_t set { 0 }; // the attribute set's container, in the first mesh's
    uint64_t reference { 0 }; // the second mesh's reference object
    uint64_t table { 0 }; // the table of contents, last in the file
};

// Three meshes that share one textured attribute set: the first holds the
// set in place, the other two refer to it by `referenceId`. The header
// points at the table of contents `table` makes, at the end of the file.
inline Bytes SharedSetFile(const std::function<Bytes(const SharedPlaces&)>& table, uint32_t referenceId = 1)
{
    const uint64_t headerSize = Header().size(), objectHeaderSize = 8;
    SharedPlaces places;
    Builder first;
    first.Object("tmsh", TriMesh()).Object("atar", UVArray());
    places.set = headerSize + objectHeaderSize + first.bytes.size();
    first.Object("cntr", AttributeSet());
    Builder body;
    body.Object("cntr", first.bytes);
    Builder referring;
    referring.Object("tmsh", TriMesh()).Object("atar", UVArray());
    places.reference = headerSize + body.bytes.size() + objectHeaderSize + referring.bytes.size();
    referring.Object("rfrn", Builder().U32(referenceId).bytes);
    body.Object("cntr", referring.bytes).Object("cntr", referring.bytes);
    places.table = headerSize + body.bytes.size();
    return Builder().Raw(Header(places.table)).Raw(body.bytes).Raw(table(places)).bytes;
}

inline Bytes SharedSetFile()
{
    return SharedSetFile([](const SharedPlaces& places) { return TableOfContents({ { 1, places.set } }); });
}

// Levels of shared objects, each listed in the table of contents: the first
// a mesh, each further one a display group holding `references` references
// to the level before it. Reference ids are the levels counted from 1.
inline Bytes SharedLevelsFile(int levels, int references)
{
    Builder body;
    std::vector<TableEntry> entries;
    for (int level = 0; level < levels; ++level) {
        const uint64_t place = Header().size() + body.bytes.size();
        entries.push_back({ static_cast<uint32_t>(level + 1), place, level == 0 ? "tmsh" : "cntr" });
        if (level == 0) {
            body.Object("tmsh", TriMesh());
            continue;
        }
        Builder group;
        group.Object("dspg", {});
        for (int i = 0; i < references; ++i)
            group.Object("rfrn", Builder().U32(static_cast<uint32_t>(level)).bytes);
        body.Object("cntr", group.bytes);
    }
    const uint64_t table = Header().size() + body.bytes.size();
    return Builder().Raw(Header(table)).Raw(body.bytes).Raw(TableOfContents(entries)).bytes;
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

// Three meshes sharing one attribute set through a label, references and
// a table of contents.
inline std::string SharedSetText()
{
    return R"(3DMetafile ( 1 6 Normal toc> )
Container (
  TriMesh ( 2 0 0 0 4 0  0 1 2  0 2 3  -1 -1 0  1 -1 0  1 1 0  -1 1 0  -1 -1 0  1 1 0  False )
  shared: Container (
    AttributeSet ( )
    DiffuseColor ( 1 0.5 0 )
    TransparencyColor ( 0.5 0.5 0.5 )
    Container (
      TextureShader ( )
      ShaderData ( Clamp Wrap )
      PixmapTexture ( 2 2 4 16 RGB16 BigEndian BigEndian 0x7C0003E0 0x001F7FFF )
    )
  )
)
Container (
  TriMesh ( 2 0 0 0 4 0  0 1 2  0 2 3  -1 -1 0  1 -1 0  1 1 0  -1 1 0  -1 -1 0  1 1 0  False )
  Reference ( 1 )
)
Container (
  TriMesh ( 2 0 0 0 4 0  0 1 2  0 2 3  -1 -1 0  1 -1 0  1 1 0  -1 1 0  -1 -1 0  1 1 0  False )
  Reference ( 1 )
)
toc: TableOfContents ( -1 2 -1 0 12 1
  1 shared>
)
)";
}

// The shared levels of SharedLevelsFile, labelled.
inline std::string SharedLevelsText(int levels, int references)
{
    std::string text = "3DMetafile ( 1 6 Normal toc> )\n";
    std::string table;
    for (int level = 1; level <= levels; ++level) {
        const std::string label = "level" + std::to_string(level);
        table += std::to_string(level) + " " + label + ">\n";
        text += label + ": ";
        if (level == 1) {
            text += "TriMesh ( 1 0 0 0 3 0  0 1 2  0 0 0  1 0 0  0 1 0  0 0 0  1 1 0  False )\n";
            continue;
        }
        text += "Container ( DisplayGroup ( )";
        for (int i = 0; i < references; ++i)
            text += " Reference ( " + std::to_string(level - 1) + " )";
        text += " )\n";
    }
    const std::string seeds = "-1 " + std::to_string(levels + 1) + " -1 0 12 " + std::to_string(levels);
    return text + "toc: TableOfContents ( " + seeds + "\n" + table + ")\n";
}

inline Bytes FromText(const std::string& text) { return Bytes(text.begin(), text.end()); }

}
