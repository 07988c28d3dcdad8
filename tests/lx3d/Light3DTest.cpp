#include "Light3D.h"
#include "Lx3DHost.h"

namespace {

class Light3DTest : public testing::Test {
protected:
    void SetUp() override
    {
        UseHostRegistrations();
        light = NewObject("Light3D");
    }

    lx3d::Light3DData& Data() { return *lx3d::LightOf(lx::ToLx(light.Get())); }

    // What the view does for each of its lights on an update.
    bool Update()
    {
        TQ3LightObject made = nullptr;
        bool isNew = lx3d::UpdateQuesaLight(lx::ToLx(light.Get()), made);
        EXPECT_EQ(made, isNew ? Data().light : nullptr);
        return isNew;
    }

    ObjectRef light;
};

}

TEST_F(Light3DTest, AttenuationIsClamped)
{
    Set<int32_t>(*light, "Attenuation", -5);
    EXPECT_EQ(Get<int32_t>(*light, "Attenuation"), 0);
    Set<int32_t>(*light, "Attenuation", 7);
    EXPECT_EQ(Get<int32_t>(*light, "Attenuation"), 2);
}

TEST_F(Light3DTest, NoVectorGivesNoLight)
{
    EXPECT_FALSE(Update());
    EXPECT_EQ(Data().light, nullptr);
    SetObject(*light, "Position", NewVector(1, 2, 3).Get());
    SetObject(*light, "Direction", NewVector(0, -1, 0).Get());
    EXPECT_FALSE(Update());
    EXPECT_EQ(Data().light, nullptr);
}

TEST_F(Light3DTest, PositionMakesAPointLightThatFollowsItsVector)
{
    ObjectRef position = NewVector(1, 2, 3);
    SetObject(*light, "Position", position.Get());
    EXPECT_TRUE(Update());
    TQ3LightObject made = Data().light;
    EXPECT_TRUE(Q3Object_IsType(made, kQ3LightTypePoint));
    EXPECT_FALSE(Update());
    Invoke("Vector3D.X.Set", position.Get(), 5.0);
    EXPECT_FALSE(Update());
    EXPECT_EQ(Data().light, made);
    EXPECT_EQ(Data().appliedLocation.x, 5.0f);
    // Any one coordinate is a change of its own.
    Invoke("Vector3D.Y.Set", position.Get(), 7.0);
    Update();
    EXPECT_EQ(Data().appliedLocation.y, 7.0f);
    Invoke("Vector3D.Z.Set", position.Get(), 9.0);
    Update();
    EXPECT_EQ(Data().appliedLocation.z, 9.0f);
}

TEST_F(Light3DTest, KindChangeMakesANewLight)
{
    SetObject(*light, "Position", NewVector(1, 2, 3).Get());
    EXPECT_TRUE(Update());
    SetObject(*light, "Position", nullptr);
    SetObject(*light, "Direction", NewVector(0, -2, 0).Get());
    EXPECT_TRUE(Update());
    EXPECT_TRUE(Q3Object_IsType(Data().light, kQ3LightTypeDirectional));
}

TEST_F(Light3DTest, OnlyRealChangesCount)
{
    SetObject(*light, "Direction", NewVector(0, 0, -1).Get());
    EXPECT_TRUE(Update());
    uint32_t count = Data().changeCount;
    Set<int32_t>(*light, "Brightness", 100);
    Set<lx::Color>(*light, "LightColor", lx::Color { 0xFFFFFF });
    EXPECT_EQ(Data().changeCount, count);
    TQ3LightObject made = Data().light;
    Set<int32_t>(*light, "Brightness", 0);
    EXPECT_EQ(Data().changeCount, count + 1);
    EXPECT_FALSE(Update());
    EXPECT_EQ(Data().light, made);
    EXPECT_EQ(Data().appliedCount, Data().changeCount);
}

TEST_F(Light3DTest, KeepsTheVectorItWasGiven)
{
    ObjectRef position = NewVector(1, 2, 3);
    int32_t before = position->ReferenceCount();
    SetObject(*light, "Position", position.Get());
    EXPECT_EQ(Get<ObjectRef>(*light, "Position"), position);
    EXPECT_EQ(position->ReferenceCount(), before + 1);
    SetObject(*light, "Position", position.Get());
    EXPECT_EQ(position->ReferenceCount(), before + 1);
    light = nullptr;
    EXPECT_EQ(position->ReferenceCount(), before);
}
