#pragma once

#include <QImage>
#include <QString>

namespace tools {

// Every generator takes its input and output paths on the command line. This
// checks the count and prints the usage line when it is wrong.
bool HasArguments(int argc, char** argv, int expected, const char* usage);

// Reads an image in 32-bit RGB, or prints why it could not and returns a null image.
QImage LoadRgb(const QString& path);

// Writes a PNG, or prints why it could not and returns false.
bool SavePng(const QImage& image, const QString& path);

}
