#pragma once

#include "Object.h"

#include <memory>

namespace Q3 {

namespace Render {
    class Texture;
}

// A texture: pixels in a storage object and the description of their layout.
// A mipmap texture read from a model file keeps its first level.
class Texture final : public Object {
public:
    static constexpr TQ3ObjectType Type = kQ3SharedTypeTexture;

    enum class Kind { Pixmap, Mipmap };

    Texture(Kind kind, const TQ3StoragePixmap& pixmap)
        : m_kind(kind)
        , m_pixmap(pixmap)
        , m_storage(pixmap.image)
    {
        m_pixmap.image = nullptr;
    }

    std::span<const TQ3ObjectType> TypeChain() const override;

    Kind TextureKind() const { return m_kind; }
    // The description, its storage borrowed.
    TQ3StoragePixmap Pixmap() const;

    // The texels, decoded on first use; null when the description does not
    // fit the storage's bytes.
    std::shared_ptr<const Render::Texture> Decoded();

private:
    std::shared_ptr<const Render::Texture> m_decoded {};
    bool m_decodeTried { false };
    Kind m_kind { Kind::Pixmap };
    TQ3StoragePixmap m_pixmap {};
    Ref<> m_storage {};
};

// A surface shader that lays a texture over the surface, wrapping in u and v.
class TextureShader final : public Object {
public:
    static constexpr TQ3ObjectType Type = kQ3SurfaceShaderTypeTexture;

    explicit TextureShader(TQ3TextureObject texture)
        : m_texture(texture)
    {
    }

    std::span<const TQ3ObjectType> TypeChain() const override;
    TQ3Status Submit(View& view) override;

    Texture* TextureObject() const { return static_cast<Texture*>(m_texture.Get()); }

private:
    Ref<> m_texture {};
};

}
