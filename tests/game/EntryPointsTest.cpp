#include "EntryPoints.h"

#include <lxframework/Runtime.h>

#include <gtest/gtest.h>

namespace {

// The real start-up: the framework loads lx3d.so from the plug-ins folder.
void BindOnce()
{
    static bool bound = false;
    if (bound)
        return;
    bound = true;
    lx::RuntimeInit();
    lx::RuntimeInitExternalClasses();
    game::BindEntryPoints();
}

bool Bound(std::size_t slot)
{
    const LxEntryPoint* entry = game::Entry(static_cast<game::Slot>(slot));
    return entry && entry->kind != LxEntryUnbound && entry->function;
}

constexpr std::size_t UnusedSlot = 164;
constexpr std::size_t FirstSecondPluginSlot = 194;

}

TEST(EntryPoints, SlotsFollowTheBindingTable)
{
    EXPECT_STREQ(game::BindingName(game::Slot::Light3DInit), "Light3D.__init");
    EXPECT_STREQ(game::BindingName(game::Slot::Vector3DXSet), "Vector3D.X.Set");
    EXPECT_STREQ(game::BindingName(game::Slot::Unused), "_");
    EXPECT_EQ(static_cast<int>(game::Slot::Unused), 164);
    EXPECT_STREQ(game::BindingName(game::Slot::Lx3DSpaceFindObject),
        "Lx3DSpace.FindObject(X as Integer, Y as Integer) as Object3D");
    EXPECT_STREQ(game::BindingName(game::Slot::ImageWellImageSet), "ImageWell.Image.Set");
    EXPECT_EQ(static_cast<std::size_t>(game::Slot::ImageWellImageSet), game::SlotCount - 1);
}

TEST(EntryPoints, EveryLx3DMemberIsBoundAndTheOthersFailInOrder)
{
    BindOnce();
    for (std::size_t slot = 0; slot < FirstSecondPluginSlot; ++slot) {
        if (slot != UnusedSlot) {
            EXPECT_TRUE(Bound(slot)) << game::BindingName(static_cast<game::Slot>(slot));
        }
    }
    EXPECT_FALSE(Bound(UnusedSlot));
    for (std::size_t slot = FirstSecondPluginSlot; slot < game::SlotCount; ++slot)
        EXPECT_FALSE(Bound(slot)) << game::BindingName(static_cast<game::Slot>(slot));
    EXPECT_THROW(game::Call(game::Slot::Unused, nullptr), lx::Exception);
}
