#include "ResourceManifest.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <sstream>

namespace testresources {

namespace {

    constexpr std::size_t PictureFieldCount = 3;
    constexpr std::size_t CursorFieldCount = 5;

    std::vector<std::string> SplitFields(const std::string& line)
    {
        std::istringstream stream(line);
        std::vector<std::string> fields;
        for (std::string field; stream >> field;)
            fields.push_back(field);
        return fields;
    }

    bool ParseNumber(const std::string& text, int& value)
    {
        const char* end = text.data() + text.size();
        const auto result = std::from_chars(text.data(), end, value);
        return result.ec == std::errc() && result.ptr == end && value >= 0;
    }

    // Returns an empty string when the fields make a valid entry, else what is wrong.
    std::string ParseEntry(const std::vector<std::string>& fields, Entry& entry)
    {
        if (fields[0] == "picture")
            entry.kind = Kind::Picture;
        else if (fields[0] == "cursor")
            entry.kind = Kind::Cursor;
        else
            return "unknown kind '" + fields[0] + "'";
        const std::size_t expected = entry.kind == Kind::Picture ? PictureFieldCount : CursorFieldCount;
        if (fields.size() != expected)
            return "expected " + std::to_string(expected) + " fields, found " + std::to_string(fields.size());
        if (!ParseNumber(fields[1], entry.number))
            return "bad resource number '" + fields[1] + "'";
        entry.file = fields[2];
        if (entry.file.find('/') != std::string::npos)
            return "file '" + entry.file + "' is not in the resources folder";
        if (entry.kind == Kind::Cursor
            && (!ParseNumber(fields[3], entry.hotSpotX) || !ParseNumber(fields[4], entry.hotSpotY)))
            return "bad hot spot '" + fields[3] + " " + fields[4] + "'";
        return {};
    }

}

const Entry* Manifest::Find(Kind kind, int number) const
{
    const auto found = std::find_if(entries.begin(), entries.end(),
        [&](const Entry& entry) { return entry.kind == kind && entry.number == number; });
    return found == entries.end() ? nullptr : &*found;
}

Manifest ParseManifest(std::istream& input)
{
    Manifest manifest;
    int lineNumber = 0;
    for (std::string line; std::getline(input, line);) {
        ++lineNumber;
        const std::vector<std::string> fields = SplitFields(line);
        if (fields.empty() || fields[0].starts_with('#'))
            continue;
        Entry entry;
        std::string error = ParseEntry(fields, entry);
        if (error.empty() && manifest.Find(entry.kind, entry.number))
            error = "resource " + fields[0] + " " + fields[1] + " listed twice";
        if (!error.empty())
            manifest.errors.push_back("line " + std::to_string(lineNumber) + ": " + error);
        else
            manifest.entries.push_back(entry);
    }
    return manifest;
}

Manifest ReadManifest()
{
    std::ifstream file(TERRASLIDE_RESOURCE_DIR "/manifest.txt");
    if (!file) {
        Manifest missing;
        missing.errors.push_back("cannot open " TERRASLIDE_RESOURCE_DIR "/manifest.txt");
        return missing;
    }
    return ParseManifest(file);
}

QImage LoadImage(const Entry& entry)
{
    return QImage(QString::fromStdString(TERRASLIDE_RESOURCE_DIR "/" + entry.file));
}

}
