// How a drawn button looks in each state: frames and their colours, where
// caption and image go, which cell is blended and how, and which pixels an
// alpha-hit button answers to.
#include "korvanta/skin/skin_button.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <QTest>
#include <QWidget>

#include "korvanta/skin/sab_format.h"
#include "korvanta/skin/skin_frames.h"
#include "korvanta/skin/skin_image.h"
#include "korvanta/skin/skin_owner.h"
#include "skin_test_owner.h"

namespace {

using kvtest::kBackground;
using kvtest::SkinTestOwner;
using kvtest::SkinWidgetTest;
using namespace skin_colours;

// A strip of size x size cells; cell k is filled with colours[k] (ARGB)
// inside a disc when round, everywhere otherwise.
SkinImage Strip(int size, const std::vector<QRgb>& colours, bool round = false) {
    SabImage sab{std::uint32_t(size * colours.size()), std::uint32_t(size), {}};
    for (int row = 0; row < size; ++row) {
        for (int column = 0; column < int(sab.width); ++column) {
            const double dx = column % size + 0.5 - size / 2.0, dy = row + 0.5 - size / 2.0;
            const bool inside = !round || dx * dx + dy * dy <= size * size / 4.0;
            const QRgb c = inside ? colours[std::size_t(column / size)] : 0;
            for (const int byte : {qAlpha(c), qRed(c), qGreen(c), qBlue(c)}) sab.pixels.push_back(std::uint8_t(byte));
        }
    }
    SkinImage image;
    EXPECT_TRUE(image.LoadSkinImageData(EncodeSab(sab)));
    return image;
}

// The smallest rectangle holding every pixel that differs from the background.
QRect Ink(const QImage& image) {
    QRect ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != (kBackground | 0xFF000000u)) ink |= QRect(x, y, 1, 1);
    return ink;
}

QRgb At(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFFu; }

struct OneButton {
    SkinTestOwner owner{QSize(80, 60)};
    SkinButtonBar bar;
    SkinButton* button;

    explicit OneButton(SkinRect rect) {
        bar.Create(1, BarOrientation::Horizontal, rect.Width(), rect.Height(), 0, kAlignLeft);
        bar.SetOwner(&owner);
        bar.SetOrigin(QPoint(rect.left, rect.top));
        owner.AddBar(bar);
    }
};

using SkinButtonTest = SkinWidgetTest;

TEST_F(SkinButtonTest, FrameFollowsStateAndCheck) {
    OneButton one({10, 10, 30, 24});
    const auto frame = [&](int state, bool checked) {
        one.bar.SetState(0, state, true);
        one.bar.SetChecked(0, checked);
        return one.owner.Render();
    };
    for (const int state : {kStateNormal, kStateDisabled}) {
        QImage image = frame(state, false);
        EXPECT_EQ(At(image, 10, 10), kFlatFrame & 0xFFFFFFu);
        EXPECT_EQ(At(image, 29, 23), kFlatFrame & 0xFFFFFFu);
        EXPECT_EQ(At(image, 30, 24), kBackground & 0xFFFFFFu) << "right and bottom are outside";
        EXPECT_EQ(At(image, 15, 15), kBackground & 0xFFFFFFu) << "the inside is the owner's";
        EXPECT_EQ(At(frame(state, true), 10, 10), kCheckedFrame & 0xFFFFFFu);
    }

    QImage hot = frame(kStateHot, false);
    EXPECT_EQ(At(hot, 10, 10), kLightEdge & 0xFFFFFFu);
    EXPECT_EQ(At(hot, 10, 22), kLightEdge & 0xFFFFFFu);
    EXPECT_EQ(At(hot, 29, 10), kDarkEdge & 0xFFFFFFu) << "the top-right corner belongs to the right edge";
    EXPECT_EQ(At(hot, 10, 23), kDarkEdge & 0xFFFFFFu);
    QImage hotChecked = frame(kStateHot, true);
    EXPECT_EQ(At(hotChecked, 10, 10), kCheckedLightEdge & 0xFFFFFFu);
    EXPECT_EQ(At(hotChecked, 29, 23), kCheckedDarkEdge & 0xFFFFFFu);

    QImage pressed = frame(kStatePressed, false);
    EXPECT_EQ(At(pressed, 10, 10), kBackground & 0xFFFFFFu) << "a pressed frame moves down and right";
    EXPECT_EQ(At(pressed, 11, 11), kDarkEdge & 0xFFFFFFu);
    EXPECT_EQ(At(pressed, 30, 24), kLightEdge & 0xFFFFFFu);

    one.bar.SetFrame(false);
    EXPECT_EQ(At(frame(kStateHot, false), 10, 10), kBackground & 0xFFFFFFu);
    EXPECT_EQ(At(frame(kStateHot, true), 10, 10), kCheckedFrame & 0xFFFFFFu) << "checked shows without a frame";
}

