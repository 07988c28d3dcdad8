#include "Group3D.h"
#include "Lx3DScene.h"

#include <cmath>
#include <lxframework/Event.h>
#include <memory>
#include <numbers>

namespace {

constexpr double Pi = std::numbers::pi;

Vec Transformed(const char* member, lx::Object& element, Vec p)
{
    return Read(InvokeObject(
        std::string("Element3D.") + member + "(pt as Vector3D) as Vector3D", &element, NewVector(p.x, p.y, p.z))
                    .Get());
}

// The element's own +Z axis in world space.
Vec Forward(lx::Object& element)
{
    return Read(InvokeObject("Quaternion.Transform(vec as Vector3D) as Vector3D",
        Get<ObjectRef>(element, "Orientation").Get(), NewVector(0, 0, 1))
                    .Get());
}

ObjectRef ComputeBounds(lx::Object& element, int32_t type)
{
    return InvokeObject("Element3D.ComputeBounds(type as Integer) as Bounds3D", &element, type);
}

Vec BoundsPoint(const ObjectRef& bounds, const char* property) { return Read(Get<ObjectRef>(*bounds, property).Get()); }

// Counts the Render events raised on an element.
std::shared_ptr<int> CountRenders(lx::Object& element)
{
    auto count = std::make_shared<int>(0);
    lx::InstallEventHandler(element, "Render",
        lx::EventHandler(std::function<void(lx::Object&, int32_t)>([count](lx::Object&, int32_t) { ++*count; })));
    return count;
}

// How far the stack reached below the caller's frame when the element's
// Render was raised, the deepest time.
std::shared_ptr<std::size_t> StackDepthAtRender(lx::Object& element)
{
    const auto base = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
    auto deepest = std::make_shared<std::size_t>(0);
    lx::InstallEventHandler(element, "Render",
        lx::EventHandler(std::function<void(lx::Object&, int32_t)>([base, deepest](lx::Object&, int32_t) {
            const auto here = reinterpret_cast<uintptr_t>(__builtin_frame_address(0));
            *deepest = std::max(*deepest, std::size_t(base - here));
        })));
    return deepest;
}

}

TEST(Element3D, Scale)
{
    ObjectRef element = NewObject("Element3D");
    double scale = Get<double>(*element, "Scale");
    EXPECT_NEAR(scale, 1.0, 1e-7);
    ObjectRef scaleVector = Get<ObjectRef>(*element, "ScaleVector");
    Set<double>(*element, "Scale", 2.0);
    EXPECT_EQ(Get<ObjectRef>(*element, "ScaleVector"), scaleVector);
    ExpectNear(Read(scaleVector.Get()), { 2, 2, 2 }, 0);
    Invoke("Vector3D.Vector3D(x As Double, y as Double, z As Double)", scaleVector.Get(), 1.0, 2.0, 2.0);
    EXPECT_NEAR(Get<double>(*element, "Scale"), 1.7320508, 1e-6);
}

TEST(Element3D, MovesForwardAlongItsOwnZ)
{
    ObjectRef element = NewObject("Element3D");
    Invoke("Element3D.MoveForward(distance as Double)", element.Get(), 10.0);
    ExpectNear(PositionOf(*element), { 0, 0, 10 }, 0);
    ObjectRef turned = NewObject("Element3D");
    Invoke("Element3D.Yaw(radians as Double)", turned.Get(), Pi);
    Invoke("Element3D.MoveForward(distance as Double)", turned.Get(), 10.0);
    ExpectNear(PositionOf(*turned), { 0, 0, -10 });
}

