#include "Lx3DUtil.h"

#include <array>
#include <gtest/gtest.h>

using namespace lx3d;

TEST(ByteOrder, ReverseBytes)
{
    std::array<unsigned char, 5> odd { 1, 2, 3, 4, 5 };
    ReverseBytes(odd.data(), odd.size());
    EXPECT_EQ(odd, (std::array<unsigned char, 5> { 5, 4, 3, 2, 1 }));
    std::array<unsigned char, 4> even { 1, 2, 3, 4 };
    ReverseBytes(even.data(), even.size());
    EXPECT_EQ(even, (std::array<unsigned char, 4> { 4, 3, 2, 1 }));
    unsigned char one = 7;
    ReverseBytes(&one, 1);
    ReverseBytes(&one, 0);
    EXPECT_EQ(one, 7);
}

TEST(ByteOrder, BigEndianReads)
{
    const unsigned char word[] = { 0x00, 0x0C, 0x07, 0x2C };
    EXPECT_EQ(ReadBigEndian32(word), 788268u);
    const unsigned char negative[] = { 0xFF, 0xFE };
    EXPECT_EQ(ReadBigEndian16(negative), -2);
}

TEST(QuesaLifetime, SharedBoundsViewLivesWhileUsersDo)
{
    TQ3Uns32 objectsBefore = Q3Object_LiveCount();
    AcquireQuesa();
    EXPECT_TRUE(Q3IsInitialized());
    TQ3ViewObject view = SharedBoundsView();
    ASSERT_NE(view, nullptr);
    TQ3CameraObject camera = nullptr;
    EXPECT_EQ(Q3View_GetCamera(view, &camera), kQ3Success);
    EXPECT_NE(camera, nullptr);
    Q3Object_Dispose(camera);

    AcquireQuesa();
    ReleaseQuesa();
    EXPECT_EQ(SharedBoundsView(), view);
    ReleaseQuesa();
    EXPECT_EQ(QuesaLiveCount(), 0);
    EXPECT_EQ(Q3Object_LiveCount(), objectsBefore);
    // The library stays up; the next user gets a fresh view.
    AcquireQuesa();
    EXPECT_TRUE(Q3IsInitialized());
    EXPECT_NE(SharedBoundsView(), nullptr);
    ReleaseQuesa();
    EXPECT_EQ(Q3Object_LiveCount(), objectsBefore);
}

TEST(QuesaLifetime, LibraryIsInitialisedOnceForAllUsers)
{
    AcquireQuesa();
    const TQ3Uns32 initialisations = Q3Debug_InitializeCount();
    AcquireQuesa();
    ReleaseQuesa();
    ReleaseQuesa();
    // Users come again after the last one went.
    AcquireQuesa();
    AcquireQuesa();
    ReleaseQuesa();
    ReleaseQuesa();
    EXPECT_EQ(Q3Debug_InitializeCount(), initialisations);
}

TEST(QuesaLifetime, UnmatchedReleaseNeverGoesBelowZero)
{
    ReleaseQuesa();
    EXPECT_EQ(QuesaLiveCount(), 0);
    AcquireQuesa();
    EXPECT_EQ(QuesaLiveCount(), 1);
    ReleaseQuesa();
}

TEST(QuesaStatus, FailureClearsTheLibraryError)
{
    TQ3ViewObject view = Q3View_New();
    // A view is no camera: the library records an error.
    EXPECT_EQ(Q3View_SetCamera(view, view), kQ3Failure);
    CheckQuesaStatus(kQ3Success, __FILE__, __LINE__);
    CheckQuesaStatus(kQ3Failure, __FILE__, __LINE__);
    EXPECT_EQ(Q3Error_Get(nullptr), kQ3ErrorNone);
    Q3Object_Dispose(view);
}

TEST(FailedAssertionDeathTest, PrintsTheMessageAndAborts)
{
    struct View {
        void* mView = nullptr;
    } view;
    View* me = &view;
    EXPECT_DEATH(LX3D_ASSERT(me->mView), "^Lx3DUtilTest\\.cpp:[0-9]+: failed assertion `me->mView'\n$");
}
