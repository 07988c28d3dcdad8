#include "Lx3DView.h"
#include "Trimesh.h"

#include <lxframework/Graphics.h>

#include <cmath>
#include <numbers>

namespace {

const char* const FindObjectName = "Lx3DSpace.FindObject(X as Integer, Y as Integer) as Object3D";
const char* const FindPointName = "Lx3DSpace.FindPoint(X as Integer, Y as Integer) as Vector3D";
const char* const PictureName = "Lx3DSpace.GetPicture as Picture";
const char* const SizedPictureName
    = "Lx3DSpace.GetPicture(width as Integer, height as Integer, depth as Integer) as Picture";

class ViewPick : public ViewFixture {
protected:
    ObjectRef FindObject(int x, int y) { return InvokeObject(FindObjectName, view.Get(), x, y); }
    ObjectRef FindPoint(int x, int y) { return InvokeObject(FindPointName, view.Get(), x, y); }

    lx::Ref<lx::Picture> Picture(int width, int height, int depth)
    {
        return lx::Cast<lx::Picture>(InvokeObject(SizedPictureName, view.Get(), width, height, depth));
    }
};

struct MouseLog {
    std::vector<std::string> events;
    void Note(const char* name, int32_t x, int32_t y)
    {
        events.push_back(std::string(name) + " " + std::to_string(x) + "," + std::to_string(y));
    }
};

float Inside(const lx3d::FrustumPlane& plane, TQ3Point3D p)
{
    return plane.a * p.x + plane.b * p.y + plane.c * p.z + plane.d;
}

}

TEST_F(ViewPick, FindObjectReturnsTheElementUnderThePointAsItself)
{
    OpenGameScene();
    ObjectRef quad = Quad(200, { 0, 0, 0 }, "TestTrimesh");
    AddToScene(quad.Get());
    const int32_t references = quad->ReferenceCount();
    ObjectRef found = FindObject(256, 256);
    ASSERT_EQ(found, quad);
    EXPECT_EQ(quad->ReferenceCount(), references + 1);
    EXPECT_EQ(lx::Cast<TestTrimesh>(found)->marker, 9);
    ExpectNear(Read(FindPoint(256, 256).Get()), { 0, 0, 0 }, 1.5);
    // The view's half-width at the quad is 364, so the corner sees past it.
    EXPECT_EQ(FindObject(0, 0), nullptr);
    EXPECT_EQ(FindPoint(0, 0), nullptr);
}

TEST_F(ViewPick, FindPointGivesTheWorldPointOfAKnownFace)
{
    OpenGameScene();
    AddToScene(Quad(600, { 0, 0, 0 }).Get());
    // 128 pixels right of the centre of a 512-pixel view 40 degrees wide,
    // at 1000 units: 1000 * tan(20 degrees) * 128.5 / 256.
    Vec point = Read(FindPoint(384, 256).Get());
    EXPECT_NEAR(point.x, 1000 * std::tan(20 * M_PI / 180) * 128.5 / 256, 1.0);
    EXPECT_NEAR(point.z, 0, 1e-3);
}

TEST_F(ViewPick, NearestElementWinsWhateverTheOrder)
{
    OpenGameScene();
    ObjectRef near = Quad(200, { 0, 0, 100 });
    ObjectRef far = Quad(200, { 0, 0, 0 });
    AddToScene(near.Get());
    AddToScene(far.Get());
    EXPECT_EQ(FindObject(256, 256), near);
    Invoke("Group3D.Remove(idx as Integer)", Get<ObjectRef>(*view, "Objects").Get(), 0);
    AddToScene(near.Get());
    EXPECT_EQ(FindObject(256, 256), near);
}

TEST_F(ViewPick, ChildOfAGroupIsFoundAndHiddenGroupsAreNot)
{
    OpenGameScene();
    ObjectRef group = NewObject("Group3D");
    ObjectRef quad = Quad(200, { 0, 0, 0 });
    Append(group.Get(), quad.Get());
    AddToScene(group.Get());
    EXPECT_EQ(FindObject(256, 256), quad);
    Set<bool>(*group, "Visible", false);
    EXPECT_EQ(FindObject(256, 256), nullptr);
}

