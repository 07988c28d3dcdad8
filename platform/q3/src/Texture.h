#pragma once

#include "Object.h"

#include <memory>

namespace q3 {

namespace render {
    class DecodedTexture;
}

// A texture: pixels in a storage object and the description of their layout.
// A mipmap texture read from a model file keeps its first level.
class Texture final : public Object {
public:
    static constexpr TQ3ObjectType Type = kQ3SharedTypeTexture;

    enum class Kind { Pixmap, Mipmap };

    Texture(Kind kind, const TQ3StoragePixmap& pixmap)
        : mKind(kind)
        , mPixmap(pixmap)
        , mStorage(pixmap.image)
    {
        mPixmap.image = nullptr;
    }

    std::span<const TQ3ObjectType> TypeChain() const override;

    Kind TextureKind() const { return mKind; }
    // The description, its storage borrowed.
    TQ3StoragePixmap Pixmap() const;

    // The texels, decoded on first use; null when the description does not
    // fit the storage's bytes.
    std::shared_ptr<const render::DecodedTexture> Decoded();

private:
    std::shared_ptr<const render::DecodedTexture> mDecoded {};
    bool mDecodeTried { false };
    Kind mKind { Kind::Pixmap };
    TQ3StoragePixmap mPixmap {};
    Ref<> mStorage {};
};

// A surface shader that lays a texture over the surface, wrapping or
// clamping in u and v.
class TextureShader final : public Object {
public:
    static constexpr TQ3ObjectType Type = kQ3SurfaceShaderTypeTexture;

    explicit TextureShader(TQ3TextureObject texture, TQ3ShaderUVBoundary uBoundary = kQ3ShaderUVBoundaryWrap,
        TQ3ShaderUVBoundary vBoundary = kQ3ShaderUVBoundaryWrap)
        : mTexture(texture)
        , mUBoundary(uBoundary)
        , mVBoundary(vBoundary)
    {
    }

    std::span<const TQ3ObjectType> TypeChain() const override;
    TQ3Status Submit(View& view) override;

    Texture* TextureObject() const { return static_cast<Texture*>(mTexture.Get()); }
    TQ3ShaderUVBoundary UBoundary() const { return mUBoundary; }
    TQ3ShaderUVBoundary VBoundary() const { return mVBoundary; }

private:
    Ref<> mTexture {};
    TQ3ShaderUVBoundary mUBoundary { kQ3ShaderUVBoundaryWrap };
    TQ3ShaderUVBoundary mVBoundary { kQ3ShaderUVBoundaryWrap };
};

}
