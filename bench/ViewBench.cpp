// Renders and picks the game-like synthetic scene through the library's
// public interface, the way the game's 3D layer does: retained textures,
// shaders, lights and camera, a pixmap draw context at 512 × 512, and every
// frame and pick a loop of styles and elements (push, translate, rotate,
// scale, pick ID, tri-mesh record, pop). The globe is cut into 26 pieces, as
// the game's is. The rasteriser's own frame of the same scene runs first, so
// that the view's overhead can be read off.

#include "SceneBench.h"

#include <q3/Q3.h>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

using namespace q3::render;

namespace {

constexpr int Size = SyntheticScene::Size;
constexpr int GlobePieces = 26;
constexpr int PickGrid = 10; // 10 × 10 picks spread over the view
constexpr float PieceScale = 2;
constexpr float PieceTurn = 0.35f; // radians, a different turn for each piece
constexpr TQ3Uns32 BackdropID = 1000;
constexpr float PickTolerance = 2; // pixels, as the game asks
constexpr float SurfaceTolerance = 0.5f; // world units a globe hit may lie outside the sphere
constexpr float ChordDepth = 0.99f; // how far inside it, as a share of the radius, flat triangles reach
constexpr TQ3ColorARGB ClearColor { 1, 0.55f, 0.7f, 0.95f };

// One element as the game submits it: a tri-mesh record in the element's own
// coordinates, placed by a translation, a rotation and a scale.
struct Element {
    TQ3Vector3D position { 0, 0, 0 };
    TQ3Quaternion orientation { 1, 0, 0, 0 };
    TQ3Vector3D scale { 1, 1, 1 };
    TQ3Uns32 pickID { 0 };
    bool nullShader { false };
    SyntheticMesh local {};
    std::vector<TQ3TriMeshAttributeData> vertexAttributes {};
    TQ3TriMeshData data {};
};

// The element whose transforms put `world` back where it is.
std::unique_ptr<Element> MakeElement(
    const SyntheticMesh& world, TQ3Vector3D position, TQ3Quaternion orientation, float scale, TQ3AttributeSet material)
{
    auto element = std::make_unique<Element>();
    element->position = position;
    element->orientation = orientation;
    element->scale = { scale, scale, scale };
    TQ3Quaternion inverse {};
    Q3Quaternion_Invert(&orientation, &inverse);
    SyntheticMesh& local = element->local;
    local = world;
    for (TQ3Point3D& point : local.points) {
        TQ3Point3D moved { (point.x - position.x) / scale, (point.y - position.y) / scale,
            (point.z - position.z) / scale };
        Q3Point3D_TransformQuaternion(&moved, &inverse, &point);
    }
    for (TQ3Vector3D& normal : local.normals)
        Q3Vector3D_TransformQuaternion(&normal, &inverse, &normal);
    if (!local.uvs.empty())
        element->vertexAttributes.push_back({ kQ3AttributeTypeSurfaceUV, local.uvs.data(), nullptr });
    if (!local.normals.empty())
        element->vertexAttributes.push_back({ kQ3AttributeTypeNormal, local.normals.data(), nullptr });
    TQ3TriMeshData& data = element->data;
    data.triMeshAttributeSet = material;
    data.numTriangles = TQ3Uns32(local.triangles.size());
    data.triangles = reinterpret_cast<TQ3TriMeshTriangleData*>(local.triangles.data());
    data.numPoints = TQ3Uns32(local.points.size());
    data.points = local.points.data();
    data.numVertexAttributeTypes = TQ3Uns32(element->vertexAttributes.size());
    data.vertexAttributeTypes = element->vertexAttributes.data();
    return element;
}

TQ3Point3D Centre(const std::vector<TQ3Point3D>& points)
{
    TQ3Point3D sum { 0, 0, 0 };
    for (const TQ3Point3D& point : points)
        sum = { sum.x + point.x, sum.y + point.y, sum.z + point.z };
    const float count = float(std::max<size_t>(points.size(), 1));
    return { sum.x / count, sum.y / count, sum.z / count };
}

struct PickResult {
    bool hit { false };
    TQ3Uns32 pickID { 0 };
    TQ3Point3D xyz { 0, 0, 0 };
};

// The scene as library objects, with the view that renders and picks it.
class ViewScene {
public:
    ViewScene()
    {
        Q3Initialize();
        const SyntheticScene& scene = Scene();
        mGlobeMaterial = TexturedAttributes(scene.globeTexels, scene.globeWidth, scene.globeHeight);
        mBackdropMaterial = TexturedAttributes(scene.backdropTexels, scene.backdropWidth, scene.backdropHeight);
        mBackdrop = MakeElement(scene.backdrop, { 0, 0, 0 }, { 1, 0, 0, 0 }, 1, mBackdropMaterial);
        mBackdrop->pickID = BackdropID;
        mBackdrop->nullShader = true;
        const std::vector<SyntheticMesh> pieces = SplitMesh(scene.globe, GlobePieces);
        for (size_t index = 0; index < pieces.size(); ++index) {
            const TQ3Point3D centre = Centre(pieces[index].points);
            const TQ3Vector3D axis { 0.6f, 0.8f, 0 };
            TQ3Quaternion orientation {};
            Q3Quaternion_SetRotateAboutAxis(&orientation, &axis, PieceTurn * float(index));
            mPieces.push_back(
                MakeElement(pieces[index], { centre.x, centre.y, centre.z }, orientation, PieceScale, mGlobeMaterial));
            mPieces.back()->pickID = TQ3Uns32(index + 1);
        }
        mPhong = Q3PhongIllumination_New();
        mNull = Q3NULLIllumination_New();
        mView = MakeView();
    }

