#include "GameScene.h"

#include "bindings/EntryPoints.h"
#include "bindings/Lx3D.h"

#include "globe/PuzzlePiece.h"

#include <lxframework/Property.h>
#include <lxframework/Runtime.h>

#include <cmath>

using namespace game;
using namespace bindings;

Point PositionOf(lx::Object* element) { return ReadVector(Element3D::Position(ObjectRef(element))); }

bool VisibleOf(lx::Object* element)
{
    return lx::GetProperty<bool>(*element, *element->ObjectClass().FindProperty("Visible"));
}

Point CameraPosition(MainWindow& window) { return PositionOf(Lx3DSpace::Camera(window.View3D1()).Get()); }

double Length(Point v) { return std::sqrt(v.X * v.X + v.Y * v.Y + v.Z * v.Z); }

Point Home(int32_t index)
{
    constexpr double Cell = 128;
    return { Cell * (index / 9 - 1), Cell * (index / 3 % 3 - 1), Cell * (index % 3 - 1) };
}

void MovePiece(MainWindow& window, int32_t index, Point to)
{
    WriteVector(Element3D::Position(window.myCubes[index]), to);
}

std::vector<double> MeshScales(MainWindow& window)
{
    std::vector<double> scales;
    for (const ObjectRef& piece : window.myCubes) {
        for (int32_t c = 0; c < Group3D::Count(piece); ++c)
            scales.push_back(Call<double>(Slot::Element3DScaleGet, Group3D::Item(piece, c).Get()));
    }
    return scales;
}

int32_t PickedIndex(MainWindow& window, QPoint point)
{
    ObjectRef picked = window.FindObjectCorrected(window.View3D1(), point.x(), point.y());
    globe::PuzzlePiece* piece = globe::AsPuzzlePiece(picked.Get());
    return piece ? piece->Index() : -1;
}

int Renders(MainWindow& window) { return lx::test::PresentCount(*window.View3D1()); }

void Click(MainWindow& window, QPoint point, Qt::MouseButton button, Qt::KeyboardModifiers modifiers)
{
    lx::Ref<lx::RectControl> view = window.View3D1();
    lx::test::MousePress(*view, point, button, modifiers);
    lx::test::MouseRelease(*view, point, button, modifiers);
}

void Drag(MainWindow& window, QPoint from, std::vector<QPoint> path)
{
    lx::Ref<lx::RectControl> view = window.View3D1();
    lx::test::MousePress(*view, from);
    for (QPoint point : path)
        lx::test::MouseMove(*view, point, Qt::LeftButton);
    lx::test::MouseRelease(*view, path.empty() ? from : path.back());
}

void Hover(MainWindow& window, QPoint point, Qt::KeyboardModifiers modifiers)
{
    lx::test::MouseMove(*window.View3D1(), point, Qt::NoButton, modifiers);
}

void PushButton(MainWindow& window, const char* name)
{
    lx::Ref<lx::RectControl> button = lx::RuntimeWindowControlByName(&window, name);
    const QPoint inside { 10, 10 };
    lx::test::MousePress(*button, inside);
    lx::test::MouseRelease(*button, inside);
}

std::string ViewCursor(MainWindow& window)
{
    lx::Ref<lx::MouseCursor> cursor = window.View3D1()->MouseCursor();
    return cursor ? cursor->Identity() : "";
}