TEST(Element3D, TurnsAboutItsOwnAxes)
{
    ObjectRef element = NewObject("Element3D");
    Invoke("Element3D.Yaw(radians as Double)", element.Get(), Pi / 2);
    ExpectNear(Forward(*element), { 1, 0, 0 });
    // After the yaw the element's X axis is world -Z; pitching about it
    // turns its forward axis down.
    Invoke("Element3D.Pitch(radians as Double)", element.Get(), Pi / 2);
    ExpectNear(Forward(*element), { 0, -1, 0 });
    // A roll turns about the forward axis itself: it stays, and X turns to Y.
    ObjectRef rolled = NewObject("Element3D");
    Invoke("Element3D.Roll(radians as Double)", rolled.Get(), Pi / 2);
    ExpectNear(Forward(*rolled), { 0, 0, 1 });
    ExpectNear(Transformed("ObjectToWorldTransform", *rolled, { 1, 0, 0 }), { 0, 1, 0 });
}

TEST(Element3D, ManyTurnsKeepTheOrientationUnit)
{
    ObjectRef element = NewObject("Element3D");
    const char* turns[] = { "Element3D.Pitch(radians as Double)", "Element3D.Yaw(radians as Double)",
        "Element3D.Roll(radians as Double)" };
    for (int i = 0; i < 1000; ++i)
        Invoke(turns[i % 3], element.Get(), 0.1 + i * 0.01);
    ObjectRef q = Get<ObjectRef>(*element, "Orientation");
    double w = Invoke<double>("Quaternion.W.Get", q.Get());
    double x = Invoke<double>("Quaternion.X.Get", q.Get());
    double y = Invoke<double>("Quaternion.Y.Get", q.Get());
    double z = Invoke<double>("Quaternion.Z.Get", q.Get());
    EXPECT_NEAR(std::sqrt(w * w + x * x + y * y + z * z), 1.0, 1e-5);
}

TEST(Element3D, TransformsRoundTrip)
{
    ObjectRef element = ElementAt("Element3D", { 3, -4, 5 });
    Invoke("Element3D.Yaw(radians as Double)", element.Get(), 0.7);
    Invoke("Element3D.Roll(radians as Double)", element.Get(), -0.3);
    Invoke("Vector3D.Vector3D(x As Double, y as Double, z As Double)", Get<ObjectRef>(*element, "ScaleVector").Get(),
        2.0, 0.5, 3.0);
    ObjectRef point = NewVector(1, 2, 3);
    ObjectRef world
        = InvokeObject("Element3D.ObjectToWorldTransform(pt as Vector3D) as Vector3D", element.Get(), point);
    ExpectNear(Read(point.Get()), { 1, 2, 3 }, 0);
    ExpectNear(Transformed("WorldToObjectTransform", *element, Read(world.Get())), { 1, 2, 3 });
    EXPECT_FALSE(InvokeObject("Element3D.ObjectToWorldTransform(pt as Vector3D) as Vector3D", element.Get(), Nil()));
    EXPECT_FALSE(InvokeObject("Element3D.WorldToObjectTransform(pt as Vector3D) as Vector3D", element.Get(), Nil()));
}

TEST(Element3D, TransformsAgreeWithTheDrawingForAnOrientationOfAnyLength)
{
    // Twice a quarter turn about Z: drawn as the quarter turn, so the
    // element's transforms must turn by that too.
    ObjectRef quad = CubeMesh(200);
    ObjectRef orientation = Get<ObjectRef>(*quad, "Orientation");
    const double half = std::sqrt(0.5);
    Invoke("Quaternion.W.Set", orientation.Get(), 2 * half);
    Invoke("Quaternion.Z.Set", orientation.Get(), 2 * half);
    ExpectNear(Transformed("ObjectToWorldTransform", *quad, { 100, 100, 0 }), { -100, 100, 0 }, 1e-3);
    ExpectNear(Transformed("WorldToObjectTransform", *quad, { -100, 100, 0 }), { 100, 100, 0 }, 1e-3);
    ObjectRef box = ComputeBounds(*quad, 2);
    ExpectNear(BoundsPoint(box, "Minimum"), { -100, -100, -100 }, 1e-3);
    ExpectNear(BoundsPoint(box, "Maximum"), { 100, 100, 100 }, 1e-3);
}

