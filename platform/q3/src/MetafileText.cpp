#include "MetafileSource.h"

#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace q3 {

namespace {

    constexpr std::string_view HeaderName = "3DMetafile";
    constexpr uint32_t SupportedMajorVersion = 1;

    struct Name {
        std::string_view text;
        TQ3ObjectType type;
    };

    // The object names of the text encoding and their binary types.
    constexpr std::array Names {
        Name { "3DMetafile", Q3_FOUR_CHARACTER_CONSTANT('3', 'D', 'M', 'F') },
        Name { "Container", Q3_FOUR_CHARACTER_CONSTANT('c', 'n', 't', 'r') },
        Name { "TriMesh", Q3_FOUR_CHARACTER_CONSTANT('t', 'm', 's', 'h') },
        Name { "AttributeArray", Q3_FOUR_CHARACTER_CONSTANT('a', 't', 'a', 'r') },
        Name { "AttributeSet", Q3_FOUR_CHARACTER_CONSTANT('a', 't', 't', 'r') },
        Name { "DiffuseColor", Q3_FOUR_CHARACTER_CONSTANT('k', 'd', 'i', 'f') },
        Name { "TransparencyColor", Q3_FOUR_CHARACTER_CONSTANT('k', 'x', 'p', 'r') },
        Name { "ShaderData", Q3_FOUR_CHARACTER_CONSTANT('s', 'h', 'd', 'r') },
        Name { "Reference", Q3_FOUR_CHARACTER_CONSTANT('r', 'f', 'r', 'n') },
        Name { "TableOfContents", Q3_FOUR_CHARACTER_CONSTANT('t', 'o', 'c', ' ') },
        Name { "TextureShader", Q3_FOUR_CHARACTER_CONSTANT('t', 'x', 's', 'u') },
        Name { "PixmapTexture", Q3_FOUR_CHARACTER_CONSTANT('t', 'x', 'p', 'm') },
        Name { "MipmapTexture", Q3_FOUR_CHARACTER_CONSTANT('t', 'x', 'm', 'm') },
        Name { "Box", Q3_FOUR_CHARACTER_CONSTANT('b', 'o', 'x', ' ') },
        Name { "Cone", Q3_FOUR_CHARACTER_CONSTANT('c', 'o', 'n', 'e') },
        Name { "Cylinder", Q3_FOUR_CHARACTER_CONSTANT('c', 'y', 'l', 'n') },
        Name { "BeginGroup", Q3_FOUR_CHARACTER_CONSTANT('b', 'g', 'n', 'g') },
        Name { "EndGroup", Q3_FOUR_CHARACTER_CONSTANT('e', 'n', 'd', 'g') },
        Name { "DisplayGroup", Q3_FOUR_CHARACTER_CONSTANT('d', 's', 'p', 'g') },
        Name { "OrderedDisplayGroup", Q3_FOUR_CHARACTER_CONSTANT('o', 'r', 'd', 'g') },
        Name { "Group", Q3_FOUR_CHARACTER_CONSTANT('g', 'r', 'u', 'p') },
        Name { "Translate", Q3_FOUR_CHARACTER_CONSTANT('t', 'r', 'n', 's') },
        Name { "Scale", Q3_FOUR_CHARACTER_CONSTANT('s', 'c', 'a', 'l') },
        Name { "Rotate", Q3_FOUR_CHARACTER_CONSTANT('r', 'o', 't', 't') },
        Name { "RotateAboutAxis", Q3_FOUR_CHARACTER_CONSTANT('r', 't', 'a', 'a') },
        Name { "Quaternion", Q3_FOUR_CHARACTER_CONSTANT('q', 't', 'r', 'n') },
        Name { "Matrix", Q3_FOUR_CHARACTER_CONSTANT('m', 't', 'r', 'x') },
        Name { "NULLIllumination", Q3_FOUR_CHARACTER_CONSTANT('n', 'u', 'l', 'i') },
        Name { "LambertIllumination", Q3_FOUR_CHARACTER_CONSTANT('l', 'm', 'i', 'l') },
        Name { "PhongIllumination", Q3_FOUR_CHARACTER_CONSTANT('p', 'h', 'i', 'l') },
    };

    struct Keyword {
        std::string_view text;
        uint32_t value;
    };

