#pragma once

#include <lxframework/Picture.h>
#include <lxframework/Ref.h>

#include <QImage>

namespace lx {

// Pictures as Qt images, for the framework's drawing and resource code and for
// tests that look at what was drawn.

// The picture's colors, opaque.
QImage ToImage(const Picture& picture);
// The colors with the mask and the Transparent flag as alpha.
QImage ToImageWithAlpha(const Picture& picture);
// A new picture holding a copy of the image's colors (alpha dropped); nil for
// a size a picture cannot have.
Ref<Picture> PictureFromImage(const QImage& image);
// The same, with the image's alpha kept as the mask where any pixel is not opaque.
Ref<Picture> PictureFromImageWithAlpha(const QImage& image);

}