TEST(Element3D, ComputeBoundsInWorldCoordinates)
{
    ObjectRef cube = CubeMesh(2);
    MoveTo(*cube, { 10, 0, 0 });
    ObjectRef box = ComputeBounds(*cube, 2);
    ExpectNear(BoundsPoint(box, "Minimum"), { 9, -1, -1 });
    ExpectNear(BoundsPoint(box, "Maximum"), { 11, 1, 1 });
    EXPECT_FALSE(Get<ObjectRef>(*cube, "Bounds"));

    ObjectRef untyped = ComputeBounds(*cube, 3);
    EXPECT_EQ(Get<int32_t>(*untyped, "Type"), 3);
}

TEST(Element3D, InvisibleElementsSubmitNothing)
{
    ObjectRef element = NewObject("Element3D");
    std::shared_ptr<int> renders = CountRenders(*element);
    ComputeBounds(*element, 1);
    EXPECT_EQ(*renders, 1);
    Set<bool>(*element, "Visible", false);
    ObjectRef sphere = ComputeBounds(*element, 1);
    EXPECT_EQ(*renders, 1);
    EXPECT_EQ(Get<int32_t>(*sphere, "Type"), 1);
    EXPECT_EQ(Get<double>(*sphere, "Radius"), 0.0);
}

TEST(Element3D, UpdateBoundsCoversVisibleChildren)
{
    ObjectRef group = NewObject("Group3D");
    ObjectRef near = CubeMesh(2);
    ObjectRef far = CubeMesh(2);
    MoveTo(*far, { 100, 0, 0 });
    Set<bool>(*far, "Visible", false);
    Append(group.Get(), near.Get());
    Append(group.Get(), far.Get());
    ObjectRef bounds = NewObject("Bounds3D");
    Set<int32_t>(*bounds, "Type", 2);
    SetObject(*group, "Bounds", bounds.Get());
    Invoke("Element3D.UpdateBounds", group.Get());
    ExpectNear(BoundsPoint(bounds, "Maximum"), { 1, 1, 1 });
    // The element holds its bounds until it goes.
    const int32_t held = bounds->ReferenceCount();
    group = nullptr;
    EXPECT_EQ(bounds->ReferenceCount(), held - 1);
}

TEST(Group3D, ChildrenFollowTheGroupsMoves)
{
    ObjectRef group = NewObject("Group3D");
    ObjectRef a = ElementAt("Element3D", { 1, 0, 0 });
    ObjectRef b = ElementAt("Element3D", { 0, 1, 0 });
    Append(group.Get(), a.Get());
    Append(group.Get(), b.Get());
    MoveTo(*group, { 5, 0, 0 });
    ExpectNear(PositionOf(*a), { 1, 0, 0 }, 0);
    Invoke("Group3D.Update", group.Get());
    ExpectNear(PositionOf(*a), { 6, 0, 0 }, 0);
    ExpectNear(PositionOf(*b), { 5, 1, 0 }, 0);
    MoveTo(*group, { 0, 0, 0 });
    Invoke("Group3D.Update", group.Get());
    ExpectNear(PositionOf(*a), { 1, 0, 0 }, 0);
    ExpectNear(PositionOf(*b), { 0, 1, 0 }, 0);
}

TEST(Group3D, ChildrenTurnWithTheGroup)
{
    ObjectRef group = NewObject("Group3D");
    ObjectRef child = ElementAt("Element3D", { 1, 0, 0 });
    Append(group.Get(), child.Get());
    Invoke("Element3D.Yaw(radians as Double)", group.Get(), Pi / 2);
    Invoke("Group3D.Update", group.Get());
    ExpectNear(PositionOf(*child), { 0, 0, -1 });
    ObjectRef q = Get<ObjectRef>(*child, "Orientation");
    EXPECT_NEAR(Invoke<double>("Quaternion.W.Get", q.Get()), 0.7071068, 1e-6);
    EXPECT_NEAR(Invoke<double>("Quaternion.Y.Get", q.Get()), 0.7071068, 1e-6);
}

