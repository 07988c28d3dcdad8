#include "BindingsTestSupport.h"

#include <lxframework/Runtime.h>

#include <gtest/gtest.h>

namespace {

bool Bound(std::size_t slot)
{
    const LxEntryPoint* entry = bindings::Entry(static_cast<bindings::Slot>(slot));
    return entry && entry->kind != LxEntryUnbound && entry->function;
}

constexpr std::size_t UnusedSlot = 164;
constexpr std::size_t FirstSecondPluginSlot = 194;

}

TEST(EntryPoints, SlotsFollowTheBindingTable)
{
    EXPECT_STREQ(bindings::BindingName(bindings::Slot::Light3DInit), "Light3D.__init");
    EXPECT_STREQ(bindings::BindingName(bindings::Slot::Vector3DXSet), "Vector3D.X.Set");
    EXPECT_STREQ(bindings::BindingName(bindings::Slot::Unused), "_");
    EXPECT_EQ(static_cast<int>(bindings::Slot::Unused), 164);
    EXPECT_STREQ(bindings::BindingName(bindings::Slot::Lx3DSpaceFindObject),
        "Lx3DSpace.FindObject(X as Integer, Y as Integer) as Object3D");
    EXPECT_STREQ(bindings::BindingName(bindings::Slot::ImageWellImageSet), "ImageWell.Image.Set");
    EXPECT_EQ(static_cast<std::size_t>(bindings::Slot::ImageWellImageSet), bindings::SlotCount - 1);
}

TEST(EntryPoints, EveryLx3DMemberIsBoundAndTheOthersFailInOrder)
{
    BindOnce();
    for (std::size_t slot = 0; slot < FirstSecondPluginSlot; ++slot) {
        if (slot != UnusedSlot) {
            EXPECT_TRUE(Bound(slot)) << bindings::BindingName(static_cast<bindings::Slot>(slot));
        }
    }
    EXPECT_FALSE(Bound(UnusedSlot));
    for (std::size_t slot = FirstSecondPluginSlot; slot < bindings::SlotCount; ++slot)
        EXPECT_FALSE(Bound(slot)) << bindings::BindingName(static_cast<bindings::Slot>(slot));
    EXPECT_THROW(bindings::Call(bindings::Slot::Unused, nullptr), lx::Exception);
}
