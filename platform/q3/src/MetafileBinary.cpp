#include "MetafileSource.h"

#include <cstring>
#include <vector>

namespace q3 {

namespace {

    constexpr TQ3ObjectType HeaderBigEndian = Q3_FOUR_CHARACTER_CONSTANT('3', 'D', 'M', 'F');
    constexpr TQ3ObjectType HeaderLittleEndian = Q3_FOUR_CHARACTER_CONSTANT('F', 'M', 'D', '3');
    constexpr uint32_t SupportedMajorVersion = 1;
    constexpr size_t ObjectHeaderSize = 8;

    class BinarySource final : public MetafileSource {
    public:
        BinarySource(std::span<const uint8_t> bytes, bool littleEndian)
            : mBytes(bytes)
            , mLittleEndian(littleEndian)
        {
        }

        bool ReadHeader() override
        {
            TQ3ObjectType type = 0;
            uint16_t major = 0, minor = 0;
            if (!Open(type) || !Number(major) || !Number(minor) || major != SupportedMajorVersion)
                return Fail();
            // The flags do not matter to reading. A header cut short of its
            // table of contents' place has none.
            constexpr size_t FlagsAndPlace = sizeof(uint32_t) + sizeof(uint64_t);
            uint32_t flags = 0;
            if (FieldsLeft() >= FlagsAndPlace && Number(flags))
                Location(mTableOfContents);
            Close();
            return true;
        }

        bool Open(TQ3ObjectType& type) override
        {
            if (Failed() || mPosition >= ScopeEnd())
                return false;
            const size_t start = mPosition;
            uint32_t size = 0;
            if (!Number(type) || !Number(size) || size > ScopeEnd() - mPosition)
                return Fail();
            mScopes.push_back({ start, mPosition + size });
            return true;
        }

        void Close() override
        {
            if (mScopes.empty())
                return;
            mPosition = mScopes.back().end;
            mScopes.pop_back();
        }

        bool AtEnd() const override { return Failed() || mPosition >= mBytes.size(); }

        bool Uns32(uint32_t& value) override { return Number(value); }

        bool Float(float& value) override
        {
            uint32_t bits = 0;
            if (!Number(bits))
                return false;
            std::memcpy(&value, &bits, sizeof value);
            return true;
        }

        bool Bytes(std::span<uint8_t> bytes) override
        {
            if (Failed() || bytes.size() > ScopeEnd() - mPosition)
                return Fail();
            std::memcpy(bytes.data(), mBytes.data() + mPosition, bytes.size());
            mPosition += bytes.size();
            return true;
        }

        bool Index(uint32_t& value, uint32_t count) override
        {
            constexpr uint32_t ByteLimit = 0xFE, ShortLimit = 0xFFFE;
            if (count <= ByteLimit) {
                uint8_t narrow = 0;
                const bool read = Number(narrow);
                value = narrow;
                return read;
            }
            if (count <= ShortLimit) {
                uint16_t narrow = 0;
                const bool read = Number(narrow);
                value = narrow;
                return read;
            }
            return Number(value);
        }

        size_t FieldsLeft() const override { return ScopeEnd() - mPosition; }
        int Depth() const override { return static_cast<int>(mScopes.size()); }

        bool Location(std::optional<MetafileLocation>& location) override
        {
            uint64_t offset = 0;
            if (!Number(offset))
                return false;
            location = offset == 0 ? std::nullopt : std::optional(offset);
            return true;
        }

        bool Type(TQ3ObjectType& type) override { return Number(type); }

        MetafileLocation OpenLocation() const override { return mScopes.empty() ? 0 : mScopes.back().start; }
        MetafileLocation Position() const override { return mPosition; }

        std::unique_ptr<MetafileSource> At(MetafileLocation location) const override
        {
            if (location >= mBytes.size())
                return nullptr;
            auto source = std::make_unique<BinarySource>(*this);
            source->mPosition = static_cast<size_t>(location);
            source->mScopes.clear();
            return source;
        }

    private:
        // An open object: where it starts, and where its content ends.
        struct Scope {
            size_t start { 0 };
            size_t end { 0 };
        };

        size_t ScopeEnd() const { return mScopes.empty() ? mBytes.size() : mScopes.back().end; }

        template <typename T> bool Number(T& value)
        {
            uint8_t bytes[sizeof(T)] {};
            if (!Bytes(bytes))
                return false;
            T result = 0;
            for (size_t i = 0; i < sizeof(T); ++i) {
                const size_t shift = 8 * (mLittleEndian ? i : sizeof(T) - 1 - i);
                result = static_cast<T>(result | static_cast<T>(static_cast<T>(bytes[i]) << shift));
            }
            value = result;
            return true;
        }

        std::span<const uint8_t> mBytes {};
        bool mLittleEndian { false };
        size_t mPosition { 0 };
        std::vector<Scope> mScopes {};
    };

}

std::unique_ptr<MetafileSource> OpenBinaryMetafile(std::span<const uint8_t> bytes)
{
    if (bytes.size() < ObjectHeaderSize)
        return nullptr;
    const TQ3ObjectType tag = Q3_FOUR_CHARACTER_CONSTANT(bytes[0], bytes[1], bytes[2], bytes[3]);
    if (tag != HeaderBigEndian && tag != HeaderLittleEndian)
        return nullptr;
    return std::make_unique<BinarySource>(bytes, tag == HeaderLittleEndian);
}

}