TEST(Group3D, ChildrenKeepTheirPlaceThroughSuccessiveTurns)
{
    // Turns about different axes do not commute, so each turn must be
    // composed after the ones before it.
    ObjectRef group = ElementAt("Group3D", { 2, 0, 0 });
    Invoke("Group3D.Update", group.Get());
    ObjectRef child = ElementAt("Element3D", { 3, 0, 0 });
    ObjectRef above = ElementAt("Element3D", { 2, 1, 0 });
    Append(group.Get(), child.Get());
    Append(group.Get(), above.Get());
    Invoke("Element3D.Yaw(radians as Double)", group.Get(), Pi / 2);
    Invoke("Group3D.Update", group.Get());
    Invoke("Element3D.Pitch(radians as Double)", group.Get(), Pi / 3);
    Invoke("Group3D.Update", group.Get());

    ObjectRef turn = Get<ObjectRef>(*group, "Orientation");
    auto placed = [&](Vec offset) {
        Vec turned = Read(InvokeObject(
            "Quaternion.Transform(vec as Vector3D) as Vector3D", turn.Get(), NewVector(offset.x, offset.y, offset.z))
                              .Get());
        return Vec { 2 + turned.x, turned.y, turned.z };
    };
    ExpectNear(PositionOf(*child), placed({ 1, 0, 0 }));
    ExpectNear(PositionOf(*above), placed({ 0, 1, 0 }));
    ObjectRef childTurn = Get<ObjectRef>(*child, "Orientation");
    for (const char* component : { "Quaternion.W.Get", "Quaternion.X.Get", "Quaternion.Y.Get", "Quaternion.Z.Get" })
        EXPECT_NEAR(Invoke<double>(component, childTurn.Get()), Invoke<double>(component, turn.Get()), 1e-6)
            << component;
}

TEST(Group3D, NestedGroupsFollowOnSubmission)
{
    ObjectRef outer = NewObject("Group3D");
    ObjectRef inner = NewObject("Group3D");
    ObjectRef leaf = ElementAt("Element3D", { 1, 0, 0 });
    Append(outer.Get(), inner.Get());
    Append(inner.Get(), leaf.Get());
    MoveTo(*outer, { 0, 5, 0 });
    Invoke("Group3D.Update", outer.Get());
    ExpectNear(PositionOf(*inner), { 0, 5, 0 }, 0);
    ExpectNear(PositionOf(*leaf), { 1, 0, 0 }, 0);
    Invoke("Element3D.UpdateBounds", outer.Get());
    ExpectNear(PositionOf(*leaf), { 1, 5, 0 }, 0);
}

TEST(Group3D, IndexErrorsAreSilent)
{
    ObjectRef group = NewObject("Group3D");
    ObjectRef element = NewObject("Element3D");
    Append(group.Get(), element.Get());
    EXPECT_EQ(RaisedBy([&] {
        EXPECT_FALSE(InvokeObject("Group3D.Item(idx as Integer) as Element3D", group.Get(), -1));
        EXPECT_FALSE(InvokeObject("Group3D.Item(idx as Integer) as Element3D", group.Get(), 1));
        Invoke("Group3D.Remove(idx as Integer)", group.Get(), 1);
        Invoke("Group3D.Item(idx as Integer) as Element3D.Set", group.Get(), 99, element);
    }),
        "");
    EXPECT_EQ(Count(group.Get()), 1);
}