    constexpr std::array Keywords {
        Keyword { "False", 0 },
        Keyword { "True", 1 },
        Keyword { "Normal", 0 },
        Keyword { "Stream", 1 },
        Keyword { "Database", 2 },
        Keyword { "RGB32", kQ3PixelTypeRGB32 },
        Keyword { "ARGB32", kQ3PixelTypeARGB32 },
        Keyword { "RGB16", kQ3PixelTypeRGB16 },
        Keyword { "ARGB16", kQ3PixelTypeARGB16 },
        Keyword { "RGB16_565", kQ3PixelTypeRGB16_565 },
        Keyword { "RGB24", kQ3PixelTypeRGB24 },
        Keyword { "BigEndian", kQ3EndianBig },
        Keyword { "LittleEndian", kQ3EndianLittle },
        Keyword { "X", 0 },
        Keyword { "Y", 1 },
        Keyword { "Z", 2 },
        Keyword { "Wrap", kQ3ShaderUVBoundaryWrap },
        Keyword { "Clamp", kQ3ShaderUVBoundaryClamp },
    };

    TQ3ObjectType TypeOf(std::string_view name)
    {
        for (const Name& entry : Names)
            if (entry.text == name)
                return entry.type;
        // Unknown objects get a type no reader knows, and are skipped.
        return 0;
    }

    bool IsLabel(std::string_view token) { return token.size() > 1 && token.back() == ':'; }

