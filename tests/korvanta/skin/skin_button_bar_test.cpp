// Button bars under a real owner widget: layout from the origin, the mouse
// protocol (a click happens on release on the button that shows pressed),
// indices outside the bar, tooltips, and the two transport bars.
#include "korvanta/skin/skin_button_bar.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <QTest>

#include <algorithm>

#include "korvanta/skin/skin_image.h"
#include "korvanta/skin/transport_bar.h"
#include "skin_test_owner.h"

namespace {

using kvtest::SkinTestOwner;
using kvtest::SkinWidgetTest;

// Three 20 x 20 buttons, 4 apart, from (10, 10): x 10-29, 34-53, 58-77.
struct ThreeButtons {
    SkinTestOwner owner{QSize(100, 50)};
    SkinButtonBar bar;

    ThreeButtons() {
        bar.Create(3, BarOrientation::Horizontal, 20, 20, 4, kAlignLeft);
        bar.SetOwner(&owner);
        bar.SetOrigin(QPoint(10, 10));
        for (int i = 0; i < 3; ++i) bar.SetName(i, "Button" + std::to_string(i));
        owner.AddBar(bar);
        owner.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&owner));
    }
    void Press(QPoint point) { QTest::mousePress(&owner, Qt::LeftButton, {}, point); }
    void Move(QPoint point) { QTest::mouseMove(&owner, point); }
    void Release(QPoint point) { QTest::mouseRelease(&owner, Qt::LeftButton, {}, point); }
};

constexpr QPoint kOnFirst(15, 15);
constexpr QPoint kOnSecond(40, 15);
constexpr QPoint kBetween(31, 15);

using SkinButtonBarTest = SkinWidgetTest;

TEST_F(SkinButtonBarTest, DragOffAndBackClicksOnceOnRelease) {
    ThreeButtons three;
    three.Move(kOnFirst);
    EXPECT_EQ(three.bar.GetState(0), kStateHot);
    three.Press(kOnFirst);
    EXPECT_TRUE(three.bar.IsPressed(0));
    three.Move(kBetween);
    EXPECT_EQ(three.bar.GetState(0), kStateNormal) << "dragged off";
    three.Move(kOnSecond);
    EXPECT_EQ(three.bar.GetState(1), kStateNormal) << "a held button does not press what it passes";
    three.Move(kOnFirst);
    EXPECT_TRUE(three.bar.IsPressed(0)) << "armed: dragging back presses again";
    EXPECT_TRUE(three.owner.clicks.empty()) << "nothing happens before the release";
    three.Release(kOnFirst);
    ASSERT_EQ(three.owner.clicks.size(), 1u);
    EXPECT_EQ(three.owner.clicks[0].bar, &three.bar);
    EXPECT_EQ(three.owner.clicks[0].index, 0);
    EXPECT_EQ(three.bar.GetState(0), kStateHot) << "the mouse is still over it";

    three.Press(kOnFirst);
    three.Move(kBetween);
    three.Release(kBetween);
    EXPECT_EQ(three.owner.clicks.size(), 1u) << "released off the button: no command";
}

TEST_F(SkinButtonBarTest, PressOutsideThenDragOverDoesNotClick) {
    ThreeButtons three;
    three.Move(kBetween);
    three.Press(kBetween);
    three.Move(kOnSecond);
    EXPECT_EQ(three.bar.GetState(1), kStateNormal) << "not armed, so not pressed";
    EXPECT_FALSE(three.bar.IsPressed(1));
    three.Release(kOnSecond);
    EXPECT_TRUE(three.owner.clicks.empty());
}

TEST_F(SkinButtonBarTest, TwoClicksOnOneSpotAreTwoCommands) {
    // The release leaves every button normal; the second press must still
    // take the button without a move in between.
    ThreeButtons three;
    three.Move(kOnSecond);
    for (int i = 0; i < 2; ++i) {
        three.Press(kOnSecond);
        three.Release(kOnSecond);
    }
    EXPECT_EQ(three.owner.clicks.size(), 2u);
}

