#pragma once

// The 3D library's C interface: retained scene objects with reference counts,
// views with rendering, picking and bounding loops, cameras, lights, styles,
// transforms, geometry and 3DMF reading. Every entry point accepts null
// objects and then fails without effect.

#include <carbon/Carbon.h>

#include <cstdint>

namespace q3 {
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
typedef q3::Object* TQ3Object;
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

// A place in a group; null after the last member.
typedef struct TQ3GroupPositionPrivate* TQ3GroupPosition;

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
#define kQ3IlluminationTypeLambert Q3_FOUR_CHARACTER_CONSTANT('l', 'm', 'b', 't')
#define kQ3ShaderTypeSurface Q3_FOUR_CHARACTER_CONSTANT('s', 'u', 's', 'h')
#define kQ3SurfaceShaderTypeTexture Q3_FOUR_CHARACTER_CONSTANT('t', 'x', 's', 'u')
#define kQ3ShapeTypeGroup Q3_FOUR_CHARACTER_CONSTANT('g', 'r', 'u', 'p')
#define kQ3GroupTypeDisplay Q3_FOUR_CHARACTER_CONSTANT('d', 's', 'p', 'g')
#define kQ3GroupTypeLight Q3_FOUR_CHARACTER_CONSTANT('l', 'g', 'r', 'p')
#define kQ3ShapeTypeGeometry Q3_FOUR_CHARACTER_CONSTANT('g', 'm', 't', 'r')
#define kQ3GeometryTypeTriMesh Q3_FOUR_CHARACTER_CONSTANT('t', 'm', 's', 'h')
#define kQ3GeometryTypeBox Q3_FOUR_CHARACTER_CONSTANT('b', 'o', 'x', ' ')
#define kQ3GeometryTypeCone Q3_FOUR_CHARACTER_CONSTANT('c', 'o', 'n', 'e')
#define kQ3GeometryTypeCylinder Q3_FOUR_CHARACTER_CONSTANT('c', 'y', 'l', 'n')
#define kQ3ShapeTypeLight Q3_FOUR_CHARACTER_CONSTANT('l', 'g', 'h', 't')
#define kQ3LightTypeAmbient Q3_FOUR_CHARACTER_CONSTANT('a', 'm', 'b', 'n')
#define kQ3LightTypeDirectional Q3_FOUR_CHARACTER_CONSTANT('d', 'r', 'c', 't')
#define kQ3LightTypePoint Q3_FOUR_CHARACTER_CONSTANT('p', 'n', 't', 'l')
#define kQ3ShapeTypeTransform Q3_FOUR_CHARACTER_CONSTANT('x', 'f', 'r', 'm')
#define kQ3TransformTypeMatrix Q3_FOUR_CHARACTER_CONSTANT('m', 't', 'r', 'x')
#define kQ3TransformTypeTranslate Q3_FOUR_CHARACTER_CONSTANT('t', 'r', 'n', 's')
#define kQ3TransformTypeScale Q3_FOUR_CHARACTER_CONSTANT('s', 'c', 'a', 'l')
#define kQ3TransformTypeRotate Q3_FOUR_CHARACTER_CONSTANT('r', 'o', 't', 't')
#define kQ3TransformTypeQuaternion Q3_FOUR_CHARACTER_CONSTANT('q', 't', 'r', 'n')
#define kQ3SharedTypeSet Q3_FOUR_CHARACTER_CONSTANT('s', 'e', 't', ' ')
#define kQ3SetTypeAttribute Q3_FOUR_CHARACTER_CONSTANT('a', 't', 't', 'r')
#define kQ3SharedTypeTexture Q3_FOUR_CHARACTER_CONSTANT('t', 'x', 't', 'r')
#define kQ3TextureTypePixmap Q3_FOUR_CHARACTER_CONSTANT('t', 'x', 'p', 'm')
#define kQ3TextureTypeMipmap Q3_FOUR_CHARACTER_CONSTANT('t', 'x', 'm', 'm')
#define kQ3SharedTypeStorage Q3_FOUR_CHARACTER_CONSTANT('s', 't', 'r', 'g')
#define kQ3StorageTypeMemory Q3_FOUR_CHARACTER_CONSTANT('m', 'e', 'm', 's')
#define kQ3SharedTypeFile Q3_FOUR_CHARACTER_CONSTANT('f', 'i', 'l', 'e')
#define kQ3SharedTypeRenderer Q3_FOUR_CHARACTER_CONSTANT('r', 'd', 'd', 'r')
#define kQ3RendererTypeInteractive Q3_FOUR_CHARACTER_CONSTANT('c', 't', 'w', 'n')
#define kQ3RendererTypeWireFrame Q3_FOUR_CHARACTER_CONSTANT('w', 'r', 'f', 'r')
#define kQ3SharedTypeDrawContext Q3_FOUR_CHARACTER_CONSTANT('d', 'c', 't', 'x')
#define kQ3DrawContextTypePixmap Q3_FOUR_CHARACTER_CONSTANT('d', 'p', 'x', 'p')
#define kQ3DrawContextTypeMacintosh Q3_FOUR_CHARACTER_CONSTANT('d', 'm', 'a', 'c')
#define kQ3SharedTypePick Q3_FOUR_CHARACTER_CONSTANT('p', 'i', 'c', 'k')
#define kQ3PickTypeWindowPoint Q3_FOUR_CHARACTER_CONSTANT('p', 'k', 'w', 'p')

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

typedef struct TQ3Quaternion {
    float w, x, y, z;
} TQ3Quaternion;

typedef struct TQ3Area {
    TQ3Point2D min; // left, top
    TQ3Point2D max; // right, bottom
} TQ3Area;

typedef struct TQ3BoundingBox {
    TQ3Point3D min;
    TQ3Point3D max;
    TQ3Boolean isEmpty;
} TQ3BoundingBox;

typedef struct TQ3BoundingSphere {
    TQ3Point3D origin;
    float radius;
    TQ3Boolean isEmpty;
} TQ3BoundingSphere;

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

// Enumerations --------------------------------------------------------------

typedef enum TQ3ViewStatus {
    kQ3ViewStatusDone = 0,
    kQ3ViewStatusRetraverse = 1,
    kQ3ViewStatusError = 2,
    kQ3ViewStatusCancelled = 3,
} TQ3ViewStatus;

typedef enum TQ3ComputeBounds { kQ3ComputeBoundsExact = 0, kQ3ComputeBoundsApproximate = 1 } TQ3ComputeBounds;

typedef enum TQ3InterpolationStyle {
    kQ3InterpolationStyleNone = 0,
    kQ3InterpolationStyleVertex = 1,
    kQ3InterpolationStylePixel = 2,
} TQ3InterpolationStyle;

// Both is what a view does before any backfacing style is submitted.
typedef enum TQ3BackfacingStyle {
    kQ3BackfacingStyleBoth = 0,
    kQ3BackfacingStyleRemove = 1,
    kQ3BackfacingStyleFlip = 2,
} TQ3BackfacingStyle;

typedef enum TQ3FillStyle { kQ3FillStyleFilled = 0, kQ3FillStyleEdges = 1, kQ3FillStylePoints = 2 } TQ3FillStyle;

typedef enum TQ3FogMode {
    kQ3FogModeLinear = 0,
    kQ3FogModeExponential = 1,
    kQ3FogModeExponentialSquared = 2,
    kQ3FogModeAlpha = 3,
} TQ3FogMode;

typedef enum TQ3DrawContextClearImageMethod {
    kQ3ClearMethodNone = 0,
    kQ3ClearMethodWithColor = 1,
} TQ3DrawContextClearImageMethod;

typedef enum TQ3PixelType {
    kQ3PixelTypeRGB32 = 0,
    kQ3PixelTypeARGB32 = 1,
    kQ3PixelTypeRGB16 = 2, // 1-5-5-5, the top bit unused
    kQ3PixelTypeARGB16 = 3, // 1-5-5-5, the top bit is alpha
    kQ3PixelTypeRGB16_565 = 4,
    kQ3PixelTypeRGB24 = 5,
} TQ3PixelType;

typedef enum TQ3Endian { kQ3EndianBig = 0, kQ3EndianLittle = 1 } TQ3Endian;

typedef enum TQ3AttenuationType {
    kQ3AttenuationTypeNone = 0,
    kQ3AttenuationTypeInverseDistance = 1,
    kQ3AttenuationTypeInverseDistanceSquared = 2,
} TQ3AttenuationType;

typedef enum TQ3PickSort { kQ3PickSortNone = 0, kQ3PickSortNearToFar = 1, kQ3PickSortFarToNear = 2 } TQ3PickSort;

typedef TQ3Uns32 TQ3PickDetail;
enum : TQ3PickDetail {
    kQ3PickDetailNone = 0,
    kQ3PickDetailMaskPickID = 1u << 0,
    kQ3PickDetailMaskXYZ = 1u << 4,
    kQ3PickDetailMaskDistance = 1u << 5,
};

typedef enum TQ3MacDrawContext2DLibrary { kQ3Mac2DLibraryNone = 0 } TQ3MacDrawContext2DLibrary;

typedef TQ3Uns32 TQ3FileMode;
enum : TQ3FileMode { kQ3FileModeNormal = 0, kQ3FileModeStream = 1, kQ3FileModeDatabase = 2, kQ3FileModeText = 4 };

typedef TQ3Uns32 TQ3AttributeType;
enum : TQ3AttributeType {
    kQ3AttributeTypeNone = 0,
    kQ3AttributeTypeSurfaceUV = 1, // TQ3Param2D
    kQ3AttributeTypeShadingUV = 2, // TQ3Param2D
    kQ3AttributeTypeNormal = 3, // TQ3Vector3D
    kQ3AttributeTypeAmbientCoefficient = 4, // float
    kQ3AttributeTypeDiffuseColor = 5, // TQ3ColorRGB
    kQ3AttributeTypeSpecularColor = 6, // TQ3ColorRGB
    kQ3AttributeTypeSpecularControl = 7, // float
    kQ3AttributeTypeTransparencyColor = 8, // TQ3ColorRGB
    kQ3AttributeTypeSurfaceTangent = 9, // two TQ3Vector3D
    kQ3AttributeTypeHighlightState = 10, // TQ3Switch
    kQ3AttributeTypeSurfaceShader = 11, // TQ3SurfaceShaderObject
};

// How a texture shader reads coordinates past 0 or 1 in u or v.
typedef TQ3Uns32 TQ3ShaderUVBoundary;
enum : TQ3ShaderUVBoundary { kQ3ShaderUVBoundaryWrap = 0, kQ3ShaderUVBoundaryClamp = 1 };

// Records -------------------------------------------------------------------

typedef struct TQ3Bitmap {
    uint8_t* image;
    TQ3Uns32 width;
    TQ3Uns32 height;
    TQ3Uns32 rowBytes;
    TQ3Endian bitOrder;
} TQ3Bitmap;

typedef struct TQ3DrawContextData {
    TQ3DrawContextClearImageMethod clearImageMethod;
    TQ3ColorARGB clearImageColor;
    TQ3Area pane;
    TQ3Boolean paneState;
    TQ3Bitmap mask;
    TQ3Boolean maskState;
    TQ3Boolean doubleBufferState;
} TQ3DrawContextData;

// A draw context on a window: the view renders into the window's port at the
// pane (in window coordinates) and then flushes that rectangle to the screen.
typedef struct TQ3MacDrawContextData {
    TQ3DrawContextData drawContextData;
    WindowRef window;
    TQ3MacDrawContext2DLibrary library;
    void* viewPort;
    CGrafPtr grafPort;
} TQ3MacDrawContextData;

typedef struct TQ3Pixmap {
    void* image;
    TQ3Uns32 width;
    TQ3Uns32 height;
    TQ3Uns32 rowBytes;
    TQ3Uns32 pixelSize;
    TQ3PixelType pixelType;
    TQ3Endian bitOrder;
    TQ3Endian byteOrder;
} TQ3Pixmap;

// A draw context on caller memory. The pixmap must be 32 bits per pixel,
// RGB32 or ARGB32, big-endian byte order: bytes X (or A), R, G, B.
typedef struct TQ3PixmapDrawContextData {
    TQ3DrawContextData drawContextData;
    TQ3Pixmap pixmap;
} TQ3PixmapDrawContextData;

typedef struct TQ3StoragePixmap {
    TQ3StorageObject image;
    TQ3Uns32 width;
    TQ3Uns32 height;
    TQ3Uns32 rowBytes;
    TQ3Uns32 pixelSize;
    TQ3PixelType pixelType;
    TQ3Endian bitOrder;
    TQ3Endian byteOrder;
} TQ3StoragePixmap;

typedef struct TQ3FogStyleData {
    TQ3Switch state;
    TQ3FogMode mode;
    float fogStart;
    float fogEnd;
    float density;
    TQ3ColorARGB color;
} TQ3FogStyleData;

typedef struct TQ3LightData {
    TQ3Boolean isOn;
    float brightness;
    TQ3ColorRGB color;
} TQ3LightData;

// `direction` is the way the light travels.
typedef struct TQ3DirectionalLightData {
    TQ3LightData lightData;
    TQ3Boolean castsShadows;
    TQ3Vector3D direction;
} TQ3DirectionalLightData;

typedef struct TQ3PointLightData {
    TQ3LightData lightData;
    TQ3Boolean castsShadows;
    TQ3AttenuationType attenuation;
    TQ3Point3D location;
} TQ3PointLightData;

typedef struct TQ3PickData {
    TQ3PickSort sort;
    TQ3PickDetail mask;
    TQ3Uns32 numHitsToReturn; // 0 keeps every hit
} TQ3PickData;

typedef struct TQ3WindowPointPickData {
    TQ3PickData data;
    TQ3Point2D point; // window coordinates
    float vertexTolerance;
    float edgeTolerance;
} TQ3WindowPointPickData;

typedef struct TQ3TriMeshTriangleData {
    TQ3Uns32 pointIndices[3];
} TQ3TriMeshTriangleData;

typedef struct TQ3TriMeshEdgeData {
    TQ3Uns32 pointIndices[2];
    TQ3Uns32 triangleIndices[2];
} TQ3TriMeshEdgeData;

// One attribute for every triangle, edge or vertex. `data` holds one element
// per item; `attributeUseArray` (may be null) one flag byte per item.
typedef struct TQ3TriMeshAttributeData {
    TQ3AttributeType attributeType;
    void* data;
    char* attributeUseArray;
} TQ3TriMeshAttributeData;

// Arrays are allocated with the Q3Memory functions, so that the library and
// its callers may free each other's.
typedef struct TQ3TriMeshData {
    TQ3AttributeSet triMeshAttributeSet;
    TQ3Uns32 numTriangles;
    TQ3TriMeshTriangleData* triangles;
    TQ3Uns32 numTriangleAttributeTypes;
    TQ3TriMeshAttributeData* triangleAttributeTypes;
    TQ3Uns32 numEdges;
    TQ3TriMeshEdgeData* edges;
    TQ3Uns32 numEdgeAttributeTypes;
    TQ3TriMeshAttributeData* edgeAttributeTypes;
    TQ3Uns32 numPoints;
    TQ3Point3D* points;
    TQ3Uns32 numVertexAttributeTypes;
    TQ3TriMeshAttributeData* vertexAttributeTypes;
    TQ3BoundingBox bBox;
} TQ3TriMeshData;

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
// How many of them are of the type (or of a subtype of it).
TQ3Uns32 Q3Object_LiveCountOfType(TQ3ObjectType type);

// For callers' tests ------------------------------------------------------

// How often Q3Initialize has run in this process. Initialising again does no
// harm here, so only this shows a caller that initialises more than once.
TQ3Uns32 Q3Debug_InitializeCount(void);

// Until called again (0 refuses nothing), the creators of views, cameras,
// renderers and illumination shaders return null with kQ3ErrorOutOfMemory
// for objects of this type or its subtypes, as when memory runs out.
void Q3Debug_RefuseNew(TQ3ObjectType type);

// How many times the last bounding sphere search tested a point against a
// sphere: the work its budget bounds.
TQ3Uns32 Q3Debug_LastSphereTests(void);
// Until called again (0 restores the library's own), the sphere search may
// test each point this many times, and 10,000 times more in all, before it
// settles for widening the sphere it reached to hold every point.
void Q3Debug_SetSphereTestsPerPoint(TQ3Uns32 tests);

// Until called again (0 restores the library's own), a frame holds at most
// this many triangles of each kind, opaque and less than opaque, before it
// draws them.
void Q3Debug_SetTrianglesHeld(TQ3Uns32 triangles);
// The most triangles of one kind that the last frame to end held at once.
TQ3Uns32 Q3Debug_PeakTrianglesHeld(void);

// Where the next read of an open model file starts, in bytes from the start
// of its data; 0 for a file that is not open. A read loop sees by it that
// each read moves on.
TQ3Uns32 Q3Debug_FilePosition(TQ3FileObject file);

// How many objects a view would visit submitting every object read so far
// from an open model file (a group counts itself and what its members count,
// as often as it is held); 0 for a file that is not open.
TQ3Uns32 Q3Debug_FileVisits(TQ3FileObject file);
// Until called again (0 restores the library's own), a model file whose
// objects would make a view visit more than this many objects is malformed.
void Q3Debug_SetFileVisitLimit(TQ3Uns32 limit);

// How many groups checks that a display group would not contain itself if
// it took in an object have looked into since the last call, which starts
// the count again.
TQ3Uns32 Q3Debug_CycleCheckVisits(void);
// How many members finding a group's positions has looked at since the last
// call, which starts the count again.
TQ3Uns32 Q3Debug_GroupPositionSteps(void);
// The most deletions under way inside one another since the last call,
// which starts the count again: 1 when each object freed is deleted after
// the one that freed it, however deep the structure released.
TQ3Uns32 Q3Debug_DeepestDeletion(void);

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

// Illumination shaders ----------------------------------------------------

TQ3ShaderObject Q3PhongIllumination_New(void);
TQ3ShaderObject Q3NULLIllumination_New(void);

// Draw contexts -------------------------------------------------------------

TQ3DrawContextObject Q3PixmapDrawContext_New(const TQ3PixmapDrawContextData* data);
TQ3DrawContextObject Q3MacDrawContext_New(const TQ3MacDrawContextData* data);
TQ3Status Q3DrawContext_SetClearImageColor(TQ3DrawContextObject context, const TQ3ColorARGB* color);

// Views, continued ----------------------------------------------------------

// Every setter keeps its own reference; every getter returns a new one.
TQ3Status Q3View_SetDrawContext(TQ3ViewObject view, TQ3DrawContextObject context);
TQ3Status Q3View_GetDrawContext(TQ3ViewObject view, TQ3DrawContextObject* context);
TQ3Status Q3View_SetRenderer(TQ3ViewObject view, TQ3RendererObject renderer);
TQ3Status Q3View_SetLightGroup(TQ3ViewObject view, TQ3GroupObject lightGroup);
TQ3Status Q3View_GetLightGroup(TQ3ViewObject view, TQ3GroupObject* lightGroup);

// The three loops. Each Start resets the view's state; what is submitted
// until the matching End is drawn, picked or bounded. End answers
// kQ3ViewStatusRetraverse when the caller must submit everything again.
TQ3Status Q3View_StartRendering(TQ3ViewObject view);
TQ3ViewStatus Q3View_EndRendering(TQ3ViewObject view);
TQ3Status Q3View_StartPicking(TQ3ViewObject view, TQ3PickObject pick);
TQ3ViewStatus Q3View_EndPicking(TQ3ViewObject view);
// Bounds are in world coordinates; the view needs no camera or draw context.
TQ3Status Q3View_StartBoundingBox(TQ3ViewObject view, TQ3ComputeBounds computeBounds);
TQ3ViewStatus Q3View_EndBoundingBox(TQ3ViewObject view, TQ3BoundingBox* result);
TQ3Status Q3View_StartBoundingSphere(TQ3ViewObject view, TQ3ComputeBounds computeBounds);
TQ3ViewStatus Q3View_EndBoundingSphere(TQ3ViewObject view, TQ3BoundingSphere* result);
// Whether geometry inside `box`, in the coordinates of the transforms in
// force, may show in the loop that is running, so that a caller may skip
// submitting what cannot. Only picking answers kQ3False, for a box that holds
// no point or that the pick's ray clearly passes by; every other loop may
// show anything. kQ3False too for a null view or box.
TQ3Boolean Q3View_IsBoundingBoxVisible(TQ3ViewObject view, const TQ3BoundingBox* box);

// Cameras, continued --------------------------------------------------------

// World to frustum with row vectors: x and y in [-1, 1], z from 0 at hither
// to -1 at yon after the divide by w. A camera with yon <= hither or a
// non-positive field of view has an empty frustum: the matrix maps
// everything outside the box, so nothing is drawn or picked.
TQ3Status Q3Camera_GetWorldToFrustum(TQ3CameraObject camera, TQ3Matrix4x4* worldToFrustum);

// Renderers -----------------------------------------------------------------

TQ3RendererObject Q3Renderer_NewFromType(TQ3ObjectType rendererType);

// Lights --------------------------------------------------------------------

TQ3LightObject Q3AmbientLight_New(const TQ3LightData* data);
TQ3LightObject Q3DirectionalLight_New(const TQ3DirectionalLightData* data);
TQ3LightObject Q3PointLight_New(const TQ3PointLightData* data);
TQ3Status Q3Light_SetBrightness(TQ3LightObject light, float brightness);
TQ3Status Q3Light_SetState(TQ3LightObject light, TQ3Boolean isOn);
TQ3Status Q3Light_SetColor(TQ3LightObject light, const TQ3ColorRGB* color);
TQ3Status Q3Light_GetData(TQ3LightObject light, TQ3LightData* data);
TQ3Status Q3DirectionalLight_SetDirection(TQ3LightObject light, const TQ3Vector3D* direction);
TQ3Status Q3DirectionalLight_GetDirection(TQ3LightObject light, TQ3Vector3D* direction);
TQ3Status Q3PointLight_SetLocation(TQ3LightObject light, const TQ3Point3D* location);
TQ3Status Q3PointLight_SetAttenuation(TQ3LightObject light, TQ3AttenuationType attenuation);

// Groups --------------------------------------------------------------------

TQ3GroupObject Q3LightGroup_New(void);
TQ3GroupObject Q3DisplayGroup_New(void);
// Submits the members in order inside an implicit push and pop.
TQ3Status Q3DisplayGroup_Submit(TQ3GroupObject group, TQ3ViewObject view);
// Appends; the group keeps its own reference. A light group takes lights only.
TQ3GroupPosition Q3Group_AddObject(TQ3GroupObject group, TQ3Object object);
TQ3Status Q3Group_GetFirstPosition(TQ3GroupObject group, TQ3GroupPosition* position);
TQ3Status Q3Group_GetNextPosition(TQ3GroupObject group, TQ3GroupPosition* position);
TQ3Status Q3Group_GetPositionObject(TQ3GroupObject group, TQ3GroupPosition position, TQ3Object* object);
// Null stores an empty member, which submission skips.
TQ3Status Q3Group_SetPositionObject(TQ3GroupObject group, TQ3GroupPosition position, TQ3Object object);
// Hands the member's reference to the caller.
TQ3Object Q3Group_RemovePosition(TQ3GroupObject group, TQ3GroupPosition position);

// Submitting ----------------------------------------------------------------

// Submits a retained object; objects that are not drawn (cameras, lights) are ignored.
TQ3Status Q3Object_Submit(TQ3Object object, TQ3ViewObject view);
TQ3Status Q3Shader_Submit(TQ3ShaderObject shader, TQ3ViewObject view);
TQ3Status Q3Push_Submit(TQ3ViewObject view);
TQ3Status Q3Pop_Submit(TQ3ViewObject view);
TQ3Status Q3InterpolationStyle_Submit(TQ3InterpolationStyle style, TQ3ViewObject view);
TQ3Status Q3BackfacingStyle_Submit(TQ3BackfacingStyle style, TQ3ViewObject view);
TQ3Status Q3FillStyle_Submit(TQ3FillStyle style, TQ3ViewObject view);
TQ3Status Q3FogStyle_Submit(const TQ3FogStyleData* data, TQ3ViewObject view);
TQ3Status Q3PickIDStyle_Submit(TQ3Uns32 id, TQ3ViewObject view);
// Each transform applies to the geometry before those already in force.
TQ3Status Q3TranslateTransform_Submit(const TQ3Vector3D* translate, TQ3ViewObject view);
TQ3Status Q3ScaleTransform_Submit(const TQ3Vector3D* scale, TQ3ViewObject view);
TQ3Status Q3QuaternionTransform_Submit(const TQ3Quaternion* quaternion, TQ3ViewObject view);

// Shaders and textures ------------------------------------------------------

// A new shader wraps the texture in u and v (a model file may ask it to
// clamp); v = 1 is the texture's top row.
TQ3ShaderObject Q3TextureShader_New(TQ3TextureObject texture);
TQ3Status Q3TextureShader_GetTexture(TQ3ShaderObject shader, TQ3TextureObject* texture);
TQ3TextureObject Q3PixmapTexture_New(const TQ3StoragePixmap* pixmap);
TQ3Status Q3PixmapTexture_GetPixmap(TQ3TextureObject texture, TQ3StoragePixmap* pixmap);
TQ3ObjectType Q3Texture_GetType(TQ3TextureObject texture);
TQ3Status Q3Texture_GetWidth(TQ3TextureObject texture, TQ3Uns32* width);
TQ3Status Q3Texture_GetHeight(TQ3TextureObject texture, TQ3Uns32* height);

// Attribute sets ------------------------------------------------------------

TQ3AttributeSet Q3AttributeSet_New(void);
// Adds or replaces. For the surface shader, `data` points at the shader
// handle and the set keeps its own reference.
TQ3Status Q3AttributeSet_Add(TQ3AttributeSet set, TQ3AttributeType type, const void* data);
// Copies the value out; a surface shader comes back as a new reference.
TQ3Status Q3AttributeSet_Get(TQ3AttributeSet set, TQ3AttributeType type, void* data);
TQ3Boolean Q3AttributeSet_Contains(TQ3AttributeSet set, TQ3AttributeType type);
TQ3Status Q3AttributeSet_Clear(TQ3AttributeSet set, TQ3AttributeType type);
// The bytes of one value of an attribute type; 0 for the surface shader,
// which is an object, and for types the library does not know.
TQ3Uns32 Q3Attribute_GetDataSize(TQ3AttributeType type);

// Geometry ------------------------------------------------------------------

TQ3Status Q3Geometry_GetAttributeSet(TQ3GeometryObject geometry, TQ3AttributeSet* set);
TQ3Status Q3Geometry_SetAttributeSet(TQ3GeometryObject geometry, TQ3AttributeSet set);

// The mesh copies every array and keeps a reference to each attribute set.
// Attribute arrays of types the library does not know are left out.
TQ3GeometryObject Q3TriMesh_New(const TQ3TriMeshData* data);
// Draws, picks or bounds straight from the caller's record.
TQ3Status Q3TriMesh_Submit(const TQ3TriMeshData* data, TQ3ViewObject view);
TQ3Status Q3TriMesh_GetData(TQ3GeometryObject mesh, TQ3TriMeshData* data);
TQ3Status Q3TriMesh_EmptyData(TQ3TriMeshData* data);

// Boxes (faces 0 to 5), cones and cylinders come from model files.
TQ3Status Q3Box_GetFaceAttributeSet(TQ3GeometryObject box, TQ3Uns32 face, TQ3AttributeSet* set);
TQ3Status Q3Box_SetFaceAttributeSet(TQ3GeometryObject box, TQ3Uns32 face, TQ3AttributeSet set);
TQ3Status Q3Cone_GetFaceAttributeSet(TQ3GeometryObject cone, TQ3AttributeSet* set);
TQ3Status Q3Cone_SetFaceAttributeSet(TQ3GeometryObject cone, TQ3AttributeSet set);
TQ3Status Q3Cone_GetBottomAttributeSet(TQ3GeometryObject cone, TQ3AttributeSet* set);
TQ3Status Q3Cone_SetBottomAttributeSet(TQ3GeometryObject cone, TQ3AttributeSet set);
TQ3Status Q3Cylinder_GetFaceAttributeSet(TQ3GeometryObject cylinder, TQ3AttributeSet* set);
TQ3Status Q3Cylinder_SetFaceAttributeSet(TQ3GeometryObject cylinder, TQ3AttributeSet set);
TQ3Status Q3Cylinder_GetBottomAttributeSet(TQ3GeometryObject cylinder, TQ3AttributeSet* set);
TQ3Status Q3Cylinder_SetBottomAttributeSet(TQ3GeometryObject cylinder, TQ3AttributeSet set);
TQ3Status Q3Cylinder_GetTopAttributeSet(TQ3GeometryObject cylinder, TQ3AttributeSet* set);
TQ3Status Q3Cylinder_SetTopAttributeSet(TQ3GeometryObject cylinder, TQ3AttributeSet set);

// Picking -------------------------------------------------------------------

TQ3PickObject Q3WindowPointPick_New(const TQ3WindowPointPickData* data);
TQ3Status Q3Pick_GetNumHits(TQ3PickObject pick, TQ3Uns32* count);
TQ3Status Q3Pick_GetPickDetailValidMask(TQ3PickObject pick, TQ3Uns32 index, TQ3PickDetail* mask);
// The pick ID is a TQ3Uns32, the XYZ a world TQ3Point3D, the distance a float.
TQ3Status Q3Pick_GetPickDetailData(TQ3PickObject pick, TQ3Uns32 index, TQ3PickDetail detail, void* data);
TQ3Status Q3Pick_EmptyHitList(TQ3PickObject pick);

// Memory --------------------------------------------------------------------

// Zero-filled; null on failure or for size 0.
void* Q3Memory_AllocateClear(TQ3Uns32 size);
// On failure the block and the pointer stay as they were.
TQ3Status Q3Memory_Reallocate_(void** pointer, TQ3Uns32 newSize);
void Q3Memory_Free_(void** pointer);

// Storage and files ---------------------------------------------------------

// Copies the bytes.
TQ3StorageObject Q3MemoryStorage_New(const unsigned char* bytes, TQ3Uns32 size);
// Reads the caller's bytes in place; they must outlive the storage.
TQ3StorageObject Q3MemoryStorage_NewBuffer(unsigned char* bytes, TQ3Uns32 validSize, TQ3Uns32 bufferSize);
TQ3Status Q3Storage_GetSize(TQ3StorageObject storage, TQ3Uns32* size);
TQ3Status Q3Storage_GetData(
    TQ3StorageObject storage, TQ3Uns32 offset, TQ3Uns32 size, unsigned char* data, TQ3Uns32* sizeRead);

TQ3FileObject Q3File_New(void);
TQ3Status Q3File_SetStorage(TQ3FileObject file, TQ3StorageObject storage);
// Recognises binary and text model files.
TQ3Status Q3File_OpenRead(TQ3FileObject file, TQ3FileMode* mode);
// True once no further object can be read, after the end or after bad data.
TQ3Boolean Q3File_IsEndOfFile(TQ3FileObject file);
// The next top-level object with one reference, or null for one that is
// unknown or unreadable.
TQ3Object Q3File_ReadObject(TQ3FileObject file);
TQ3Status Q3File_Close(TQ3FileObject file);

// Mathematics ---------------------------------------------------------------
// These need no Q3Initialize. Results may alias operands.

// Length 1 for every finite non-zero vector, however long or short; zero
// stays zero.
TQ3Vector3D* Q3Vector3D_Normalize(const TQ3Vector3D* vector, TQ3Vector3D* result);
float Q3Vector3D_Length(const TQ3Vector3D* vector);
// Rotated by the rotation the quaternion stands for, at whatever length, as
// a quaternion transform draws it; a zero quaternion leaves it unchanged.
TQ3Vector3D* Q3Vector3D_TransformQuaternion(
    const TQ3Vector3D* vector, const TQ3Quaternion* quaternion, TQ3Vector3D* result);
TQ3Point3D* Q3Point3D_TransformQuaternion(const TQ3Point3D* point, const TQ3Quaternion* quaternion, TQ3Point3D* result);
TQ3Vector3D* Q3Point3D_Subtract(const TQ3Point3D* p1, const TQ3Point3D* p2, TQ3Vector3D* result);
TQ3Point3D* Q3Point3D_Vector3D_Add(const TQ3Point3D* point, const TQ3Vector3D* vector, TQ3Point3D* result);
float Q3Point3D_Distance(const TQ3Point3D* p1, const TQ3Point3D* p2);
float Q3Point3D_DistanceSquared(const TQ3Point3D* p1, const TQ3Point3D* p2);
// (b - a) x (c - a).
TQ3Vector3D* Q3Point3D_CrossProductTri(
    const TQ3Point3D* a, const TQ3Point3D* b, const TQ3Point3D* c, TQ3Vector3D* result);
// p * M with the divide by w.
TQ3Point3D* Q3Point3D_Transform(const TQ3Point3D* point, const TQ3Matrix4x4* matrix, TQ3Point3D* result);
// Null, and the result untouched, for a singular matrix.
TQ3Matrix4x4* Q3Matrix4x4_Invert(const TQ3Matrix4x4* matrix, TQ3Matrix4x4* result);
TQ3Quaternion* Q3Quaternion_SetRotateAboutAxis(TQ3Quaternion* result, const TQ3Vector3D* axis, float angle);
// "First, then second": the rotation that applies `first` and then `second`.
TQ3Quaternion* Q3Quaternion_Multiply(const TQ3Quaternion* first, const TQ3Quaternion* second, TQ3Quaternion* result);
TQ3Quaternion* Q3Quaternion_Normalize(const TQ3Quaternion* quaternion, TQ3Quaternion* result);
TQ3Quaternion* Q3Quaternion_Invert(const TQ3Quaternion* quaternion, TQ3Quaternion* result); // zero stays zero
TQ3Quaternion* Q3Quaternion_MatchReflection(const TQ3Quaternion* q1, const TQ3Quaternion* q2, TQ3Quaternion* result);
// Normalised linear interpolation: 0 gives q1, 1 gives q2.
TQ3Quaternion* Q3Quaternion_InterpolateLinear(
    const TQ3Quaternion* q1, const TQ3Quaternion* q2, float t, TQ3Quaternion* result);
// Points with a coordinate that is infinite or not a number are left out;
// the box is empty when none is left.
TQ3BoundingBox* Q3BoundingBox_SetFromPoints3D(
    TQ3BoundingBox* box, const TQ3Point3D* points, TQ3Uns32 count, TQ3Uns32 stride);
}
