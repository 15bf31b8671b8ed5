#include "tools/artgen/skin_strips.h"

#include <QPainter>

#include <array>
#include <functional>

#include "tools/artgen/cell_painter.h"

namespace {

constexpr std::array<CellState, 4> kFourStates = {CellState::Normal, CellState::Hot, CellState::Pressed,
                                                  CellState::Disabled};

// Joins cells left to right into one strip.
SkinStrip Strip(int resourceId, int cellSize, const std::vector<QImage>& cells) {
    QImage strip(cellSize * static_cast<int>(cells.size()), cellSize, QImage::Format_ARGB32_Premultiplied);
    strip.fill(Qt::transparent);
    QPainter painter(&strip);
    for (std::size_t i = 0; i < cells.size(); ++i) painter.drawImage(static_cast<int>(i) * cellSize, 0, cells[i]);
    return {resourceId, cellSize, strip};
}

// Four state cells (normal, hot, pressed, disabled) for each glyph in turn.
std::vector<QImage> FourStateCells(int size, std::initializer_list<Glyph> glyphs,
                                   const std::function<CellStyle(Glyph)>& styleOf) {
    std::vector<QImage> cells;
    for (const Glyph glyph : glyphs)
        for (const CellState state : kFourStates) cells.push_back(PaintCell(size, glyph, state, styleOf(glyph)));
    return cells;
}

const QColor kInk(54, 60, 78);
const QColor kRecordRed(210, 30, 30);
const QColor kHotRed(250, 60, 50);
const QColor kActionBlue(30, 100, 190);
const QColor kHotBlue(20, 130, 240);

// Plain symbols in ink that turn blue under the mouse.
const CellStyle kInkSymbol{CellFace::GlyphOnly, kInk, kHotBlue};
const CellStyle kRedSymbol{CellFace::GlyphOnly, kRecordRed, kHotRed};

// 176: the capture indicator, idle and recording.
SkinStrip CaptureIndicator() {
    return Strip(176, 24, {PaintLampCell(24, false), PaintLampCell(24, true)});
}

// 178: the six start and stop buttons of the capture window.
SkinStrip StartStopButtons() {
    const auto style = [](Glyph glyph) {
        const bool start = glyph == Glyph::Record || glyph == Glyph::RecordOnScene || glyph == Glyph::RecordOnLongPause;
        return start ? CellStyle{CellFace::RoundedSquare, kRecordRed, kHotRed}
                     : CellStyle{CellFace::RoundedSquare, kInk, kHotBlue};
    };
    return Strip(178, 20,
                 FourStateCells(20,
                                {Glyph::Record, Glyph::RecordOnScene, Glyph::RecordOnLongPause, Glyph::Stop,
                                 Glyph::StopOnScene, Glyph::StopOnLongPause},
                                style));
}

// 179: the program's emblem.
SkinStrip Emblem() {
    return Strip(179, 32, {PaintEmblem(32)});
}

// 180: the mute toggle. Cells 0 and 1 show the sound on (normal, hot), cells
// 2 and 3 the sound off (normal, hot); the owner switches between the pairs.
SkinStrip MuteToggle() {
    return Strip(180, 16,
                 {PaintCell(16, Glyph::SoundOn, CellState::Normal, kInkSymbol),
                  PaintCell(16, Glyph::SoundOn, CellState::Hot, kInkSymbol),
                  PaintCell(16, Glyph::SoundOff, CellState::Normal, kRedSymbol),
                  PaintCell(16, Glyph::SoundOff, CellState::Hot, kRedSymbol)});
}

// 181: the tape transport buttons, in the cell order the transport bar uses.
SkinStrip TransportButtons() {
    const auto style = [](Glyph) { return kInkSymbol; };
    return Strip(181, 12,
                 FourStateCells(12,
                                {Glyph::Stop, Glyph::Pause, Glyph::Play, Glyph::FastBack, Glyph::FastForward,
                                 Glyph::SlowBack, Glyph::SlowForward, Glyph::StepBack, Glyph::StepForward},
                                style));
}

// 183: the frame-capture button: highlighted (hot and pressed), normal, disabled.
SkinStrip FrameCaptureButton() {
    return Strip(183, 16,
                 {PaintCell(16, Glyph::StillCamera, CellState::Hot, kInkSymbol),
                  PaintCell(16, Glyph::StillCamera, CellState::Normal, kInkSymbol),
                  PaintCell(16, Glyph::StillCamera, CellState::Disabled, kInkSymbol)});
}

// 185: the main window buttons.
SkinStrip MainWindowButtons() {
    const auto style = [](Glyph glyph) {
        return glyph == Glyph::Camcorder ? CellStyle{CellFace::Disc, kRecordRed, kHotRed}
                                         : CellStyle{CellFace::Disc, kActionBlue, kHotBlue};
    };
    return Strip(185, 32,
                 FourStateCells(32,
                                {Glyph::Camcorder, Glyph::Help, Glyph::Settings, Glyph::SoundOn, Glyph::SoundOff,
                                 Glyph::StopAll, Glyph::About},
                                style));
}

// 189: the slider thumb: normal, hot, disabled.
SkinStrip SliderThumb() {
    return Strip(189, 16,
                 {PaintThumbCell(16, CellState::Normal), PaintThumbCell(16, CellState::Hot),
                  PaintThumbCell(16, CellState::Disabled)});
}

}  // namespace

std::vector<SkinStrip> DrawSkinStrips() {
    return {CaptureIndicator(), StartStopButtons(),  Emblem(),           MuteToggle(),
            TransportButtons(), FrameCaptureButton(), MainWindowButtons(), SliderThumb()};
}