    ~ViewScene()
    {
        for (TQ3Object object : { mView, mPhong, mNull, mGlobeMaterial, mBackdropMaterial })
            Q3Object_Dispose(object);
    }

    ViewScene(const ViewScene&) = delete;
    ViewScene& operator=(const ViewScene&) = delete;

    const std::vector<uint8_t>& Pixels() const { return mPixels; }

    bool Frame()
    {
        if (Q3View_StartRendering(mView) != kQ3Success)
            return false;
        TQ3ViewStatus status = kQ3ViewStatusRetraverse;
        for (int pass = 0; pass < MaxPasses && status == kQ3ViewStatusRetraverse; ++pass) {
            Q3InterpolationStyle_Submit(kQ3InterpolationStyleVertex, mView);
            Q3BackfacingStyle_Submit(kQ3BackfacingStyleRemove, mView);
            Q3FillStyle_Submit(kQ3FillStyleFilled, mView);
            Submit(*mBackdrop);
            Q3Shader_Submit(mPhong, mView);
            for (const auto& piece : mPieces)
                Submit(*piece);
            status = Q3View_EndRendering(mView);
        }
        return status == kQ3ViewStatusDone;
    }

    PickResult Pick(TQ3Point2D point)
    {
        TQ3WindowPointPickData data {};
        data.data = { kQ3PickSortNearToFar, kQ3PickDetailMaskPickID | kQ3PickDetailMaskXYZ, 1 };
        data.point = point;
        data.vertexTolerance = data.edgeTolerance = PickTolerance;
        TQ3PickObject pick = Q3WindowPointPick_New(&data);
        PickResult result;
        if (Q3View_StartPicking(mView, pick) == kQ3Success) {
            TQ3ViewStatus status = kQ3ViewStatusRetraverse;
            for (int pass = 0; pass < MaxPasses && status == kQ3ViewStatusRetraverse; ++pass) {
                Q3BackfacingStyle_Submit(kQ3BackfacingStyleRemove, mView);
                Submit(*mBackdrop);
                for (const auto& piece : mPieces)
                    Submit(*piece);
                status = Q3View_EndPicking(mView);
            }
            TQ3Uns32 hits = 0;
            TQ3PickDetail mask = kQ3PickDetailNone;
            constexpr TQ3PickDetail wanted = kQ3PickDetailMaskPickID | kQ3PickDetailMaskXYZ;
            if (Q3Pick_GetNumHits(pick, &hits) == kQ3Success && hits > 0
                && Q3Pick_GetPickDetailValidMask(pick, 0, &mask) == kQ3Success && (mask & wanted) == wanted) {
                Q3Pick_GetPickDetailData(pick, 0, kQ3PickDetailMaskPickID, &result.pickID);
                Q3Pick_GetPickDetailData(pick, 0, kQ3PickDetailMaskXYZ, &result.xyz);
                result.hit = true;
            }
            Q3Pick_EmptyHitList(pick);
        }
        Q3Object_Dispose(pick);
        return result;
    }

private:
    static constexpr int MaxPasses = 100;

