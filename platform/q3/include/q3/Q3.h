#pragma once

// The 3D library's C interface: retained scene objects with reference counts,
// views with rendering, picking and bounding loops, cameras, lights, styles,
// transforms, geometry and 3DMF reading. Every entry point accepts null
// objects and then fails without effect.

#include <cstdint>

namespace Q3 {
class Object;
}

extern "C" {

// Basic types -------------------------------------------------------------

typedef int32_t TQ3Int32;
typedef uint32_t TQ3Uns32;
typedef float TQ3Float32;
typedef uint32_t TQ3ObjectType;
typedef uint32_t TQ3Boolean; // 32 bits wide: records embed it
typedef uint32_t TQ3Switch;

enum : TQ3Boolean { kQ3False = 0, kQ3True = 1 };
enum : TQ3Switch { kQ3Off = 0, kQ3On = 1 };

typedef enum TQ3Status { kQ3Failure = 0, kQ3Success = 1 } TQ3Status;

typedef enum TQ3Error {
    kQ3ErrorNone = 0,
    kQ3ErrorNotInitialized,
    kQ3ErrorInvalidObject,
    kQ3ErrorInvalidParameter,
    kQ3ErrorOutOfMemory,
    kQ3ErrorInvalidObjectType,
} TQ3Error;

#define Q3_FOUR_CHARACTER_CONSTANT(a, b, c, d)                                                                         \
    ((TQ3ObjectType)(((uint32_t)(uint8_t)(a) << 24) | ((uint32_t)(uint8_t)(b) << 16) | ((uint32_t)(uint8_t)(c) << 8)   \
        | (uint32_t)(uint8_t)(d)))

// Object handles. Every kind is the same opaque, reference-counted object;
// the typedefs only say what a call expects.
typedef Q3::Object* TQ3Object;
typedef TQ3Object TQ3SharedObject;
typedef TQ3Object TQ3ShapeObject;
typedef TQ3Object TQ3ViewObject;
typedef TQ3Object TQ3CameraObject;
typedef TQ3Object TQ3DrawContextObject;
typedef TQ3Object TQ3RendererObject;
typedef TQ3Object TQ3GroupObject;
typedef TQ3Object TQ3LightObject;
typedef TQ3Object TQ3ShaderObject;
typedef TQ3Object TQ3SurfaceShaderObject;
typedef TQ3Object TQ3TextureObject;
typedef TQ3Object TQ3StorageObject;
typedef TQ3Object TQ3FileObject;
typedef TQ3Object TQ3PickObject;
typedef TQ3Object TQ3AttributeSet;
typedef TQ3Object TQ3GeometryObject;
typedef TQ3Object TQ3StyleObject;
typedef TQ3Object TQ3TransformObject;

// Type codes, most general first. A type test accepts every code on the
// object's chain: a tri-mesh is a shape, a geometry and a tri-mesh.
#define kQ3ObjectTypeShared Q3_FOUR_CHARACTER_CONSTANT('s', 'h', 'r', 'd')
#define kQ3SharedTypeShape Q3_FOUR_CHARACTER_CONSTANT('s', 'h', 'a', 'p')
#define kQ3SharedTypeView Q3_FOUR_CHARACTER_CONSTANT('v', 'i', 'e', 'w')
#define kQ3ShapeTypeCamera Q3_FOUR_CHARACTER_CONSTANT('c', 'm', 'r', 'a')
#define kQ3CameraTypeViewAngleAspect Q3_FOUR_CHARACTER_CONSTANT('v', 'a', 'n', 'a')
#define kQ3ShapeTypeShader Q3_FOUR_CHARACTER_CONSTANT('s', 'h', 'd', 'r')
#define kQ3ShaderTypeIllumination Q3_FOUR_CHARACTER_CONSTANT('i', 'l', 'l', 'm')
#define kQ3IlluminationTypePhong Q3_FOUR_CHARACTER_CONSTANT('p', 'h', 'n', 'g')
#define kQ3IlluminationTypeNULL Q3_FOUR_CHARACTER_CONSTANT('n', 'u', 'l', 'i')

// Geometry of points and vectors ------------------------------------------

typedef struct TQ3Point2D {
    float x, y;
} TQ3Point2D;

typedef struct TQ3Point3D {
    float x, y, z;
} TQ3Point3D;

typedef struct TQ3Vector3D {
    float x, y, z;
} TQ3Vector3D;

typedef struct TQ3Param2D {
    float u, v;
} TQ3Param2D;

typedef struct TQ3ColorRGB {
    float r, g, b;
} TQ3ColorRGB;

typedef struct TQ3ColorARGB {
    float a, r, g, b;
} TQ3ColorARGB;

// Row vectors: a point p is transformed as p * M.
typedef struct TQ3Matrix4x4 {
    float value[4][4];
} TQ3Matrix4x4;

// Cameras -----------------------------------------------------------------

typedef struct TQ3CameraPlacement {
    TQ3Point3D cameraLocation;
    TQ3Point3D pointOfInterest;
    TQ3Vector3D upVector;
} TQ3CameraPlacement;

typedef struct TQ3CameraRange {
    float hither;
    float yon;
} TQ3CameraRange;

typedef struct TQ3CameraViewPort {
    TQ3Point2D origin;
    float width;
    float height;
} TQ3CameraViewPort;

typedef struct TQ3CameraData {
    TQ3CameraPlacement placement;
    TQ3CameraRange range;
    TQ3CameraViewPort viewPort;
} TQ3CameraData;

typedef struct TQ3ViewAngleAspectCameraData {
    TQ3CameraData cameraData;
    float fov; // radians
    float aspectRatioXToY;
} TQ3ViewAngleAspectCameraData;

// Library lifetime and errors ---------------------------------------------

TQ3Status Q3Initialize(void);
TQ3Boolean Q3IsInitialized(void);

// Returns the error that stands and clears it. The first error is kept until
// it is read: a later error does not overwrite it. `firstError` may be null.
TQ3Error Q3Error_Get(TQ3Error* firstError);

// Objects and references --------------------------------------------------

TQ3Status Q3Object_Dispose(TQ3Object object);
TQ3SharedObject Q3Shared_GetReference(TQ3SharedObject object);
TQ3Boolean Q3Object_IsType(TQ3Object object, TQ3ObjectType type);
TQ3ObjectType Q3Object_GetLeafType(TQ3Object object);

// Objects cross into the framework as 32-bit Integers, never as pointers:
// every live object has an id, 0 is none, and an id whose object is gone
// resolves to null. The object found is borrowed.
TQ3Uns32 Q3Object_GetId(TQ3Object object);
TQ3Object Q3Object_FromId(TQ3Uns32 id);

// How many objects are alive; a run that disposed of everything ends at 0.
TQ3Uns32 Q3Object_LiveCount(void);

// Views -------------------------------------------------------------------

TQ3ViewObject Q3View_New(void);
TQ3Status Q3View_SetCamera(TQ3ViewObject view, TQ3CameraObject camera);
TQ3Status Q3View_GetCamera(TQ3ViewObject view, TQ3CameraObject* camera);

// Cameras -----------------------------------------------------------------

TQ3CameraObject Q3ViewAngleAspectCamera_New(const TQ3ViewAngleAspectCameraData* data);
TQ3Status Q3ViewAngleAspectCamera_GetData(TQ3CameraObject camera, TQ3ViewAngleAspectCameraData* data);
TQ3Status Q3ViewAngleAspectCamera_SetFOV(TQ3CameraObject camera, float fov);
TQ3Status Q3ViewAngleAspectCamera_SetAspectRatio(TQ3CameraObject camera, float aspectRatioXToY);
TQ3Status Q3Camera_SetPlacement(TQ3CameraObject camera, const TQ3CameraPlacement* placement);
TQ3Status Q3Camera_GetPlacement(TQ3CameraObject camera, TQ3CameraPlacement* placement);
TQ3Status Q3Camera_SetRange(TQ3CameraObject camera, const TQ3CameraRange* range);
TQ3Status Q3Camera_GetRange(TQ3CameraObject camera, TQ3CameraRange* range);

// Illumination shaders ----------------------------------------------------

TQ3ShaderObject Q3PhongIllumination_New(void);
TQ3ShaderObject Q3NULLIllumination_New(void);
}
