#include "Material.h"

#include "Color.h"
#include "HostServices.h"
#include "Lx3DUtil.h"
#include "PictureTexture.h"
#include "Records.h"

#include <algorithm>

namespace lx3d {

namespace {

    constexpr LxColor White = 0xFFFFFF;
    // The value of a picture's "Transparent" property that makes white see-through.
    constexpr LxInteger TransparentWhite = 1;

    MaterialData& Self(LxObject* self) { return *DataOf<MaterialData>(self, MaterialRecord()); }

    void Construct(LxObject* self)
    {
        AcquireQuesa();
        MaterialAdoptSet(self, Q3AttributeSet_New());
        Self(self).cachedDiffuseColor = White;
    }

    void Destruct(LxObject* self)
    {
        MaterialAdoptSet(self, nullptr);
        ReleaseQuesa();
    }

    LxColor GetDiffuseColor(LxObject* self, intptr_t type)
    {
        MaterialData& data = Self(self);
        TQ3ColorRGB color {};
        if (data.set && Q3AttributeSet_Get(data.set, TQ3AttributeType(type), &color) == kQ3Success)
            data.cachedDiffuseColor = PackColor(color);
        return data.cachedDiffuseColor;
    }

    void SetDiffuseColor(LxObject* self, intptr_t type, LxColor color)
    {
        MaterialData& data = Self(self);
        data.cachedDiffuseColor = color;
        if (data.set && Q3AttributeSet_Contains(data.set, TQ3AttributeType(type))) {
            TQ3ColorRGB rgb = UnpackColor(color);
            Q3AttributeSet_Add(data.set, TQ3AttributeType(type), &rgb);
        }
    }

    LxBoolean GetHasDiffuseColor(LxObject* self, intptr_t type)
    {
        TQ3AttributeSet set = Self(self).set;
        return set && Q3AttributeSet_Contains(set, TQ3AttributeType(type));
    }

    // Switching the color off keeps it in the cache, so on again restores it.
    void SetHasDiffuseColor(LxObject* self, intptr_t type, LxBoolean present)
    {
        MaterialData& data = Self(self);
        if (!data.set || GetHasDiffuseColor(self, type) == (present != 0))
            return;
        if (present) {
            TQ3ColorRGB rgb = UnpackColor(data.cachedDiffuseColor);
            Q3AttributeSet_Add(data.set, TQ3AttributeType(type), &rgb);
        } else {
            GetDiffuseColor(self, type);
            Q3AttributeSet_Clear(data.set, TQ3AttributeType(type));
        }
    }

    LxObject* GetTexture(LxObject* self, intptr_t)
    {
        TQ3AttributeSet set = Self(self).set;
        TQ3ShaderObject shader = nullptr;
        if (!set || Q3AttributeSet_Get(set, kQ3AttributeTypeSurfaceShader, &shader) != kQ3Success || !shader)
            return nullptr;
        LxObject* picture = TextureShaderToPicture(shader);
        Q3Object_Dispose(shader);
        return picture;
    }

    // The texture takes the picture's pixels at once, at exactly its size;
    // the material keeps no reference to the picture.
    void SetTexture(LxObject* self, intptr_t, LxObject* picture)
    {
        TQ3AttributeSet set = Self(self).set;
        if (!set)
            return;
        if (!picture) {
            Q3AttributeSet_Clear(set, kQ3AttributeTypeSurfaceShader);
            return;
        }
        LxObject* mask = VANTGetPictureMask(picture, false);
        LxInteger transparent = 0;
        WhiteTransparency white
            = !mask && VANTGetPropValueInt(picture, "Transparent", &transparent) && transparent == TransparentWhite
            ? WhiteTransparency::Transparent
            : WhiteTransparency::Opaque;
        LxPictureDescription description {};
        lockPictureDescription(picture, &description);
        unlockPictureDescription(picture);
        TQ3ShaderObject shader = NewTextureShaderFromPicture(
            picture, mask, white, uint32_t(std::max(description.width, 0)), uint32_t(std::max(description.height, 0)));
        if (shader) {
            Q3AttributeSet_Add(set, kQ3AttributeTypeSurfaceShader, &shader);
            Q3Object_Dispose(shader);
        }
        if (mask)
            VANTUnlockObject(mask);
    }

    LxPropertyRow gProperties[] = {
        AccessorProperty("Texture", "Picture", Fn(GetTexture), Fn(SetTexture)),
        AccessorProperty(
            "DiffuseColor", "Color", Fn(GetDiffuseColor), Fn(SetDiffuseColor), kQ3AttributeTypeDiffuseColor),
        AccessorProperty(
            "HasDiffuseColor", "Boolean", Fn(GetHasDiffuseColor), Fn(SetHasDiffuseColor), kQ3AttributeTypeDiffuseColor),
        { nullptr, "Handle", "Integer", 0, LxFieldAccessor, nullptr, offsetof(MaterialData, Handle) },
    };

    LxClassRecord gRecord
        = ClassRecord("Material", nullptr, sizeof(MaterialData), &Construct, &Destruct, { .properties = gProperties });

}

LxClassRecord& MaterialRecord() { return gRecord; }

TQ3AttributeSet MaterialSet(LxObject* material) { return material ? Self(material).set : nullptr; }

void MaterialAdoptSet(LxObject* material, TQ3AttributeSet set)
{
    MaterialData& data = Self(material);
    if (data.set)
        Q3Object_Dispose(data.set);
    data.set = set;
    data.Handle = static_cast<LxInteger>(Q3Object_GetId(set));
}

}