    TQ3ViewObject MakeView()
    {
        const SyntheticScene& scene = Scene();
        mPixels.assign(size_t(Size) * Size * 4, 0);
        TQ3PixmapDrawContextData contextData {};
        contextData.drawContextData.clearImageMethod = kQ3ClearMethodWithColor;
        contextData.drawContextData.clearImageColor = ClearColor;
        contextData.pixmap
            = { mPixels.data(), Size, Size, Size * 4, 32, kQ3PixelTypeRGB32, kQ3EndianLittle, kQ3EndianBig };
        TQ3DrawContextObject context = Q3PixmapDrawContext_New(&contextData);

        TQ3ViewAngleAspectCameraData cameraData {};
        cameraData.cameraData.placement = { scene.eye, { 0, 0, 0 }, { 0, 1, 0 } };
        cameraData.cameraData.range = { SyntheticScene::Hither, SyntheticScene::Yon };
        cameraData.cameraData.viewPort = { { -1, 1 }, 2, 2 };
        cameraData.fov = SyntheticScene::FieldOfView;
        cameraData.aspectRatioXToY = 1;
        TQ3CameraObject camera = Q3ViewAngleAspectCamera_New(&cameraData);

        TQ3GroupObject lights = Q3LightGroup_New();
        const Light& ambientLight = scene.lights[0];
        const Light& pointLight = scene.lights[1];
        const TQ3LightData ambientData { kQ3True, ambientLight.brightness, ambientLight.color };
        const TQ3PointLightData pointData { { kQ3True, pointLight.brightness, pointLight.color }, kQ3False,
            kQ3AttenuationTypeNone, pointLight.location };
        for (TQ3LightObject light : { Q3AmbientLight_New(&ambientData), Q3PointLight_New(&pointData) }) {
            Q3Group_AddObject(lights, light);
            Q3Object_Dispose(light);
        }

        TQ3RendererObject renderer = Q3Renderer_NewFromType(kQ3RendererTypeInteractive);
        TQ3ViewObject view = Q3View_New();
        Q3View_SetDrawContext(view, context);
        Q3View_SetCamera(view, camera);
        Q3View_SetRenderer(view, renderer);
        Q3View_SetLightGroup(view, lights);
        for (TQ3Object object : { context, camera, lights, renderer })
            Q3Object_Dispose(object);
        return view;
    }

    void Submit(Element& element)
    {
        Q3Push_Submit(mView);
        Q3TranslateTransform_Submit(&element.position, mView);
        Q3QuaternionTransform_Submit(&element.orientation, mView);
        Q3ScaleTransform_Submit(&element.scale, mView);
        Q3PickIDStyle_Submit(element.pickID, mView);
        if (element.nullShader)
            Q3Shader_Submit(mNull, mView);
        // The game's mesh bounds its points each time it is drawn.
        Q3BoundingBox_SetFromPoints3D(
            &element.data.bBox, element.data.points, element.data.numPoints, sizeof(TQ3Point3D));
        Q3TriMesh_Submit(&element.data, mView);
        Q3Pop_Submit(mView);
    }

