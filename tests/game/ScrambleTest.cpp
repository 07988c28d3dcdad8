// Scramble, Restore and the size slider, and the close-up of a solved official game.

#include "GameScene.h"
#include "Widgets.h"

#include <lxframework/Functions.h>
#include <lxframework/Slider.h>

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

#include <algorithm>
#include <cstdlib>
#include <set>

#include <gtest/gtest.h>

namespace {

constexpr uint64_t Seed = 20240611;

// The pieces a scramble draws, one per attempt, from the random numbers the
// framework gives after seeding with `seed`.
std::vector<int32_t> ScrambleDraws(uint64_t seed)
{
    lx::test::SeedRnd(seed);
    std::vector<int32_t> draws(1000);
    for (int32_t& k : draws)
        k = lx::ToInteger(lx::Rnd() * 27.0);
    return draws;
}

std::array<bindings::Point, 27> HomePlaces()
{
    std::array<bindings::Point, 27> places;
    for (int32_t i = 0; i < 27; ++i)
        places[i] = Home(i);
    return places;
}

// The scramble's attempts: a drawn face neighbour of the slot swaps places with it.
template <class Draws> std::array<bindings::Point, 27> Play(std::array<bindings::Point, 27> places, const Draws& draws)
{
    for (int32_t k : draws) {
        bindings::Point& slot = places[13];
        bindings::Point& piece = places[k];
        const double distance = std::abs(slot.X - piece.X) + std::abs(slot.Y - piece.Y) + std::abs(slot.Z - piece.Z);
        if (distance == 128)
            std::swap(slot, piece);
    }
    return places;
}

// Where each piece ends after 1000 scramble attempts from the solved globe.
std::array<bindings::Point, 27> PredictScramble(uint64_t seed) { return Play(HomePlaces(), ScrambleDraws(seed)); }

// A start from which the scramble with these random numbers solves the
// globe: each attempt undoes itself, so the attempts played backwards from
// the solved globe lead there.
std::array<bindings::Point, 27> StartThatScrambleSolves(uint64_t seed)
{
    const std::vector<int32_t> draws = ScrambleDraws(seed);
    return Play(HomePlaces(), std::vector<int32_t>(draws.rbegin(), draws.rend()));
}

void ExpectAllScales(game::MainWindow& window, double scale)
{
    for (double actual : MeshScales(window))
        EXPECT_NEAR(actual, scale, 1e-6);
}

}

TEST(Scramble, MovesThePiecesTheRandomNumbersChooseAndStartsAnOfficialGame)
{
    const std::array<bindings::Point, 27> expected = PredictScramble(Seed);
    RunGame([&](game::MainWindow& window) {
        window.SliderSize()->SetValue(70);
        const int before = Renders(window);
        lx::test::SeedRnd(Seed);
        PushButton(window, "butScramble");

        EXPECT_EQ(Renders(window) - before, 1);
        std::set<std::tuple<double, double, double>> occupied;
        for (int32_t i = 0; i < 27; ++i) {
            const bindings::Point at = PositionOf(window.myCubes[i].Get());
            EXPECT_EQ(at.X, expected[i].X) << "piece " << i;
            EXPECT_EQ(at.Y, expected[i].Y) << "piece " << i;
            EXPECT_EQ(at.Z, expected[i].Z) << "piece " << i;
            occupied.insert({ at.X, at.Y, at.Z });
        }
        EXPECT_EQ(occupied.size(), 27u);
        EXPECT_TRUE(window.OfficialGame);
        EXPECT_TRUE(window.butRestore()->Enabled());
        ExpectAllScales(window, 0.70);
        EXPECT_TRUE(lx::test::AutoWaitCursorEnabled());
    });
}

TEST(Scramble, AttemptThatDrawsTheSlotOrAFarPieceChangesNothing)
{
    RunGame([](game::MainWindow& window) {
        // Seeds whose first draw is the slot itself and a corner piece.
        for (int32_t wanted : { 13, 0 }) {
            uint64_t seed = 0;
            do {
                lx::test::SeedRnd(++seed);
            } while (lx::ToInteger(lx::Rnd() * 27.0) != wanted);
            lx::test::SeedRnd(seed);
            window.Scramble(1);
            EXPECT_TRUE(window.IsPositionRestored()) << "drew " << wanted;
        }
        window.Scramble(0);
        window.Scramble(-5);
        EXPECT_TRUE(window.IsPositionRestored());
        EXPECT_TRUE(lx::test::AutoWaitCursorEnabled());
    });
}