TEST(Group3D, RemovingAnElementTakesItsLastOccurrence)
{
    ObjectRef group = NewObject("Group3D");
    ObjectRef e = NewObject("Element3D");
    ObjectRef other = NewObject("Element3D");
    for (lx::Object* item : { other.Get(), e.Get(), other.Get(), e.Get() })
        Append(group.Get(), item);
    Invoke("Group3D.Remove(elem as Element3D)", group.Get(), e);
    ASSERT_EQ(Count(group.Get()), 3);
    EXPECT_EQ(InvokeObject("Group3D.Item(idx as Integer) as Element3D", group.Get(), 1), e);
    EXPECT_EQ(InvokeObject("Group3D.Item(idx as Integer) as Element3D", group.Get(), 2), other);
    // Down to the first entry.
    Invoke("Group3D.Remove(elem as Element3D)", group.Get(), other);
    Invoke("Group3D.Remove(elem as Element3D)", group.Get(), other);
    ASSERT_EQ(Count(group.Get()), 1);
    EXPECT_EQ(InvokeObject("Group3D.Item(idx as Integer) as Element3D", group.Get(), 0), e);
}

TEST(Group3D, HoldsOneReferencePerEntry)
{
    ObjectRef group = NewObject("Group3D");
    ObjectRef e = NewObject("Element3D");
    int32_t before = e->ReferenceCount();
    Append(group.Get(), e.Get());
    Append(group.Get(), e.Get());
    EXPECT_EQ(e->ReferenceCount(), before + 2);
    Invoke("Group3D.Remove(idx as Integer)", group.Get(), 0);
    EXPECT_EQ(e->ReferenceCount(), before + 1);
    // Setting an entry takes the new element's reference and drops the old one's.
    ObjectRef other = NewObject("Element3D");
    Invoke("Group3D.Item(idx as Integer) as Element3D.Set", group.Get(), 0, other);
    EXPECT_EQ(InvokeObject("Group3D.Item(idx as Integer) as Element3D", group.Get(), 0), other);
    EXPECT_EQ(e->ReferenceCount(), before);
    EXPECT_EQ(other->ReferenceCount(), before + 1);
    group = nullptr;
    EXPECT_EQ(e->ReferenceCount(), before);
    EXPECT_EQ(other->ReferenceCount(), before);
}

TEST(Group3D, NilEntriesAreSkipped)
{
    ObjectRef group = NewObject("Group3D");
    Append(group.Get(), Nil());
    Append(group.Get(), CubeMesh(2).Get());
    EXPECT_EQ(Count(group.Get()), 2);
    MoveTo(*group, { 1, 0, 0 });
    ObjectRef bounds = ComputeBounds(*group, 2);
    ExpectNear(BoundsPoint(bounds, "Minimum"), { 0, -1, -1 });
}

TEST(Group3D, RefusesToContainItself)
{
    ObjectRef outer = NewObject("Group3D");
    ObjectRef inner = NewObject("Group3D");
    Append(outer.Get(), inner.Get());
    Append(outer.Get(), outer.Get());
    Append(inner.Get(), outer.Get());
    Invoke("Group3D.Item(idx as Integer) as Element3D.Set", outer.Get(), 0, outer);
    EXPECT_EQ(Count(outer.Get()), 1);
    EXPECT_EQ(Count(inner.Get()), 0);
    EXPECT_EQ(InvokeObject("Group3D.Item(idx as Integer) as Element3D", outer.Get(), 0), inner);
}

