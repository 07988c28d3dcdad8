#pragma once

// The game's window: the 3D view of the globe on the left, and a side panel
// with Scramble and Restore, a size slider and a help text.

#include "Lx3D.h"

#include <lxframework/Slider.h>
#include <lxframework/Window.h>

#include <array>
#include <cstdint>

namespace game {

class MainWindow : public lx::Window {
public:
    static constexpr int32_t PieceCount = 27;
    static constexpr int32_t SlotIndex = 13;

    // The pieces (PuzzleGroup3D), indexed by home cell; piece 13 is the
    // invisible empty slot.
    std::array<ObjectRef, PieceCount> myCubes;
    int32_t LastX = 0;
    int32_t LastY = 0;
    bool OfficialGame = false;
    ObjectRef SkyBackDropPic;
    int32_t XclickCorrection = 0;
    int32_t YclickCorrection = 0;
    double CamRadius = 0;
    bool ignoredrag = false;
    bool QuesaInstalled = false;

    void Layout() override;
    void CreateControls() override;
    void AddMenuHandlers() override;
    void Event_Open() override;
    void Event_Close() override;
    void Event_Paint(lx::Graphics&) override { }
    virtual bool FileClose_Action();

    // Control events.
    virtual void View3D1_MouseDrag(int32_t X, int32_t Y);
    virtual bool View3D1_MouseDown(int32_t X, int32_t Y);
    virtual void View3D1_MouseMove(int32_t X, int32_t Y);
    virtual void View3D1_Open();
    virtual void View3D1_MouseUp(int32_t X, int32_t Y);
    virtual void butScramble_Action();
    virtual void butScramble_Open() { }
    virtual void butRestore_Action();
    virtual void butRestore_Open() { }
    virtual void SliderSize_ValueChanged();
    virtual void StaticText3_Open();

    // The scene: camera, backdrop and headlight, and the orbit of all three.
    void InitCamBackdropAndLight();
    void MoveCamera(int32_t dx, int32_t dy);

    // The puzzle.
    void CreateCubes();
    void PositionCubesInDefaultPositions();
    bool IsPositionRestored();
    void ScaleCubes(double percent);
    void Scramble(int32_t count);
    void Scramble();
    void RestoreCube();
    void CheckStatus();
    ObjectRef FindObjectCorrected(lx::Object* view, int32_t X, int32_t Y);

    // The controls, found by name.
    lx::Ref<lx::RectControl> View3D1() const;
    lx::Ref<lx::RectControl> butRestore() const;
    lx::Ref<lx::Slider> SliderSize() const;

private:
    void CreateControls0();
    lx::Object* Piece(int32_t index) const;
    bool IsFaceNeighbour(lx::Object* piece) const;
    void Slide(lx::Object* piece);
    // The piece under the view-local point, or nil.
    lx::Object* ClickedPiece(int32_t X, int32_t Y);
    void ChooseCursor(int32_t X, int32_t Y);
};

}
