#pragma once

// The two encodings of a model file behind one interface, so that one set of
// object readers serves both. A file is a sequence of objects; a container's
// content is a sequence of objects too, the first of them its root.
//
// Binary: each object is a four-character type, a 32-bit byte size and that
// many bytes of content. Numbers are big-endian ("3DMF" header) or
// little-endian ("FMD3" header). Indices into an array of n elements take one
// byte when n <= 0xFE, two when n <= 0xFFFE and four otherwise.
//
// Text: each object is `Name ( fields... )`; numbers and keywords (True,
// BigEndian, RGB16, ...) separated by white space, raw data as hexadecimal
// `0x...` tokens, comments from `#` to the end of the line, labels `name:`.
//
// Every read is checked against the bytes left: bad data fails the source,
// after which nothing more is read.
//
// Objects used in several places may be written once and referred to
// elsewhere by a reference object holding an id; the file's table of
// contents maps each id to the place of the shared object. Binary files
// give places as byte offsets from the start of the file; text files as
// `name>`, naming the label `name:` put before the object.

#include "Object.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <span>
#include <unordered_map>

namespace q3 {

// Where an object starts in a file.
using MetafileLocation = uint64_t;

// What the objects of one file share: the table of contents, and each
// object read at a place the table lists, so that every reference to it,
// and its own place in the file, share the one object.
struct MetafileShared {
    struct Entry {
        MetafileLocation location { 0 };
        // 0 when the table does not say.
        TQ3ObjectType type { 0 };
    };
    std::map<uint32_t, Entry> entries {};
    std::set<MetafileLocation> listed {};
    // What was read at a listed place; null for what read as nothing.
    std::map<MetafileLocation, Ref<>> objects {};
    // The places being read: a reference back into one of them is a cycle.
    std::set<MetafileLocation> reading {};
    // How many objects a view visits submitting each group read, by the
    // group's id (ids are never reused): the group itself and what each of
    // its members counts, anything else counting 1.
    std::unordered_map<TQ3Uns32, uint64_t> groupVisits {};
    // The same count over the top-level objects read so far.
    uint64_t visits { 0 };
    // Set when the count passes its limit: the file is malformed, and
    // every reader of it stops.
    bool abandoned { false };
};

class MetafileSource {
public:
    virtual ~MetafileSource() = default;

    // Reads the header; false if this is not a model file of a known version.
    virtual bool ReadHeader() = 0;
    // Opens the next object of the current scope (the file or the open
    // object); false at the scope's end or when the data is bad.
    virtual bool Open(TQ3ObjectType& type) = 0;
    // Leaves the open object, skipping what is unread of it.
    virtual void Close() = 0;
    // True once no further top-level object can be read.
    virtual bool AtEnd() const = 0;

    // Fields of the open object.
    virtual bool Uns32(uint32_t& value) = 0;
    virtual bool Float(float& value) = 0;
    virtual bool Bytes(std::span<uint8_t> bytes) = 0;
    // An index into an array of `count` elements (its width depends on count in binary files).
    virtual bool Index(uint32_t& value, uint32_t count) = 0;
    // An upper bound on the fields still in the open object, to check counts against.
    virtual size_t FieldsLeft() const = 0;
    // The open nesting depth: 1 for a top-level object.
    virtual int Depth() const = 0;

    // A field giving a place in the file; `location` is empty when the field
    // names none (0 in binary, a number or a missing label in text).
    virtual bool Location(std::optional<MetafileLocation>& location) = 0;
    // A field giving an object type.
    virtual bool Type(TQ3ObjectType& type) = 0;
    // Where the open object starts.
    virtual MetafileLocation OpenLocation() const = 0;
    // Where the next field or object is read.
    virtual MetafileLocation Position() const = 0;
    // A reader of the same data whose next object is the one at `location`,
    // sharing this reader's shared objects; null when the place is outside
    // the data.
    virtual std::unique_ptr<MetafileSource> At(MetafileLocation location) const = 0;

    // The place of the table of contents, when the header gives one.
    std::optional<MetafileLocation> TableOfContents() const { return mTableOfContents; }
    MetafileShared& Shared() const { return *mShared; }

    bool Failed() const { return mFailed || mShared->abandoned; }
    // Gives up on the data: nothing more is read.
    void Reject() { mFailed = true; }
    // Gives up on the whole file, through this reader and every other.
    void Abandon() { mShared->abandoned = true; }

protected:
    bool Fail()
    {
        mFailed = true;
        return false;
    }

    std::optional<MetafileLocation> mTableOfContents {};
    std::shared_ptr<MetafileShared> mShared { std::make_shared<MetafileShared>() };

private:
    bool mFailed { false };
};

// A reader for the bytes, or null when they are neither encoding.
std::unique_ptr<MetafileSource> OpenMetafile(std::span<const uint8_t> bytes, TQ3FileMode& mode);

// Reads the next top-level object; null for an unknown or unreadable one.
Ref<> ReadMetafileObject(MetafileSource& source);

}