TEST_F(SkinButtonBarTest, DisabledButtonNeverReacts) {
    ThreeButtons three;
    three.bar.SetState(1, kStateDisabled, true);
    three.Move(kOnSecond);
    three.Press(kOnSecond);
    EXPECT_EQ(three.bar.GetState(1), kStateDisabled);
    three.Release(kOnSecond);
    EXPECT_EQ(three.bar.GetState(1), kStateDisabled) << "release keeps it disabled";
    EXPECT_TRUE(three.owner.clicks.empty());

    SkinButton button;
    button.SetState(kStateDisabled, false);
    EXPECT_FALSE(button.Track(false, false));
    EXPECT_FALSE(button.Track(true, false));
    button.Release(false);
    EXPECT_EQ(button.State(), kStateDisabled);
    EXPECT_FALSE(button.IsArmed());
}

TEST_F(SkinButtonBarTest, LeavingTheWindowReturnsButtonsToNormal) {
    ThreeButtons three;
    three.Move(kOnFirst);
    three.owner.invalidated.clear();
    kvtest::SendLeave(three.owner);
    EXPECT_EQ(three.bar.GetState(0), kStateNormal);
    ASSERT_EQ(three.owner.invalidated.size(), 1u) << "only the button that changed repaints";
    EXPECT_EQ(three.owner.invalidated[0], (SkinRect{10, 10, 31, 31})) << "with room for the pressed frame";
}

TEST_F(SkinButtonBarTest, LaysOutFromTheOriginByAlignment) {
    SkinButtonBar bar;
    struct Case {
        BarOrientation orientation;
        int alignment;
        SkinRect first;
    };
    for (const Case& c : {Case{BarOrientation::Horizontal, kAlignLeft, {100, 50, 110, 58}},
                          Case{BarOrientation::Horizontal, kAlignCentre, {100 - 18, 50, 100 - 8, 58}},
                          Case{BarOrientation::Horizontal, kAlignRight, {100 - 36, 50, 100 - 26, 58}},
                          Case{BarOrientation::Vertical, kAlignTop, {100, 50, 110, 58}},
                          Case{BarOrientation::Vertical, kAlignCentre, {100, 50 - 15, 110, 50 - 7}},
                          Case{BarOrientation::Vertical, kAlignBottom, {100, 50 - 30, 110, 50 - 22}}}) {
        bar.Create(3, c.orientation, 10, 8, 2, c.alignment);
        bar.SetOrigin(QPoint(100, 50));
        bar.SetName(0, "first");
        bar.SetName(2, "last");
        const SkinTool first = bar.ToolAt(QPoint(c.first.left, c.first.top));
        EXPECT_EQ(first.name, "first");
        EXPECT_EQ(first.rect, c.first);
        const int step = c.orientation == BarOrientation::Horizontal ? 12 : 10;
        const QPoint lastCorner = c.orientation == BarOrientation::Horizontal
                                      ? QPoint(c.first.left + 2 * step, c.first.top)
                                      : QPoint(c.first.left, c.first.top + 2 * step);
        EXPECT_EQ(bar.ToolAt(lastCorner).name, "last");
        EXPECT_EQ(bar.HitIndex(lastCorner), 2);
    }
    bar.SetButtonWidth(20);
    EXPECT_EQ(bar.ToolAt(QPoint(119, 20)).rect, (SkinRect{100, 20, 120, 28})) << "laid out again at the origin";
    EXPECT_TRUE(bar.ToolAt(QPoint(0, 0)).name.empty());
    EXPECT_EQ(bar.HitIndex(QPoint(0, 0)), -1);
}

