#pragma once

// Reading and arranging the game's scene from a test, and driving the view
// with the framework's synthetic mouse input.

#include "GameRun.h"

#include "bindings/Point.h"

#include <QPoint>

#include <array>

bindings::Point PositionOf(lx::Object* element);
bool VisibleOf(lx::Object* element);
bindings::Point CameraPosition(game::MainWindow& window);
double Length(bindings::Point v);
// The home of piece i, (128x - 128, 128y - 128, 128z - 128) for i = 9x + 3y + z.
bindings::Point Home(int32_t index);
void MovePiece(game::MainWindow& window, int32_t index, bindings::Point to);
// Every mesh's scale, piece by piece.
std::vector<double> MeshScales(game::MainWindow& window);
// The index of the piece picked at the point, or -1 for none.
int32_t PickedIndex(game::MainWindow& window, QPoint point);

// Renders of the view so far.
int Renders(game::MainWindow& window);

void Click(game::MainWindow& window, QPoint point, Qt::MouseButton button = Qt::LeftButton,
    Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// A press at `from`, one drag event at each point of `path`, a release at the last.
void Drag(game::MainWindow& window, QPoint from, std::vector<QPoint> path);
void Hover(game::MainWindow& window, QPoint point, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
void PushButton(game::MainWindow& window, const char* name);
std::string ViewCursor(game::MainWindow& window);

constexpr QPoint FrontCentre { 256, 256 }; // piece 14, next to the slot
constexpr QPoint TopFrontEdge { 256, 147 }; // piece 17, two axes away from the slot
constexpr QPoint Corner { 20, 20 }; // the star backdrop