TEST(Group3D, ChainsOfAnyDepthAreBuiltCheckedWalkedAndReleasedInSteps)
{
    UseHostRegistrations();
    constexpr int Levels = 100000;
    // Far less than a frame per level would take, far more than any walk needs.
    constexpr std::size_t StackBudget = 256 * 1024;
    for (BuildOrder order : { BuildOrder::BottomUp, BuildOrder::TopDown }) {
        SCOPED_TRACE(order == BuildOrder::BottomUp ? "bottom up" : "top down");
        ObjectRef cube = CubeMesh(2);
        GroupChain chain = ChainOfGroups(Levels, cube.Get(), order);
        // Beside the cube, an element whose Render sees how deep the stack
        // is at the bottom of the chain, whether drawn or bounded.
        ObjectRef probe = NewObject("Element3D");
        ObjectRef probeBounds = NewObject("Bounds3D");
        Set<int32_t>(*probeBounds, "Type", 2);
        SetObject(*probe, "Bounds", probeBounds.Get());
        std::shared_ptr<std::size_t> stackDepth = StackDepthAtRender(*probe);
        Append(chain.bottom.Get(), probe.Get());
        EXPECT_TRUE(lx3d::WouldCloseCycle(lx::ToLx(chain.bottom.Get()), lx::ToLx(chain.top.Get())));
        EXPECT_EQ(lx3d::LastCycleCheckVisits(), uint32_t(Levels - 1));
        Append(chain.bottom.Get(), chain.top.Get());
        EXPECT_EQ(Count(chain.bottom.Get()), 2);

        // A move of the top reaches the cube through every level.
        MoveTo(*chain.top, { 0, 5, 0 });
        Invoke("Element3D.UpdateBounds", chain.top.Get());
        ExpectNear(PositionOf(*cube), { 0, 5, 0 }, 0);
        EXPECT_GT(*stackDepth, 0u);
        EXPECT_LT(*stackDepth, StackBudget);
        *stackDepth = 0;
        ObjectRef box = ComputeBounds(*chain.top, 2);
        ExpectNear(BoundsPoint(box, "Minimum"), { -1, 4, -1 });
        ExpectNear(BoundsPoint(box, "Maximum"), { 1, 6, 1 });
        EXPECT_GT(*stackDepth, 0u);
        EXPECT_LT(*stackDepth, StackBudget);

        DeepestReleaseNesting();
        chain.top = nullptr;
        EXPECT_LE(DeepestReleaseNesting(), 2);
    }
}

TEST(Group3D, CycleChecksLookOnlyIntoWhatAHeldGroupTakesEachGroupOnce)
{
    UseHostRegistrations();
    // Each group holds the one below twice: 2^23 paths lead from the top to the bottom.
    constexpr int Levels = 24;
    ObjectRef bottom = NewObject("Group3D");
    ObjectRef top = bottom;
    for (int level = 1; level < Levels; ++level) {
        ObjectRef group = NewObject("Group3D");
        Append(group.Get(), top.Get());
        Append(group.Get(), top.Get());
        top = group;
    }
    ObjectRef group = NewObject("Group3D");
    EXPECT_FALSE(lx3d::WouldCloseCycle(lx::ToLx(group.Get()), lx::ToLx(top.Get())));
    EXPECT_EQ(lx3d::LastCycleCheckVisits(), 0u);
    ObjectRef holder = NewObject("Group3D");
    Append(holder.Get(), group.Get());
    EXPECT_FALSE(lx3d::WouldCloseCycle(lx::ToLx(group.Get()), lx::ToLx(top.Get())));
    EXPECT_EQ(lx3d::LastCycleCheckVisits(), uint32_t(Levels));
    Append(group.Get(), top.Get());
    EXPECT_EQ(Count(group.Get()), 1);
    EXPECT_TRUE(lx3d::WouldCloseCycle(lx::ToLx(bottom.Get()), lx::ToLx(top.Get())));
    Append(bottom.Get(), top.Get());
    EXPECT_EQ(Count(bottom.Get()), 0);
}

TEST(Group3D, ElementAppendedAfterAMoveStaysPut)
{
    ObjectRef group = NewObject("Group3D");
    MoveTo(*group, { 5, 0, 0 });
    Invoke("Group3D.Update", group.Get());
    ObjectRef late = ElementAt("Element3D", { 1, 1, 1 });
    Append(group.Get(), late.Get());
    Invoke("Group3D.Update", group.Get());
    ExpectNear(PositionOf(*late), { 1, 1, 1 }, 0);
}