    std::vector<uint8_t> mPixels {};
    TQ3AttributeSet mGlobeMaterial { nullptr };
    TQ3AttributeSet mBackdropMaterial { nullptr };
    std::unique_ptr<Element> mBackdrop {};
    std::vector<std::unique_ptr<Element>> mPieces {};
    TQ3ShaderObject mPhong { nullptr };
    TQ3ShaderObject mNull { nullptr };
    TQ3ViewObject mView { nullptr };
};

// Pixel centres of a grid spread evenly over the view.
std::vector<TQ3Point2D> PickPoints()
{
    std::vector<TQ3Point2D> points;
    const float step = float(Size) / PickGrid;
    for (int row = 0; row < PickGrid; ++row) {
        for (int column = 0; column < PickGrid; ++column)
            points.push_back({ std::floor(step * (float(column) + 0.5f)), std::floor(step * (float(row) + 0.5f)) });
    }
    return points;
}

BENCHMARK(DeviceFrame)->Unit(benchmark::kMillisecond)->Repetitions(Repetitions)->ReportAggregatesOnly(true);

void ViewFrame(benchmark::State& state)
{
    ViewScene scene;
    for (auto _ : state) {
        if (!scene.Frame()) {
            state.SkipWithError("the rendering loop failed");
            break;
        }
        benchmark::DoNotOptimize(scene.Pixels().data());
    }
}
BENCHMARK(ViewFrame)->Unit(benchmark::kMillisecond)->Repetitions(Repetitions)->ReportAggregatesOnly(true);

// Every pick must find the globe's surface or the backdrop, nothing else.
bool PicksAreSound(ViewScene& scene, const std::vector<TQ3Point2D>& points, int& globeHits)
{
    const TQ3Point3D origin { 0, 0, 0 };
    const float radius = Q3Point3D_Distance(&Scene().globe.points[0], &origin);
    globeHits = 0;
    for (TQ3Point2D point : points) {
        const PickResult result = scene.Pick(point);
        if (!result.hit)
            return false;
        if (result.pickID == BackdropID)
            continue;
        const float distance = Q3Point3D_Distance(&result.xyz, &origin);
        if (result.pickID < 1 || result.pickID > GlobePieces || distance > radius + SurfaceTolerance
            || distance < radius * ChordDepth || result.xyz.z <= 0)
            return false;
        ++globeHits;
    }
    return true;
}

void ViewPick(benchmark::State& state)
{
    ViewScene scene;
    const std::vector<TQ3Point2D> points = PickPoints();
    int globeHits = 0;
    if (!PicksAreSound(scene, points, globeHits)) {
        state.SkipWithError("a pick found the wrong thing");
        return;
    }
    size_t next = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(scene.Pick(points[next]));
        next = (next + 1) % points.size();
    }
    state.counters["globe_hits"] = globeHits;
}
BENCHMARK(ViewPick)->Unit(benchmark::kMicrosecond)->Repetitions(Repetitions)->ReportAggregatesOnly(true);

}

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    MedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const double device = reporter.medians["DeviceFrame"], view = reporter.medians["ViewFrame"];
    const double pick = reporter.medians["ViewPick"];
    if (device > 0)
        std::printf("Rasteriser alone: %.3f ms per frame (median)\n", device);
    if (view > 0)
        std::printf("Through the view: %.3f ms per frame (median)\n", view);
    if (device > 0 && view > 0)
        std::printf("View/rasteriser = %.2f\n", view / device);
    if (pick > 0)
        std::printf("Pick through the view: %.1f µs per pick (median of %d points)\n", pick, PickGrid * PickGrid);
    benchmark::Shutdown();
    return 0;
}
