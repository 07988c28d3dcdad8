#include "ObjectArray.h"

#include <gtest/gtest.h>

using lx3d::ObjectArray;

namespace {

void* Item(uintptr_t n) { return reinterpret_cast<void*>(n); }

ObjectArray Filled(uint32_t growStep, uint32_t count)
{
    ObjectArray array { .growStep = growStep };
    for (uint32_t i = 0; i < count; ++i)
        array.Append(Item(i + 1));
    return array;
}

void RemoveDownTo(ObjectArray& array, uint32_t count)
{
    while (array.count > count)
        array.RemoveAt(array.count - 1);
}

}

TEST(ObjectArray, GroupsGrowAndShrinkBySixteen)
{
    ObjectArray array = Filled(lx3d::GroupGrowStep, 17);
    EXPECT_EQ(array.capacity, 32u);
    array.Clear();
    array = Filled(lx3d::GroupGrowStep, 49);
    EXPECT_EQ(array.capacity, 64u);
    RemoveDownTo(array, 32);
    EXPECT_EQ(array.capacity, 64u);
    RemoveDownTo(array, 31);
    EXPECT_EQ(array.capacity, 32u);
    array.Clear();
}

TEST(ObjectArray, ShapesDoubleAndHalve)
{
    ObjectArray array { .growStep = lx3d::ShapeGrowStep };
    array.Append(Item(1));
    EXPECT_EQ(array.capacity, 16u);
    RemoveDownTo(array, 0);
    EXPECT_EQ(array.capacity, 16u);
    while (array.count < 17)
        array.Append(Item(1));
    EXPECT_EQ(array.capacity, 32u);
    RemoveDownTo(array, 11);
    EXPECT_EQ(array.capacity, 32u);
    RemoveDownTo(array, 10);
    EXPECT_EQ(array.capacity, 16u);
    while (array.count < 33)
        array.Append(Item(1));
    EXPECT_EQ(array.capacity, 64u);
    array.Clear();
}

TEST(ObjectArray, LightsGrowBySixteenAndShrinkByEight)
{
    ObjectArray array = Filled(lx3d::LightGrowStep, 17);
    EXPECT_EQ(array.capacity, 32u);
    RemoveDownTo(array, 16);
    EXPECT_EQ(array.capacity, 32u);
    RemoveDownTo(array, 15);
    EXPECT_EQ(array.capacity, 16u);
    RemoveDownTo(array, 0);
    EXPECT_EQ(array.capacity, 16u);
    array.Clear();
}

TEST(ObjectArray, InsertAndRemoveKeepTheOrder)
{
    ObjectArray array = Filled(0, 3);
    array.Insert(1, Item(9));
    ASSERT_EQ(array.count, 4u);
    EXPECT_EQ(array.At(0), Item(1));
    EXPECT_EQ(array.At(1), Item(9));
    EXPECT_EQ(array.At(2), Item(2));
    EXPECT_EQ(array.RemoveAt(0), Item(1));
    EXPECT_EQ(array.At(0), Item(9));
    EXPECT_EQ(array.At(2), Item(3));
    EXPECT_FALSE(array.Insert(9, Item(5)));
    array.Append(Item(9));
    EXPECT_EQ(array.LastIndexOf(Item(9)), 3);
    EXPECT_EQ(array.LastIndexOf(Item(7)), -1);
    array.Clear();
}