    std::optional<int64_t> Integer(std::string_view token)
    {
        int64_t number = 0;
        const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), number);
        if (error != std::errc() || end != token.data() + token.size())
            return std::nullopt;
        return number;
    }

    int HexDigit(char c)
    {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

    class TextSource final : public MetafileSource {
    public:
        explicit TextSource(std::span<const uint8_t> bytes)
            : mText(reinterpret_cast<const char*>(bytes.data()), bytes.size())
        {
        }

        bool ReadHeader() override
        {
            uint32_t major = 0, minor = 0;
            if (Next() != HeaderName || !Expect("(") || !Uns32(major) || !Uns32(minor)
                || major != SupportedMajorVersion)
                return Fail();
            mStarts.push_back(0);
            // The flags do not matter to reading; the table of contents'
            // label may follow them.
            if (Peek() != ")" && !Next().empty() && Peek().ends_with('>'))
                Location(mTableOfContents);
            Close();
            return !Failed();
        }

        bool Open(TQ3ObjectType& type) override
        {
            if (Failed())
                return false;
            std::string_view token = Peek();
            // A parenthesis that closes nothing is bad data.
            if (token == ")" && mStarts.empty())
                return Fail();
            // The data ending inside an object is bad data too.
            if (token.empty() && !mStarts.empty())
                return Fail();
            if (token.empty() || token == ")")
                return false;
            Next();
            if (!std::isalpha(static_cast<unsigned char>(token.front())) || !Expect("("))
                return Fail();
            type = TypeOf(token);
            mStarts.push_back(static_cast<size_t>(token.data() - mText.data()));
            return true;
        }

        void Close() override
        {
            // Skips to the parenthesis that closes the open object.
            int nesting = 0;
            while (!Failed()) {
                const std::string_view token = Next();
                if (token.empty()) {
                    Fail();
                    return;
                }
                if (token == "(")
                    ++nesting;
                else if (token == ")" && nesting-- == 0)
                    break;
            }
            if (!mStarts.empty())
                mStarts.pop_back();
        }

        bool AtEnd() const override { return Failed() || Peek().empty(); }

        bool Uns32(uint32_t& value) override
        {
            const std::string_view token = Next();
            for (const Keyword& keyword : Keywords)
                if (keyword.text == token) {
                    value = keyword.value;
                    return true;
                }
            const std::optional<int64_t> number = Integer(token);
            // Custom attribute types are negative: they read as unknown types.
            if (!number || *number < INT32_MIN || *number > UINT32_MAX)
                return Fail();
            value = static_cast<uint32_t>(*number);
            return true;
        }

        bool Float(float& value) override
        {
            const std::string_view token = Next();
            const auto [end, error] = std::from_chars(token.data(), token.data() + token.size(), value);
            if (error != std::errc() || end != token.data() + token.size() || !std::isfinite(value))
                return Fail();
            return true;
        }

        bool Bytes(std::span<uint8_t> bytes) override
        {
            // Raw data may be split over several 0x tokens.
            size_t filled = 0;
            while (filled < bytes.size()) {
                const std::string_view token = Next();
                if (token.size() < 2 || token[0] != '0' || (token[1] != 'x' && token[1] != 'X') || token.size() % 2)
                    return Fail();
                for (size_t i = 2; i < token.size() && filled < bytes.size(); i += 2) {
                    const int high = HexDigit(token[i]), low = HexDigit(token[i + 1]);
                    if (high < 0 || low < 0)
                        return Fail();
                    bytes[filled++] = static_cast<uint8_t>(high << 4 | low);
                }
            }
            return true;
        }

        bool Index(uint32_t& value, uint32_t) override { return Uns32(value); }

        // Every field takes at least one character and a separator.
        size_t FieldsLeft() const override { return (mText.size() - mPosition) / 2 + 1; }
        int Depth() const override { return static_cast<int>(mStarts.size()); }

        bool Location(std::optional<MetafileLocation>& location) override
        {
            const std::string_view token = Next();
            location.reset();
            if (Integer(token))
                return true;
            if (token.size() < 2 || token.back() != '>')
                return Fail();
            const auto& labels = Labels();
            if (auto found = labels.find(token.substr(0, token.size() - 1)); found != labels.end())
                location = found->second;
            return true;
        }

        bool Type(TQ3ObjectType& type) override
        {
            const std::string_view token = Peek();
            type = TypeOf(token);
            if (type != 0) {
                Next();
                return true;
            }
            return Uns32(type);
        }

        MetafileLocation OpenLocation() const override { return mStarts.empty() ? 0 : mStarts.back(); }
        MetafileLocation Position() const override { return mPosition; }

        std::unique_ptr<MetafileSource> At(MetafileLocation location) const override
        {
            if (location >= mText.size())
                return nullptr;
            Labels();
            auto source = std::make_unique<TextSource>(*this);
            source->mPosition = static_cast<size_t>(location);
            source->mStarts.clear();
            return source;
        }

    private:
        // Each label's name and the place of the object it is put before.
        using LabelMap = std::unordered_map<std::string_view, MetafileLocation>;

        // One pass over the text: labels standing in a row wait for the
        // token after the last of them, which all of them name, so that each
        // label is looked at once however many stand together.
        const LabelMap& Labels() const
        {
            if (mLabels)
                return *mLabels;
            auto labels = std::make_shared<LabelMap>();
            std::vector<std::string_view> waiting;
            size_t position = 0;
            while (true) {
                const std::string_view token = Scan(position, LabelTokens::Return);
                if (IsLabel(token)) {
                    waiting.push_back(token.substr(0, token.size() - 1));
                    continue;
                }
                const size_t place = token.empty() ? mText.size() : size_t(token.data() - mText.data());
                // The first of several labels with one name is the one that counts.
                for (const std::string_view name : waiting)
                    labels->emplace(name, place);
                waiting.clear();
                if (token.empty())
                    break;
            }
            mLabels = std::move(labels);
            return *mLabels;
        }

        // Whether a scan passes over labels (`name:`) or returns them as tokens.
        enum class LabelTokens { Skip, Return };

        // The next token; empty at the end.
        std::string_view Scan(size_t& position, LabelTokens labels = LabelTokens::Skip) const
        {
            while (true) {
                size_t start = position;
                while (start < mText.size()
                    && (std::isspace(static_cast<unsigned char>(mText[start])) || mText[start] == '#')) {
                    if (mText[start] == '#')
                        while (start < mText.size() && mText[start] != '\n')
                            ++start;
                    else
                        ++start;
                }
                if (start >= mText.size()) {
                    position = start;
                    return {};
                }
                size_t end = start + 1;
                if (mText[start] != '(' && mText[start] != ')')
                    while (end < mText.size() && !std::isspace(static_cast<unsigned char>(mText[end]))
                        && mText[end] != '(' && mText[end] != ')' && mText[end] != '#')
                        ++end;
                position = end;
                const std::string_view token = mText.substr(start, end - start);
                if (labels == LabelTokens::Skip && IsLabel(token))
                    continue;
                return token;
            }
        }

        std::string_view Peek() const
        {
            size_t position = mPosition;
            return Scan(position);
        }

        std::string_view Next()
        {
            if (Failed())
                return {};
            return Scan(mPosition);
        }

        bool Expect(std::string_view expected) { return Next() == expected || Fail(); }

        std::string_view mText {};
        size_t mPosition { 0 };
        // Where each open object starts, outermost first.
        std::vector<size_t> mStarts {};
        // Found on first use, and shared with the readers made by At().
        mutable std::shared_ptr<const LabelMap> mLabels {};
    };

}

std::unique_ptr<MetafileSource> OpenTextMetafile(std::span<const uint8_t> bytes)
{
    auto source = std::make_unique<TextSource>(bytes);
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    size_t start = 0;
    // The header may follow comments and white space.
    while (start < text.size()) {
        if (text[start] == '#')
            start = std::min(text.find('\n', start), text.size());
        else if (std::isspace(static_cast<unsigned char>(text[start])))
            ++start;
        else
            break;
    }
    if (text.substr(start, HeaderName.size()) != HeaderName)
        return nullptr;
    return source;
}

}
