#include "CursorShape.h"
#include "GuiInternal.h"
#include "GuiTestSupport.h"

#include <lxframework/Application.h>
#include <lxframework/ResourceFork.h>

#include <gtest/gtest.h>

using namespace lx;

TEST(ResourceFork, ServesEveryPictureAndCursorOfTheManifest)
{
    viewplugin::Register();
    lx::EnsureApplication();
    Ref<ResourceFork> fork = New<ResourceFork>();
    for (int number = 168; number <= 174; ++number)
        EXPECT_TRUE(fork->GetPicture(number)) << "picture " << number;
    Ref<Picture> icon = fork->GetPicture(171);
    EXPECT_EQ(icon->Width(), 128);
    EXPECT_EQ(icon->Height(), 128);
    for (int number : { 168, 169 }) {
        Ref<MouseCursor> cursor = fork->getCursor(number);
        ASSERT_TRUE(cursor) << "cursor " << number;
        EXPECT_EQ(cursor->Identity(), "resource " + std::to_string(number));
        EXPECT_EQ(CursorShape(*cursor).hotSpot(), QPoint(8, 8));
    }
    // A fresh cursor object on every call.
    EXPECT_NE(fork->getCursor(168), fork->getCursor(168));
}

TEST(ResourceFork, MissingNumbersGiveNil)
{
    viewplugin::Register();
    lx::EnsureApplication();
    Ref<ResourceFork> fork = New<ResourceFork>();
    EXPECT_FALSE(fork->GetPicture(167));
    EXPECT_FALSE(fork->GetPicture(175));
    EXPECT_FALSE(fork->getCursor(170));
    EXPECT_FALSE(fork->getCursor(-1));
}

TEST(Application, VersionFieldsComeFromTheBuild)
{
    viewplugin::Register();
    Ref<Application> app = New<Application>();
    EXPECT_GE(app->MajorVersion(), 1);
    EXPECT_GE(app->MinorVersion(), 0);
    EXPECT_GE(app->StageCode(), 0);
    EXPECT_LE(app->StageCode(), 3);
}