TEST_F(ViewPick, BackFacesAreFoundOnlyWhereTheyAreDrawn)
{
    OpenGameScene();
    ObjectRef quad = Quad(200, { 0, 0, 0 });
    Invoke("Element3D.Yaw(radians as Double)", quad.Get(), std::numbers::pi);
    AddToScene(quad.Get());
    EXPECT_EQ(FindObject(256, 256), nullptr);
    Set<bool>(*quad, "RenderBackFaces", true);
    EXPECT_EQ(FindObject(256, 256), quad);
}

TEST_F(ViewPick, BackgroundIsFoundWhereNothingIsInFrontOfIt)
{
    // A backdrop 1200 units ahead of the viewer, which the viewer takes
    // along from the first frame on.
    ObjectRef backdrop = Quad(2000, { 0, 0, 0 }, "Trimesh", -1200);
    backdrop->Lock();
    Data().Background = lx::ToLx(backdrop.Get());
    OpenGameScene();
    ObjectRef quad = Quad(200, { 0, 0, 0 });
    AddToScene(quad.Get());
    EXPECT_EQ(FindObject(256, 256), quad);
    EXPECT_EQ(FindObject(0, 0), backdrop);
    ExpectNear(Read(FindPoint(256, 256).Get()), { 0, 0, 0 }, 1.5);
}

TEST_F(ViewPick, NothingIsFoundBeforeTheFirstRedraw)
{
    Open();
    AddToScene(Quad(2000, { 0, 0, 0 }).Get());
    EXPECT_EQ(FindObject(256, 256), nullptr);
    EXPECT_EQ(FindPoint(256, 256), nullptr);
    EXPECT_EQ(Invoke<int32_t>("Lx3DSpace.ViewHandle() As Integer", view.Get()), 0);
    Redraw();
    const int32_t handle = Invoke<int32_t>("Lx3DSpace.ViewHandle() As Integer", view.Get());
    EXPECT_NE(handle, 0);
    EXPECT_EQ(Q3Object_FromId(TQ3Uns32(handle)), Data().mView);
}

TEST_F(ViewPick, PicksFollowPointsChangedThroughTheListsSinceTheLastPick)
{
    const char* const addToAll = "VectorList.AddToAll(delta as Vector3D)";
    const char* const copy = "VectorList.Copy(otherList as VectorList)";
    OpenGameScene();
    ObjectRef quad = Quad(200, { 0, 0, 0 });
    AddToScene(quad.Get());
    ObjectRef points = InvokeObject("Trimesh.VertexPositions() as VectorList", quad.Get());
    // Pixel 400 looks at x = 205 on the quad's plane, past its right edge.
    const auto foundAt = [&](int x) { return FindObject(x, 256) == quad; };
    ASSERT_TRUE(foundAt(256));
    EXPECT_FALSE(foundAt(400));
    // One point at a time.
    for (int32_t i = 0; i < 4; ++i) {
        const double x = Invoke<double>("VectorList.X(index as Integer) as Double", points.Get(), i);
        const double y = Invoke<double>("VectorList.Y(index as Integer) as Double", points.Get(), i);
        Invoke("VectorList.SetXYZ(index as Integer, x as Double, y as Double, z as Double)", points.Get(), i,
            x + 200, y, 0.0);
    }
    EXPECT_TRUE(foundAt(400));
    EXPECT_FALSE(foundAt(256));
    // All points at once.
    Invoke(addToAll, points.Get(), NewVector(-200, 0, 0).Get());
    EXPECT_TRUE(foundAt(256));
    EXPECT_FALSE(foundAt(400));
    // Copied from another mesh's points.
    ObjectRef other = Quad(200, { 0, 0, 0 });
    ObjectRef otherPoints = InvokeObject("Trimesh.VertexPositions() as VectorList", other.Get());
    Invoke(addToAll, otherPoints.Get(), NewVector(200, 0, 0).Get());
    Invoke(copy, points.Get(), otherPoints.Get());
    EXPECT_TRUE(foundAt(400));
    EXPECT_FALSE(foundAt(256));
    // The element moved instead of its points.
    MoveTo(*quad, { -200, 0, 0 });
    EXPECT_TRUE(foundAt(256));
    EXPECT_FALSE(foundAt(400));
}

