#include "GlobeTestSupport.h"

#include "globe/CellIndex.h"

#include <gtest/gtest.h>

using namespace bindings;
using namespace globe;

TEST(CellIndex, IndexAndCoordinatesAgreeForEveryCell)
{
    for (int32_t index = 0; index < CellCount; ++index) {
        const CellCoordinates cell = CellOf(index);
        EXPECT_EQ(CellIndex(cell), index);
        // 9x + 3y + z with grid coordinates 0 to 2.
        EXPECT_EQ(9 * (cell.X + 1) + 3 * (cell.Y + 1) + (cell.Z + 1), index);
        const Point home = HomePosition(index);
        EXPECT_EQ(home.X, 128.0 * cell.X);
        EXPECT_EQ(home.Y, 128.0 * cell.Y);
        EXPECT_EQ(home.Z, 128.0 * cell.Z);
    }
    EXPECT_EQ(CellOf(0), (CellCoordinates { -1, -1, -1 }));
    EXPECT_EQ(CellOf(16), (CellCoordinates { 0, 1, 0 }));
    EXPECT_EQ(CellOf(26), (CellCoordinates { 1, 1, 1 }));
}

TEST(CellIndex, KindsFollowTheNonZeroCoordinates)
{
    std::vector<int32_t> corners, sides, fronts, poles, centres;
    for (int32_t index = 0; index < CellCount; ++index) {
        switch (KindOf(index)) {
        case PieceKind::Corner:
            corners.push_back(index);
            break;
        case PieceKind::Side:
            sides.push_back(index);
            break;
        case PieceKind::Front:
            fronts.push_back(index);
            break;
        case PieceKind::Pole:
            poles.push_back(index);
            break;
        case PieceKind::Centre:
            centres.push_back(index);
            break;
        }
    }
    EXPECT_EQ(corners, (std::vector<int32_t> { 0, 2, 6, 8, 18, 20, 24, 26 }));
    EXPECT_EQ(sides, (std::vector<int32_t> { 1, 3, 5, 7, 9, 11, 15, 17, 19, 21, 23, 25 }));
    EXPECT_EQ(fronts, (std::vector<int32_t> { 4, 12, 14, 22 }));
    EXPECT_EQ(poles, (std::vector<int32_t> { 10, 16 }));
    EXPECT_EQ(centres, (std::vector<int32_t> { 13 }));
}
