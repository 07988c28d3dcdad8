// The typed facade over LX3D: one way to make plug-in objects, one error
// policy, and the vector values the game and the globe read and write.

#include "BindingsTestSupport.h"

#include "../lxframework/RaisedBy.h"
#include "bindings/Lx3D.h"

#include <gtest/gtest.h>

using namespace bindings;

// The new object is nil, and the game and the globe meet it as the nil object it
// is; callers that catch RuntimeException still catch it.
TEST(Lx3DFacade, AClassNoPluginRegisteredRaisesNilObjectException)
{
    BindOnce();
    EXPECT_EQ(RaisedBy([] { NewObjectOfClass("NoSuchClass"); }), "NilObjectException");
    try {
        NewObjectOfClass("NoSuchClass");
    } catch (const lx::Exception& exception) {
        EXPECT_TRUE(exception.Is<lx::RuntimeException>());
        EXPECT_NE(std::string(exception.what()).find("NoSuchClass"), std::string::npos) << exception.what();
    }
}

TEST(Lx3DFacade, NilReceiversRaiseNilObjectException)
{
    BindOnce();
    EXPECT_EQ(RaisedBy([] { ReadVector(nullptr); }), "NilObjectException");
    EXPECT_EQ(RaisedBy([] { WriteVector(nullptr, {}); }), "NilObjectException");
    EXPECT_EQ(RaisedBy([] { Element3D::Position(nullptr); }), "NilObjectException");
    EXPECT_EQ(RaisedBy([] { Group3D::Count(nullptr); }), "NilObjectException");
}

TEST(Lx3DFacade, AMissingPropertyReadsNilAndRaisesWhenWritten)
{
    BindOnce();
    ObjectRef vector = NewVector(0, 0, 0);
    EXPECT_FALSE(ObjectField(vector, "Position"));
    EXPECT_EQ(RaisedBy([&] { SetBooleanField(vector, "Visible", true); }), "other");
}

TEST(Lx3DFacade, NewVectorsHoldSinglePrecisionCoordinates)
{
    BindOnce();
    const Point point = ReadVector(NewVector(0.1, -1e-3, 128.5));
    EXPECT_EQ(point.X, double(0.1f));
    EXPECT_EQ(point.Y, double(-1e-3f));
    EXPECT_EQ(point.Z, 128.5);
}
