#pragma once

#include <QImage>

#include <istream>
#include <string>
#include <vector>

// Reads resources/manifest.txt the way the game's resource store is meant to,
// strictly, so that a line the store might misread fails the tests instead.
namespace testresources {

enum class Kind {
    Picture,
    Cursor,
};

struct Entry {
    Kind kind { Kind::Picture };
    int number { 0 };
    std::string file;
    int hotSpotX { 0 };
    int hotSpotY { 0 };
};

struct Manifest {
    std::vector<Entry> entries;
    std::vector<std::string> errors;

    const Entry* Find(Kind, int number) const;
};

Manifest ParseManifest(std::istream&);

// The manifest in the source tree's resources folder.
Manifest ReadManifest();

// The entry's file from the resources folder; a null image if it cannot be read.
QImage LoadImage(const Entry&);

}
