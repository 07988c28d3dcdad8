#include "GlobeTestSupport.h"

#include "bindings/EntryPoints.h"
#include "globe/PuzzleGroup3D.h"
#include "globe/PuzzleObject3d.h"
#include "globe/PuzzlePiece.h"
#include "globe/PuzzleTrimesh.h"

#include <gtest/gtest.h>

using namespace bindings;
using namespace globe;

TEST(PuzzlePiece, OnlyPiecesAnswerTheInterface)
{
    StartGlobeRuntime();
    EXPECT_EQ(AsPuzzlePiece(nullptr), nullptr);
    EXPECT_EQ(AsPuzzlePiece(NewObjectOfClass("Object3D").Get()), nullptr);
    EXPECT_EQ(AsPuzzlePiece(NewObjectOfClass("Trimesh").Get()), nullptr);
    EXPECT_EQ(AsPuzzlePiece(NewObjectOfClass("Group3D").Get()), nullptr);

    lx::Ref<PuzzleTrimesh> mesh = lx::New<PuzzleTrimesh>();
    lx::Ref<PuzzleGroup3D> group = lx::New<PuzzleGroup3D>();
    lx::Ref<PuzzleObject3d> object = lx::New<PuzzleObject3d>();
    ASSERT_TRUE(mesh && group && object);
    EXPECT_EQ(AsPuzzlePiece(mesh.Get())->Index(), 0);
    mesh->Constructor(17);
    group->Constructor(17);
    object->Constructor(5);
    EXPECT_EQ(AsPuzzlePiece(mesh.Get())->Index(), 17);
    EXPECT_EQ(AsPuzzlePiece(group.Get())->Index(), 17);
    EXPECT_EQ(AsPuzzlePiece(object.Get())->Index(), 5);
}

TEST(PuzzlePiece, PiecesAreTheirPlugInClasses)
{
    StartGlobeRuntime();
    lx::Ref<PuzzleTrimesh> mesh = lx::New<PuzzleTrimesh>();
    lx::Ref<PuzzleGroup3D> group = lx::New<PuzzleGroup3D>();
    mesh->Constructor(26);
    group->Constructor(26);
    EXPECT_TRUE(mesh->IsA(*lx::FindClass("Trimesh")));
    EXPECT_TRUE(group->IsA(*lx::FindClass("Element3D")));

    // A group carries its mesh; a mesh picked out of it still names the home cell.
    bindings::Call(bindings::Slot::Group3DAppend, group.Get(), ObjectRef(mesh.Get()));
    auto item = bindings::Call<ObjectRef>(bindings::Slot::Group3DItem, group.Get(), int32_t(0));
    ASSERT_NE(AsPuzzlePiece(item.Get()), nullptr);
    EXPECT_EQ(AsPuzzlePiece(item.Get())->Index(), 26);
}
