#pragma once

// Framework pictures to the library's texture shaders and back. A picture is
// drawn into a 32-bit off-screen buffer erased to white, then copied texel by
// texel with an alpha rule: from a mask, pure white made transparent, or opaque.

#include <lxframework/plugin.h>
#include <q3/Q3.h>

#include <cstdint>

namespace lx3d {

enum class WhiteTransparency { Opaque, Transparent };

// A shader over a width x height texture whose top-left texels hold the
// picture; the rest stay zero. Null when the picture cannot be drawn.
TQ3ShaderObject NewTextureShaderFromPicture(
    LxObject* picture, LxObject* mask, WhiteTransparency white, uint32_t width, uint32_t height);

// A shader over a copy of the pixels.
TQ3ShaderObject NewTextureShader(uint32_t width, uint32_t height, const void* pixels, uint32_t rowBytes,
    TQ3Endian byteOrder, TQ3PixelType pixelType);

// A new picture of a pixmap texture's texels; nil for a mipmap, for pixel
// types a picture cannot hold and for storage too short for the texture.
LxObject* TextureShaderToPicture(TQ3ShaderObject shader);

}