TEST_F(ViewPick, TheSubmittedBoxBoundsThePointsAfterTheyAreReset)
{
    OpenGameScene();
    ObjectRef quad = Quad(200, { 0, 0, 0 });
    AddToScene(quad.Get());
    Redraw();
    const TQ3BoundingBox& box = lx3d::TrimeshOf(lx::ToLx(quad.Get()))->mesh.bBox;
    EXPECT_FLOAT_EQ(box.max.x, 100);
    Set<int32_t>(*quad, "VertexCount", 4);
    Redraw();
    EXPECT_FALSE(box.isEmpty);
    EXPECT_EQ(box.min.x, 0);
    EXPECT_EQ(box.max.x, 0);
}

TEST_F(ViewPick, MouseEventsArriveInControlCoordinates)
{
    MouseLog log;
    bool track = true;
    OnMouseDown(*view, [&](int32_t x, int32_t y) {
        log.Note("down", x, y);
        return track;
    });
    OnMouse(*view, "MouseDrag", [&](int32_t x, int32_t y) { log.Note("drag", x, y); });
    OnMouse(*view, "MouseUp", [&](int32_t x, int32_t y) { log.Note("up", x, y); });
    EXPECT_TRUE(Click(20, 10));
    Drag(-5, 600);
    Release(30, 15);
    track = false;
    EXPECT_FALSE(Click(21, 12));
    EXPECT_EQ(log.events, (std::vector<std::string> { "down 0,0", "drag -25,590", "up 10,5", "down 1,2" }));
}

TEST_F(ViewPick, WithoutHandlersTheMouseIsNotTracked)
{
    EXPECT_FALSE(Click(20, 10));
    Drag(30, 30);
    Release(30, 30);
}

TEST_F(ViewPick, PicturesHaveTheAskedSizeOrTheControls)
{
    OpenGameScene();
    TQ3ViewObject controlView = Data().mView;
    lx::Ref<lx::Picture> full = Picture(0, 0, 8);
    ASSERT_NE(full, nullptr);
    EXPECT_EQ(full->Width(), 512);
    EXPECT_EQ(full->Height(), 512);
    EXPECT_EQ(LastPictureFormat(), 4);
    lx::Ref<lx::Picture> small = Picture(100, 50, 1);
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(small->Width(), 100);
    EXPECT_EQ(small->Height(), 50);
    EXPECT_EQ(lx::Cast<lx::Picture>(InvokeObject(PictureName, view.Get()))->Width(), 512);
    EXPECT_EQ(Data().mView, controlView);
    EXPECT_EQ(Picture(40000, 10, 32), nullptr);
    EXPECT_EQ(Picture(10, 32768, 32), nullptr);
    Place(10, 20, 0, 0);
    EXPECT_EQ(Picture(0, 0, 32), nullptr);
}

TEST_F(ViewPick, PictureTheHostCannotHoldIsRefusedBeforeItIsRendered)
{
    OpenGameScene();
    lx::Ref<lx::Picture> longest = Picture(kMaxGWorldSide, 1, 32);
    ASSERT_NE(longest, nullptr);
    EXPECT_EQ(longest->Width(), kMaxGWorldSide);
    // Rendered first, the scene would reach the host only to be thrown away.
    const int32_t built = PicturesBuilt();
    EXPECT_EQ(Picture(kMaxGWorldSide + 1, 1, 32), nullptr);
    EXPECT_EQ(Picture(1, kMaxGWorldSide + 1, 32), nullptr);
    // Up to the largest side a window coordinate could give.
    EXPECT_EQ(Picture(INT16_MAX, 1, 32), nullptr);
    EXPECT_EQ(PicturesBuilt(), built);
}