TEST_F(SkinButtonBarTest, IndicesOutsideTheBarAreIgnored) {
    SkinButtonBar bar;
    bar.Create(2, BarOrientation::Horizontal, 10, 10, 0, kAlignLeft);
    for (const int index : {-1, 2}) {
        bar.SetState(index, kStateHot, true);
        bar.SetChecked(index, true);
        bar.SetCells(index, 1, 2, 3, 4);
        bar.SetName(index, "x");
        bar.SetCaption(index, "x", true);
        EXPECT_EQ(bar.GetState(index), kStateDisabled);
        EXPECT_FALSE(bar.IsPressed(index));
        EXPECT_FALSE(bar.IsChecked(index));
    }
    bar.Create(-3, BarOrientation::Horizontal, 10, 10, 0, kAlignLeft);
    EXPECT_EQ(bar.Count(), 0);
}

TEST_F(SkinButtonBarTest, TransportBarsHaveTheirButtonsCellsAndStartingStates) {
    ASSERT_TRUE(LoadSharedSkinImages());
    const SkinImage& art = SharedSkinImage(181);
    struct Mode {
        bool camera;
        std::vector<std::string> names;
        std::vector<int> firstCells;
        std::vector<int> disabled;
    };
    const Mode camera{true,
                      {"BtnCaptFastBack", "BtnCaptSlowBack", "BtnCaptStepBack", "BtnCaptStop", "BtnCaptPause",
                       "BtnCaptPlay", "BtnCaptStepForw", "BtnCaptSlowForw", "BtnCaptFastForw"},
                      {12, 20, 28, 0, 4, 8, 32, 24, 16},
                      {2, 4, 6}};
    const Mode file{false,
                    {"BtnFastBack", "BtnSlowBack", "BtnStop", "BtnPause", "BtnPlay", "BtnSlowForw", "BtnFastForw"},
                    {12, 20, 0, 4, 8, 24, 16},
                    {3}};
    for (const Mode& mode : {camera, file}) {
        SkinTestOwner owner(QSize(120, 30));
        TransportBar bar(&owner, mode.camera);
        bar.SetOrigin(QPoint(60, 10));
        owner.AddBar(bar);
        ASSERT_EQ(bar.Count(), int(mode.names.size()));
        const int stop = bar.IndexOf(TransportButton::Stop);
        EXPECT_TRUE(bar.IsChecked(stop));
        EXPECT_EQ(bar.IndexOf(TransportButton::StepBack) >= 0, mode.camera);

        // Each button draws its own cell for its state, with no frame.
        bar.SetState(bar.IndexOf(TransportButton::Play), kStateHot, false);
        const QImage drawn = owner.Render();
        const int left = 60 - 12 * bar.Count() / 2;
        for (int i = 0; i < bar.Count(); ++i) {
            SCOPED_TRACE(mode.names[std::size_t(i)]);
            const SkinTool tool = bar.ToolAt(QPoint(left + 12 * i + 6, 16));
            EXPECT_EQ(tool.name, mode.names[std::size_t(i)]);
            EXPECT_EQ(tool.rect, (SkinRect{left + 12 * i, 10, left + 12 * i + 12, 22}));
            const bool disabled = std::count(mode.disabled.begin(), mode.disabled.end(), i) != 0;
            const int play = bar.IndexOf(TransportButton::Play);
            EXPECT_EQ(bar.GetState(i), disabled ? kStateDisabled : i == play ? kStateHot : kStateNormal);

            QImage expected(12, 12, QImage::Format_RGB32);
            expected.fill(kvtest::kBackground);
            QPainter dc(&expected);
            art.DrawCell(dc, 0, 0, mode.firstCells[std::size_t(i)] + bar.GetState(i));
            dc.end();
            // Inside the one-pixel outline that the checked Stop button shows.
            for (int y = 1; y < 11; ++y)
                for (int x = 1; x < 11; ++x)
                    ASSERT_EQ(drawn.pixel(left + 12 * i + x, 10 + y), expected.pixel(x, y)) << x << "," << y;
        }
    }
}

}  // namespace
