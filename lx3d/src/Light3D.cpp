#include "Light3D.h"

#include "Color.h"
#include "HostServices.h"
#include "Records.h"
#include "Vector3D.h"

#include <algorithm>

namespace lx3d {

namespace {

    constexpr LxInteger FullBrightness = 100;
    constexpr LxColor White = 0xFFFFFF;
    constexpr double PercentScale = 100;

    Light3DData& Self(LxObject* self) { return *LightOf(self); }

    void Construct(LxObject* self)
    {
        Light3DData& data = Self(self);
        data.Brightness = FullBrightness;
        data.LightColor = White;
        data.Attenuation = kQ3AttenuationTypeInverseDistance;
    }

    void DisposeLight(Light3DData& data)
    {
        if (data.light) {
            Q3Object_Dispose(data.light);
            data.light = nullptr;
        }
    }

    void Destruct(LxObject* self)
    {
        Light3DData& data = Self(self);
        DisposeLight(data);
        DropReference(data.Position);
        DropReference(data.Direction);
    }

    template <class T> void StoreSetting(LxObject* self, T Light3DData::*field, T value)
    {
        Light3DData& data = Self(self);
        if (data.*field != value) {
            data.*field = value;
            ++data.changeCount;
        }
    }

    void SetBrightness(LxObject* self, intptr_t, LxInteger value)
    {
        StoreSetting(self, &Light3DData::Brightness, value);
    }
    void SetLightColor(LxObject* self, intptr_t, LxColor value) { StoreSetting(self, &Light3DData::LightColor, value); }

    void SetAttenuation(LxObject* self, intptr_t, LxInteger value)
    {
        StoreSetting(self, &Light3DData::Attenuation,
            std::clamp<LxInteger>(value, kQ3AttenuationTypeNone, kQ3AttenuationTypeInverseDistanceSquared));
    }

    void SetVector(LxObject* self, LxObject* Light3DData::*field, LxObject* value)
    {
        Light3DData& data = Self(self);
        if ((data.*field == nullptr) != (value == nullptr))
            data.recreate = true;
        ReplaceReference(data.*field, value);
    }

    void SetPosition(LxObject* self, intptr_t, LxObject* value) { SetVector(self, &Light3DData::Position, value); }
    void SetDirection(LxObject* self, intptr_t, LxObject* value) { SetVector(self, &Light3DData::Direction, value); }

    TQ3LightData BaseLightData(const Light3DData& data)
    {
        return { data.Brightness > 0 ? kQ3True : kQ3False, float(data.Brightness / PercentScale),
            UnpackColor(data.LightColor) };
    }

    TQ3Vector3D Normalised(TQ3Vector3D vector)
    {
        Q3Vector3D_Normalize(&vector, &vector);
        return vector;
    }

    bool IsPointLight(const Light3DData& data) { return data.Position && !data.Direction; }
    bool IsDirectionalLight(const Light3DData& data) { return data.Direction && !data.Position; }

    // The applied values are left as they are, so the next update applies
    // the location or direction once more.
    TQ3LightObject MakeLight(const Light3DData& data)
    {
        if (IsPointLight(data)) {
            TQ3PointLightData point { BaseLightData(data), kQ3True, TQ3AttenuationType(data.Attenuation),
                AsPoint(*VectorOf(data.Position)) };
            return Q3PointLight_New(&point);
        }
        if (IsDirectionalLight(data)) {
            TQ3DirectionalLightData directional { BaseLightData(data), kQ3True, Normalised(*VectorOf(data.Direction)) };
            return Q3DirectionalLight_New(&directional);
        }
        return nullptr;
    }

    bool Differs(const TQ3Vector3D& a, float x, float y, float z) { return a.x != x || a.y != y || a.z != z; }

    void ApplyChanges(Light3DData& data)
    {
        if (data.changeCount != data.appliedCount) {
            TQ3LightData base = BaseLightData(data);
            Q3Light_SetBrightness(data.light, base.brightness);
            Q3Light_SetState(data.light, base.isOn);
            Q3Light_SetColor(data.light, &base.color);
            if (IsPointLight(data))
                Q3PointLight_SetAttenuation(data.light, TQ3AttenuationType(data.Attenuation));
            data.appliedCount = data.changeCount;
        }
        if (data.Position) {
            TQ3Point3D location = AsPoint(*VectorOf(data.Position));
            if (Differs(AsVector(data.appliedLocation), location.x, location.y, location.z)) {
                Q3PointLight_SetLocation(data.light, &location);
                data.appliedLocation = location;
            }
        }
        if (data.Direction) {
            TQ3Vector3D direction = *VectorOf(data.Direction);
            if (Differs(data.appliedDirection, direction.x, direction.y, direction.z)) {
                TQ3Vector3D normalised = Normalised(direction);
                Q3DirectionalLight_SetDirection(data.light, &normalised);
                data.appliedDirection = direction;
            }
        }
    }

    LxPropertyRow InitialStateProperty(
        const char* name, const char* type, std::size_t offset, LxFunction setter, uint32_t flags = 0)
    {
        return { "Initial State", name, type, flags, LxFieldAccessor, setter, static_cast<intptr_t>(offset) };
    }

    LxPropertyRow gProperties[] = {
        InitialStateProperty("Brightness", "Integer", offsetof(Light3DData, Brightness), Fn(SetBrightness)),
        InitialStateProperty("LightColor", "Color", offsetof(Light3DData, LightColor), Fn(SetLightColor)),
        InitialStateProperty("Position", "Vector3D", offsetof(Light3DData, Position), Fn(SetPosition), LxPropertyObjectFlag),
        InitialStateProperty("Direction", "Vector3D", offsetof(Light3DData, Direction), Fn(SetDirection), LxPropertyObjectFlag),
        InitialStateProperty("Attenuation", "Integer", offsetof(Light3DData, Attenuation), Fn(SetAttenuation)),
    };

    LxClassRecord gRecord
        = ClassRecord("Light3D", nullptr, sizeof(Light3DData), &Construct, &Destruct, { .properties = gProperties });

}

LxClassRecord& Light3DRecord() { return gRecord; }

Light3DData* LightOf(LxObject* light) { return DataOf<Light3DData>(light, gRecord); }

bool UpdateQuesaLight(LxObject* light, TQ3LightObject& made)
{
    Light3DData& data = Self(light);
    if (data.recreate) {
        DisposeLight(data);
        data.recreate = false;
    }
    if (!data.light) {
        data.light = MakeLight(data);
        made = data.light;
        return data.light != nullptr;
    }
    ApplyChanges(data);
    return false;
}

}