TEST_F(ViewPick, PictureShowsTheSceneOverTheSky)
{
    Set<lx::Color>(*view, "SkyColor", lx::Color { 0x5276A5 });
    OpenGameScene();
    AddToScene(Quad(200, { 0, 0, 0 }).Get());
    lx::Ref<lx::Picture> picture = Picture(0, 0, 32);
    EXPECT_EQ(PixelOf(*picture, 0, 0), 0x5276A5u);
    EXPECT_NE(PixelOf(*picture, 256, 256), 0x5276A5u);
}

TEST_F(ViewPick, PictureBeforeTheFirstRedrawIsAllSky)
{
    Open();
    AddToScene(Quad(2000, { 0, 0, 0 }).Get());
    lx::Ref<lx::Picture> picture = Picture(16, 8, 32);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(PixelOf(*picture, 0, 0), 0xC8C8FFu);
    EXPECT_EQ(PixelOf(*picture, 15, 7), 0xC8C8FFu);
}

TEST_F(ViewPick, OffscreenDrawingPutsThePictureInTheControlsRectangle)
{
    OpenGameScene();
    lx::Ref<lx::Picture> target = NewPicture(600, 600, 0);
    DrawOffscreen(target->Graphics().Get());
    auto rgb = [&](int x, int y) { return PixelOf(*target, x, y); };
    EXPECT_EQ(rgb(20, 10), 0xC8C8FFu);
    EXPECT_EQ(rgb(19, 10), 0u);
    EXPECT_EQ(rgb(531, 521), 0xC8C8FFu);
}

TEST_F(ViewPick, FrustumPlanesBoundWhatTheCameraSees)
{
    OpenGameScene();
    const lx3d::FrustumPlane* planes = lx3d::ViewFrustumPlanes(lx::ToLx(view.Get()));
    ASSERT_NE(planes, nullptr);
    for (int i = 0; i < 6; ++i) {
        const lx3d::FrustumPlane& plane = planes[i];
        EXPECT_NEAR(std::sqrt(plane.a * plane.a + plane.b * plane.b + plane.c * plane.c), 1.0, 1e-5) << i;
        EXPECT_GT(Inside(plane, { 0, 0, 0 }), 0) << i;
    }
    EXPECT_LT(Inside(planes[0], { 0, 0, 600 }), 0);
    EXPECT_LT(Inside(planes[1], { 0, 0, -600 }), 0);
    // Unchanged camera: the planes are kept.
    Invoke("Lx3DSpace.Update", view.Get());
    EXPECT_TRUE(Data().planesValid);
    MoveTo(*Get<ObjectRef>(*view, "Camera"), { 0, 0, 2000 });
    Invoke("Lx3DSpace.Update", view.Get());
    EXPECT_FALSE(Data().planesValid);
    // Now the origin lies beyond the far plane.
    ASSERT_NE(lx3d::ViewFrustumPlanes(lx::ToLx(view.Get())), nullptr);
    EXPECT_LT(Inside(planes[1], { 0, 0, 0 }), 0);
}

TEST_F(ViewPick, BoundsAreInViewOnlyInsideTheFrustum)
{
    const char* const inView = "Bounds3D.InView(lx3d as Lx3DSpace) as Boolean";
    const char* const sphere = "Bounds3D.Bounds3D(center as Vector3D, radius as Double)";
    ObjectRef bounds = NewObject("Bounds3D");
    Invoke(sphere, bounds.Get(), NewVector(0, 0, 0).Get(), 10.0);
    Open();
    EXPECT_FALSE(Invoke<bool>(inView, bounds.Get(), view.Get()));
    MoveTo(*Get<ObjectRef>(*view, "Camera"), { 0, 0, 1000 });
    Redraw();
    EXPECT_TRUE(Invoke<bool>(inView, bounds.Get(), view.Get()));
    Invoke(sphere, bounds.Get(), NewVector(0, 0, 2000).Get(), 10.0);
    EXPECT_FALSE(Invoke<bool>(inView, bounds.Get(), view.Get()));
    // A range that sees nothing has nothing in view.
    Invoke(sphere, bounds.Get(), NewVector(0, 0, 0).Get(), 10.0);
    Set<int32_t>(*view, "Yon", 1);
    EXPECT_FALSE(Invoke<bool>(inView, bounds.Get(), view.Get()));
}