TEST(Scramble, ThatLeavesTheGlobeSolvedKeepsWhetherTheGameIsOfficial)
{
    const std::array<bindings::Point, 27> start = StartThatScrambleSolves(Seed);
    RunGame([&](game::MainWindow& window) {
        for (bool official : { false, true }) {
            window.OfficialGame = official;
            for (int32_t i = 0; i < 27; ++i)
                MovePiece(window, i, start[i]);
            ASSERT_FALSE(window.IsPositionRestored());
            window.butRestore()->SetEnabled(true);
            lx::test::SeedRnd(Seed);
            PushButton(window, "butScramble");
            EXPECT_TRUE(window.IsPositionRestored());
            EXPECT_EQ(window.OfficialGame, official);
            EXPECT_FALSE(window.butRestore()->Enabled());
        }
    });
}

TEST(Scramble, SolvingAnOfficialGameClosesTheGlobeUp)
{
    RunGame([](game::MainWindow& window) {
        PushButton(window, "butScramble");
        ASSERT_TRUE(window.OfficialGame);
        // One slide away from solved: piece 14 in the centre, the slot in front.
        for (int32_t i = 0; i < 27; ++i)
            MovePiece(window, i, Home(i));
        MovePiece(window, 14, Home(13));
        MovePiece(window, 13, Home(14));

        const int before = Renders(window);
        Click(window, FrontCentre);
        EXPECT_TRUE(window.IsPositionRestored());
        EXPECT_FALSE(window.butRestore()->Enabled());
        EXPECT_EQ(Renders(window) - before, 5);
        ExpectAllScales(window, 1.0);
        EXPECT_EQ(window.SliderSize()->Value(), 85);
        EXPECT_TRUE(window.OfficialGame);

        // The slider opens the gaps again; the game stays solved.
        const int beforeSlider = Renders(window);
        window.SliderSize()->SetValue(60);
        EXPECT_EQ(Renders(window) - beforeSlider, 1);
        ExpectAllScales(window, 0.60);
        EXPECT_FALSE(window.butRestore()->Enabled());
    });
}

TEST(Restore, PutsEveryPieceHomeAndEndsTheOfficialGame)
{
    RunGame([](game::MainWindow& window) {
        PushButton(window, "butScramble");
        window.SliderSize()->SetValue(50);
        const int before = Renders(window);
        PushButton(window, "butRestore");
        EXPECT_TRUE(window.IsPositionRestored());
        EXPECT_FALSE(window.OfficialGame);
        EXPECT_FALSE(window.butRestore()->Enabled());
        EXPECT_EQ(Renders(window) - before, 2);
        ExpectAllScales(window, 0.50);
    });
}

TEST(Slider, PageKeysStepByTwentyAndArrowKeysByOne)
{
    RunGame([](game::MainWindow& window) {
        lx::Ref<lx::Slider> slider = window.SliderSize();
        auto press = [&](Qt::Key key) {
            QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
            QApplication::sendEvent(lx::WidgetOf(*slider), &event);
            return slider->Value();
        };
        EXPECT_EQ(press(Qt::Key_PageDown), 65);
        ExpectAllScales(window, 0.65);
        EXPECT_EQ(press(Qt::Key_Left), 64);
        EXPECT_EQ(press(Qt::Key_PageUp), 84);
        EXPECT_EQ(press(Qt::Key_Right), 85);
        ExpectAllScales(window, 0.85);
    });
}

TEST(Slider, ScalesEveryMeshWithinItsRange)
{
    RunGame([](game::MainWindow& window) {
        lx::Ref<lx::Slider> slider = window.SliderSize();
        const int before = Renders(window);
        slider->SetValue(40);
        EXPECT_EQ(Renders(window) - before, 1);
        ExpectAllScales(window, 0.40);
        slider->SetValue(10);
        EXPECT_EQ(slider->Value(), 25);
        ExpectAllScales(window, 0.25);
        slider->SetValue(140);
        EXPECT_EQ(slider->Value(), 100);
        ExpectAllScales(window, 1.0);
    });
}
