#include "Lighting.h"

#include "Math.h"
#include "Tunables.h"

#include <algorithm>
#include <cmath>

namespace q3::render {

namespace {

    TQ3ColorRGB Scaled(const TQ3ColorRGB& color, float factor)
    {
        return { color.r * factor, color.g * factor, color.b * factor };
    }

}

void Lighting::SetLights(std::span<const Light> lights)
{
    mAmbient = { 0, 0, 0 };
    mSources.clear();
    for (const Light& light : lights) {
        TQ3ColorRGB color = Scaled(light.color, light.brightness);
        switch (light.kind) {
        case Light::Kind::Ambient:
            mAmbient = { mAmbient.r + color.r, mAmbient.g + color.g, mAmbient.b + color.b };
            break;
        case Light::Kind::Directional:
            mSources.push_back({ light.kind, color, -light.direction, light.location, light.attenuation });
            break;
        case Light::Kind::Point:
            mSources.push_back({ light.kind, color, {}, light.location, light.attenuation });
            break;
        }
    }
}

TQ3ColorRGB Lighting::Illuminate(const TQ3Point3D& position, const TQ3Vector3D& normal) const
{
    TQ3ColorRGB sum = mAmbient;
    for (const Source& source : mSources) {
        TQ3Vector3D toLight = source.toLight;
        float factor = 1;
        if (source.kind == Light::Kind::Point) {
            toLight = source.location - position;
            float distance = std::sqrt(Dot(toLight, toLight));
            if (!(distance > 0))
                continue;
            toLight = toLight / distance;
            float attenuated = std::max(distance, MinimumAttenuationDistance);
            if (source.attenuation == kQ3AttenuationTypeInverseDistance)
                factor = 1 / attenuated;
            else if (source.attenuation == kQ3AttenuationTypeInverseDistanceSquared)
                factor = 1 / (attenuated * attenuated);
        }
        float diffuse = std::max(0.0f, Dot(normal, toLight)) * factor;
        sum = { sum.r + source.color.r * diffuse, sum.g + source.color.g * diffuse, sum.b + source.color.b * diffuse };
    }
    return sum;
}

}
