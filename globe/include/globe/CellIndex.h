#pragma once

#include "bindings/Point.h"

#include <cstdint>

namespace globe {

// The globe is cut into the 27 cells of a 3 x 3 x 3 grid of cubes. A cell is
// named by its centred coordinates X, Y, Z (each -1, 0 or 1; Y is the polar
// axis, north at +Y) or by its cell index 9X + 3Y + Z + 13, from 0 to 26.

constexpr int32_t CellCount = 27;
// The centred coordinates run from FirstCoordinate to LastCoordinate.
constexpr int32_t FirstCoordinate = -1;
constexpr int32_t LastCoordinate = 1;
constexpr int32_t CentreCell = 13;
// Scene units to one cube side (one globe unit).
constexpr int32_t CellSize = 128;

struct CellCoordinates {
    int32_t X = 0;
    int32_t Y = 0;
    int32_t Z = 0;
    friend bool operator==(const CellCoordinates&, const CellCoordinates&) = default;
};

// Which prototype shape a cell's geometry comes from: three non-zero
// coordinates make a corner, two a side, one a front (a pole when it is Y),
// none the centre, which has no geometry and starts as the empty slot.
enum class PieceKind { Corner, Side, Front, Pole, Centre };

constexpr int32_t CellIndex(CellCoordinates cell) { return 9 * cell.X + 3 * cell.Y + cell.Z + CentreCell; }

// The coordinates of a cell index from 0 to 26.
constexpr CellCoordinates CellOf(int32_t index) { return { index / 9 - 1, index / 3 % 3 - 1, index % 3 - 1 }; }

// Where the cell's piece stands when the puzzle is solved, in scene units.
constexpr bindings::Point HomePosition(int32_t index)
{
    const CellCoordinates cell = CellOf(index);
    return { double(CellSize * cell.X), double(CellSize * cell.Y), double(CellSize * cell.Z) };
}

constexpr PieceKind KindOf(int32_t index)
{
    const CellCoordinates cell = CellOf(index);
    const int32_t nonZero = (cell.X != 0) + (cell.Y != 0) + (cell.Z != 0);
    switch (nonZero) {
    case 3:
        return PieceKind::Corner;
    case 2:
        return PieceKind::Side;
    case 1:
        return cell.Y != 0 ? PieceKind::Pole : PieceKind::Front;
    default:
        return PieceKind::Centre;
    }
}

}
