#include "Texture.h"

#include "Storage.h"
#include "View.h"
#include "render/DecodedTexture.h"

namespace q3 {

std::span<const TQ3ObjectType> Texture::TypeChain() const
{
    static constexpr TQ3ObjectType pixmap[] = { kQ3ObjectTypeShared, kQ3SharedTypeTexture, kQ3TextureTypePixmap };
    static constexpr TQ3ObjectType mipmap[] = { kQ3ObjectTypeShared, kQ3SharedTypeTexture, kQ3TextureTypeMipmap };
    if (mKind == Kind::Mipmap)
        return mipmap;
    return pixmap;
}

TQ3StoragePixmap Texture::Pixmap() const
{
    TQ3StoragePixmap pixmap = mPixmap;
    pixmap.image = mStorage.Get();
    return pixmap;
}

std::shared_ptr<const render::DecodedTexture> Texture::Decoded()
{
    if (mDecodeTried)
        return mDecoded;
    mDecodeTried = true;
    auto* storage = static_cast<MemoryStorage*>(mStorage.Get());
    if (!storage)
        return nullptr;
    mDecoded = render::DecodedTexture::FromPixmap({ storage->Bytes(), mPixmap.width, mPixmap.height, mPixmap.rowBytes,
        static_cast<uint32_t>(mPixmap.pixelType), static_cast<uint32_t>(mPixmap.byteOrder) });
    return mDecoded;
}

std::span<const TQ3ObjectType> TextureShader::TypeChain() const
{
    static constexpr TQ3ObjectType chain[] = { kQ3ObjectTypeShared, kQ3SharedTypeShape, kQ3ShapeTypeShader,
        kQ3ShaderTypeSurface, kQ3SurfaceShaderTypeTexture };
    return chain;
}

TQ3Status TextureShader::Submit(View& view)
{
    view.SetSurfaceShader(this);
    return kQ3Success;
}

}

using namespace q3;

TQ3ShaderObject Q3TextureShader_New(TQ3TextureObject texture)
{
    if (!Cast<Texture>(texture)) {
        PostError(kQ3ErrorInvalidParameter);
        return nullptr;
    }
    return new TextureShader(texture);
}

TQ3Status Q3TextureShader_GetTexture(TQ3ShaderObject shader, TQ3TextureObject* texture)
{
    auto* self = Cast<TextureShader>(shader);
    if (!texture)
        return kQ3Failure;
    *texture = self ? Q3Shared_GetReference(self->TextureObject()) : nullptr;
    return *texture ? kQ3Success : kQ3Failure;
}

TQ3TextureObject Q3PixmapTexture_New(const TQ3StoragePixmap* pixmap)
{
    if (!pixmap || !pixmap->image || !pixmap->image->IsType(kQ3SharedTypeStorage)
        || pixmap->pixelType > kQ3PixelTypeRGB24 || pixmap->byteOrder > kQ3EndianLittle) {
        PostError(kQ3ErrorInvalidParameter);
        return nullptr;
    }
    return new Texture(Texture::Kind::Pixmap, *pixmap);
}

TQ3Status Q3PixmapTexture_GetPixmap(TQ3TextureObject texture, TQ3StoragePixmap* pixmap)
{
    auto* self = Cast<Texture>(texture);
    if (!self || !pixmap || self->TextureKind() != Texture::Kind::Pixmap)
        return kQ3Failure;
    *pixmap = self->Pixmap();
    Q3Shared_GetReference(pixmap->image);
    return kQ3Success;
}

TQ3ObjectType Q3Texture_GetType(TQ3TextureObject texture)
{
    auto* self = Cast<Texture>(texture);
    return self ? self->LeafType() : 0;
}

TQ3Status Q3Texture_GetWidth(TQ3TextureObject texture, TQ3Uns32* width)
{
    auto* self = Cast<Texture>(texture);
    if (!self || !width)
        return kQ3Failure;
    *width = self->Pixmap().width;
    return kQ3Success;
}

TQ3Status Q3Texture_GetHeight(TQ3TextureObject texture, TQ3Uns32* height)
{
    auto* self = Cast<Texture>(texture);
    if (!self || !height)
        return kQ3Failure;
    *height = self->Pixmap().height;
    return kQ3Success;
}
