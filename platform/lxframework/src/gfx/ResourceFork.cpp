#include "CursorShape.h"
#include "PictureImage.h"

#include <lxframework/ResourceFork.h>
#include <lxframework/Runtime.h>

#include <QCursor>
#include <QFile>
#include <QImage>
#include <QPixmap>
#include <QRegularExpression>
#include <QTextStream>

#include <map>
#include <string>

namespace lx {

namespace {

    // Where the resources folder is embedded, with its manifest.
    constexpr const char* ResourceRoot = ":/resources/";
    constexpr const char* ManifestName = "manifest.txt";

    struct CursorEntry {
        QString file;
        QPoint hotSpot;
    };

    struct Manifest {
        std::map<int32_t, QString> pictures;
        std::map<int32_t, CursorEntry> cursors;
    };

    // Reads the manifest once. A line that does not follow the format is
    // logged and skipped, never half-used.
    const Manifest& LoadManifest()
    {
        static const Manifest manifest = [] {
            Manifest result;
            QFile file(QString(ResourceRoot) + ManifestName);
            if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
                DebugLog("the application's resource manifest is missing");
                return result;
            }
            QTextStream stream(&file);
            while (!stream.atEnd()) {
                const QString line = stream.readLine().trimmed();
                if (line.isEmpty() || line.startsWith('#'))
                    continue;
                const QStringList fields = line.split(QRegularExpression(QStringLiteral("[ \\t]+")));
                bool numberOk = false, xOk = false, yOk = false;
                const int32_t number = fields.value(1).toInt(&numberOk);
                if (fields.size() == 3 && fields[0] == "picture" && numberOk) {
                    result.pictures.emplace(number, fields[2]);
                } else if (fields.size() == 5 && fields[0] == "cursor" && numberOk) {
                    const QPoint hotSpot(fields[3].toInt(&xOk), fields[4].toInt(&yOk));
                    if (xOk && yOk)
                        result.cursors.emplace(number, CursorEntry { fields[2], hotSpot });
                } else {
                    DebugLog("a resource manifest line was not understood: " + line.toStdString());
                }
            }
            return result;
        }();
        return manifest;
    }

}

Ref<Picture> ResourceFork::GetPicture(int32_t number) const
{
    const auto& pictures = LoadManifest().pictures;
    auto found = pictures.find(number);
    if (found == pictures.end())
        return nullptr;
    QImage image(ResourceRoot + found->second);
    if (image.isNull()) {
        DebugLog("picture resource " + std::to_string(number) + " does not load");
        return nullptr;
    }
    return PictureFromImage(image);
}

Ref<MouseCursor> ResourceFork::getCursor(int32_t number) const
{
    const auto& cursors = LoadManifest().cursors;
    auto found = cursors.find(number);
    if (found == cursors.end())
        return nullptr;
    QPixmap pixmap(ResourceRoot + found->second.file);
    if (pixmap.isNull()) {
        DebugLog("cursor resource " + std::to_string(number) + " does not load");
        return nullptr;
    }
    return NewMouseCursor(
        QCursor(pixmap, found->second.hotSpot.x(), found->second.hotSpot.y()), "resource " + std::to_string(number));
}

}
