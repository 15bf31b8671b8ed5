// Draws every drawn control in every state with the program's artwork into
// controls-gallery.png in the build tree (three times enlarged, pixel for
// pixel), for review by eye.
#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

#include <array>
#include <string>

#include "korvanta/skin/level_meter.h"
#include "korvanta/skin/skin_button_bar.h"
#include "korvanta/skin/skin_image.h"
#include "korvanta/skin/skin_slider.h"
#include "korvanta/skin/transport_bar.h"
#include "skin_test_owner.h"

namespace {

constexpr std::array<int, 4> kStates = {kStateNormal, kStateHot, kStatePressed, kStateDisabled};
constexpr int kLabelWidth = 150;
constexpr int kColumnWidth = 100;

void Label(QPainter& dc, int y, const char* text) {
    dc.setPen(Qt::black);
    dc.drawText(QRect(4, y, kLabelWidth - 8, 24), Qt::AlignLeft | Qt::AlignVCenter, text);
}

// One button per state, side by side, each made by make() at its rectangle.
template <typename Make>
void ButtonRow(QPainter& dc, int y, int height, const char* label, Make make) {
    Label(dc, y, label);
    for (const int state : kStates) {
        SkinButtonBar bar;
        bar.Create(1, BarOrientation::Horizontal, kColumnWidth - 20, height, 0, kAlignLeft);
        bar.SetOrigin(QPoint(kLabelWidth + state * kColumnWidth, y));
        make(bar);
        bar.SetState(0, state, false);
        bar.Draw(dc);
    }
}

using SkinControlsGallery = kvtest::SkinWidgetTest;

TEST_F(SkinControlsGallery, WritesEveryControlInEveryState) {
    ASSERT_TRUE(LoadSharedSkinImages());
    SkinImage mainButtons;
    ASSERT_TRUE(mainButtons.LoadSkinImage(185));
    const SkinImage& frameCapture = SharedSkinImage(183);

    QImage gallery(kLabelWidth + 4 * kColumnWidth, 900, QImage::Format_RGB32);
    QPainter dc(&gallery);
    QLinearGradient backdrop(0, 0, gallery.width(), 0);
    backdrop.setColorAt(0, QColor(236, 242, 245));
    backdrop.setColorAt(1, QColor(193, 211, 222));
    dc.fillRect(gallery.rect(), backdrop);
    const char* stateNames[] = {"normal", "hot", "pressed", "disabled"};
    for (const int state : kStates)
        dc.drawText(QRect(kLabelWidth + state * kColumnWidth, 2, kColumnWidth, 16), Qt::AlignLeft, stateNames[state]);

    int y = 20;
    ButtonRow(dc, y, 22, "caption", [](SkinButtonBar& bar) { bar.SetCaption(0, "Start", false); });
    ButtonRow(dc, y += 30, 22, "caption, checked", [](SkinButtonBar& bar) {
        bar.SetCaption(0, "Start", false);
        bar.SetChecked(0, true);
    });
    ButtonRow(dc, y += 30, 22, "no frame, checked", [](SkinButtonBar& bar) {
        bar.SetCaption(0, "Folder", false);
        bar.SetFrame(false);
        bar.SetChecked(0, true);
    });
    ButtonRow(dc, y += 30, 22, "image left + caption", [&](SkinButtonBar& bar) {
        bar.SetImage(&frameCapture);
        bar.SetCells(0, 1, 0, 0, 2);
        bar.SetTextAlign(kAlignLeft, kAlignCentre);
        bar.SetImageAlign(kAlignLeft, kAlignCentre);
        bar.SetCaption(0, "Still", false);
    });
    ButtonRow(dc, y += 30, 36, "image, no frame", [&](SkinButtonBar& bar) {
        bar.SetImage(&mainButtons);
        bar.SetFrame(false);
        bar.SetAlphaHit(true);
    });
    y += 24;

    // Transport bars: every button in one state per row, then as created.
    for (const bool camera : {true, false}) {
        for (const int state : kStates) {
            TransportBar bar(nullptr, camera);
            bar.SetOrigin(QPoint(kLabelWidth + 2 * kColumnWidth, y += 26));
            for (int i = 0; i < bar.Count(); ++i) bar.SetState(i, state, false);
            Label(dc, y - 6, (std::string(camera ? "camera bar, " : "file bar, ") + stateNames[state]).c_str());
            bar.Draw(dc);
        }
        TransportBar initial(nullptr, camera);
        initial.SetOrigin(QPoint(kLabelWidth + 2 * kColumnWidth, y += 26));
        Label(dc, y - 6, camera ? "camera bar, new" : "file bar, new");
        initial.Draw(dc);
    }

    // Sliders in their three states: a plain one at a third, a centred one
    // at rest and dragged to the right.
    for (const int state : {kStateNormal, kStateHot, kStateDisabled}) {
        y += 24;
        Label(dc, y - 4, (std::string("sliders, ") + stateNames[state]).c_str());
        SkinSlider plain;
        plain.SetRect(kLabelWidth, y, kLabelWidth + 120, y + 16);
        plain.SetValue(1, 3, false);
        plain.SetState(state, false);
        plain.Draw(dc);
        for (const int dragX : {0, 60}) {
            SkinSlider centred;
            centred.SetCentred(true);
            const int left = kLabelWidth + 125 + (dragX ? 125 : 0);
            centred.SetRect(left, y, left + 120, y + 16);
            centred.SetState(state, false);
            if (dragX && state != kStateDisabled) centred.Drag(QPoint(left + 8 + 56 + 30, y + 8), true);
            centred.Draw(dc);
        }
    }

    // Level meters from silence to full scale, both channels.
    y += 12;
    for (const double level : {0.0, 0.25, 0.5, 0.75, 1.0}) {
        y += 18;
        Label(dc, y - 6, QString("meter %1").arg(level).toUtf8().constData());
        LevelMeter meter;
        meter.SetRect({kLabelWidth, y, kLabelWidth + 101, y + 12});
        meter.Draw(dc, level, level / 2);
        LevelMeter wide;
        wide.SetRect({kLabelWidth + 120, y, kLabelWidth + 120 + 201, y + 12});
        wide.Draw(dc, level, 1.0 - level);
    }
    dc.end();

    const QImage used = gallery.copy(0, 0, gallery.width(), y + 24);
    const QImage enlarged = used.scaled(used.size() * 3, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    const QString path = QStringLiteral(KORVANTA_BINARY_DIR "/korvanta/skin/controls-gallery.png");
    QDir().mkpath(QFileInfo(path).path());
    ASSERT_TRUE(enlarged.save(path)) << path.toStdString();
}

}  // namespace
