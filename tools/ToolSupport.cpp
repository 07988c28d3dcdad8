#include "ToolSupport.h"

#include <cstdio>

namespace tools {

bool HasArguments(int argc, char** argv, int expected, const char* usage)
{
    if (argc == expected + 1)
        return true;
    std::fprintf(stderr, "usage: %s %s\n", argc > 0 ? argv[0] : "tool", usage);
    return false;
}

QImage LoadRgb(const QString& path)
{
    QImage image(path);
    if (image.isNull()) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(path));
        return {};
    }
    return image.convertToFormat(QImage::Format_RGB32);
}

bool SavePng(const QImage& image, const QString& path)
{
    if (image.save(path, "PNG"))
        return true;
    std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
    return false;
}

}
