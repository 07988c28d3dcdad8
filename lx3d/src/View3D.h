#pragma once

#include "Bounds3D.h"
#include "ObjectArray.h"

#include <lxframework/plugin.h>
#include <q3/Q3.h>

namespace lx3d {

struct LightPlaces;

// The view control's instance data. The host reads and writes the public
// fields at the offsets of their property rows; the rest is the library
// scene the control owns and what it last applied to it.
struct Lx3DSpaceData {
    float Hither = 0;
    float Yon = 0;
    LxInteger FieldOfView = 0; // degrees
    LxColor SkyColor = 0;
    LxObject* Background = nullptr; // an element kept centred on the viewer
    LxObject* Camera = nullptr; // an Element3D
    LxObject* Objects = nullptr; // a Group3D
    LxInteger AmbientLight = 0; // percent
    LxColor AmbientColor = 0;
    LxInteger FloodLight = 0; // percent
    LxColor FloodColor = 0;
    LxObject* FloodDirection = nullptr; // a Vector3D
    LxBoolean Wireframe = 0;
    LxBoolean DebugCube = 0;
    LxBoolean FogVisible = 0;
    float FogStart = 0;

    TQ3ViewObject mView = nullptr;
    TQ3DrawContextObject drawContext = nullptr;
    TQ3RendererObject mRenderer = nullptr;
    TQ3CameraObject mCamera = nullptr;
    TQ3Point3D lastCameraPosition {};
    TQ3Quaternion lastCameraOrientation {};
    TQ3Vector3D lastFloodDirection {}; // as given, not normalised
    TQ3InterpolationStyle interpolationStyle = kQ3InterpolationStyleNone;
    TQ3BackfacingStyle backfacingStyle = kQ3BackfacingStyleBoth;
    TQ3FillStyle fillStyle = kQ3FillStyleFilled;
    TQ3FogStyleData fog {};
    TQ3ShaderObject mShader = nullptr;
    // Position 0 holds the ambient light, 1 the flood light, then the lights
    // of the Light3D objects.
    TQ3GroupObject lightGroup = nullptr;
    TQ3GroupObject debugCubeGroup = nullptr;
    ObjectArray lights; // Light3D references, one each; nil entries allowed
    LightPlaces* lightPlaces = nullptr; // made with the first light, freed at close
    TQ3Matrix4x4 worldToFrustum {};
    FrustumPlane planes[FrustumPlaneCount] {};
    LxBoolean planesValid = 0;
    // Set at close: nothing runs the close behaviour again to free what a
    // closed control would keep, so it keeps nothing new.
    LxBoolean closed = 0;
    // Kept to make the draw context again when the control moves or resizes.
    TQ3MacDrawContextData drawContextData {};
};

// The view control's record, registered as "Lx3DSpace".
LxControlRecord& Lx3DSpaceRecord();

// The control's instance data; null for nil.
Lx3DSpaceData* ViewOf(LxObject* control);

// The six planes of the view's frustum in world coordinates, brought up to
// date with its camera element, for Bounds3D.InView; null for a nil control,
// while the view has no library camera (before its first redraw) and while
// its camera sees nothing.
const FrustumPlane* ViewFrustumPlanes(LxObject* control);

}