TEST_F(SkinButtonTest, CaptionIsPlacedByAlignmentAndShiftsWithTheState) {
    OneButton one({4, 4, 76, 56});
    one.bar.SetFrame(false);
    one.bar.SetCaption(0, "Wg", true);
    const QRect centred = Ink(one.owner.Render());
    ASSERT_FALSE(centred.isEmpty());
    EXPECT_LE(std::abs(centred.center().x() - 40), 2);
    EXPECT_LE(std::abs(centred.center().y() - 30), 3);

    one.bar.SetState(0, kStateHot, true);
    EXPECT_EQ(Ink(one.owner.Render()), centred.translated(-1, -1));
    one.bar.SetState(0, kStatePressed, true);
    EXPECT_EQ(Ink(one.owner.Render()), centred.translated(1, 1));
    one.bar.SetShift(false);
    EXPECT_EQ(Ink(one.owner.Render()), centred);

    // Right-aligned with a right-aligned image: the caption moves left past it.
    const SkinImage image = Strip(10, {0xFFFF0000, 0xFFFF0000, 0xFFFF0000, 0xFFFF0000});
    one.bar.SetState(0, kStateNormal, true);
    one.bar.SetImage(&image);
    one.bar.SetMargin(3);
    one.bar.SetTextAlign(kAlignRight, kAlignTop);
    one.bar.SetImageAlign(kAlignRight, kAlignTop);
    const QImage rendered = one.owner.Render();
    EXPECT_EQ(At(rendered, 76 - 3 - 10, 4 + 3), 0xFF0000u) << "image in the top-right corner inside the margin";
    EXPECT_EQ(At(rendered, 76 - 3 - 1, 4 + 3 + 9), 0xFF0000u);
    const QRect text = Ink(rendered.copy(0, 0, 76 - 3 - 10, 60));
    ASSERT_FALSE(text.isEmpty());
    EXPECT_LE(text.right(), 76 - 3 - 10 - 3) << "the caption ends a margin before the image";
}

TEST_F(SkinButtonTest, CaptionIsMeasuredAndDrawnInTheOwnersFont) {
    // A large font on a plain widget owner: the centred caption must still be
    // centred, which only holds when it is measured in the font it is drawn in.
    QWidget window;
    QFont large = window.font();
    large.setPixelSize(30);
    window.setFont(large);
    WidgetSkinOwner owner(window);
    SkinButton button;
    button.SetFrame(false);
    button.SetRect({0, 0, 200, 60});
    button.SetOwner(&owner);
    button.SetCaption("MMMM", false);
    QImage image(200, 60, QImage::Format_RGB32);
    image.fill(kBackground);
    QPainter dc(&image);
    button.Draw(dc);
    dc.end();
    const QRect ink = Ink(image);
    EXPECT_GT(ink.height(), 15) << "drawn in the owner's font";
    EXPECT_LE(std::abs(ink.center().x() - 100), 3);
}

TEST_F(SkinButtonTest, DrawsTheCellOfTheStateBlendedPixelByPixel) {
    // Normal opaque red, hot half-transparent white, pressed opaque blue, disabled none.
    const SkinImage image = Strip(8, {0xFFFF0000, 0x80FFFFFF, 0xFF0000FF, 0xFF00FF00});
    OneButton one({20, 20, 40, 40});
    one.bar.SetImage(&image);
    one.bar.SetCells(0, 0, 1, 2, -1);
    const auto centre = [&](int state) {
        one.bar.SetState(0, state, true);
        return At(one.owner.Render(), 30, 30);
    };
    EXPECT_EQ(centre(kStateNormal), 0xFF0000u);
    const auto blend = [](int device, int source) { return (device * (255 - 0x80) + source * 0x80) / 255; };
    EXPECT_EQ(centre(kStateHot), qRgb(blend(0x20, 0xFF), blend(0x30, 0xFF), blend(0x40, 0xFF)) & 0xFFFFFFu);
    EXPECT_EQ(centre(kStatePressed), 0x0000FFu);
    EXPECT_EQ(centre(kStateDisabled), kBackground & 0xFFFFFFu) << "a negative cell draws no image";

    // The image sits centred (26..33) and moves with the state like the caption.
    one.bar.SetState(0, kStatePressed, true);
    QImage pressed = one.owner.Render();
    EXPECT_EQ(At(pressed, 27, 27), 0x0000FFu);
    EXPECT_EQ(At(pressed, 26, 26), kBackground & 0xFFFFFFu);
    EXPECT_EQ(At(pressed, 34, 34), 0x0000FFu);

    one.bar.SetCells(0, 9, 9, 9, 9);
    EXPECT_EQ(centre(kStateNormal), kBackground & 0xFFFFFFu) << "a cell beyond the image draws nothing";
}

TEST_F(SkinButtonTest, AlphaHitIgnoresTransparentCorners) {
    const SkinImage disc = Strip(16, {0xFF0000FF, 0xFF0000FF, 0xFF0000FF, 0xFF0000FF}, true);
    OneButton one({10, 10, 26, 26});
    one.bar.SetImage(&disc);
    one.bar.SetAlphaHit(true);
    one.owner.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&one.owner));

    QTest::mouseMove(&one.owner, QPoint(10, 10));
    EXPECT_EQ(one.bar.GetState(0), kStateNormal) << "a transparent corner is not the button";
    QTest::mousePress(&one.owner, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(&one.owner, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(one.owner.clicks.empty());

    QTest::mouseMove(&one.owner, QPoint(18, 11));
    EXPECT_EQ(one.bar.GetState(0), kStateHot) << "one pixel inside the disc";
    QTest::mousePress(&one.owner, Qt::LeftButton, {}, QPoint(18, 11));
    QTest::mouseRelease(&one.owner, Qt::LeftButton, {}, QPoint(18, 11));
    EXPECT_EQ(one.owner.clicks.size(), 1u);

    SkinButton plain;
    plain.SetRect({10, 10, 26, 26});
    plain.SetAlphaHit(true);
    EXPECT_TRUE(plain.HitTest(QPoint(10, 10))) << "without an image the rectangle decides";
}

}  // namespace
