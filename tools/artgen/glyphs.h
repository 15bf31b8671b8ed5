#pragma once
// The symbols drawn on the program's buttons, as filled outlines scaled into
// a box. Each is its own shape so a symbol reads the same at 12 and 32 pixels.
#include <QPainterPath>
#include <QRectF>

enum class Glyph {
    Play, Pause, Stop, FastForward, FastBack, SlowForward, SlowBack, StepForward, StepBack,
    Record, RecordOnScene, RecordOnLongPause, StopOnScene, StopOnLongPause,
    Camcorder, Help, Settings, SoundOn, SoundOff, StopAll, About, StillCamera,
};

QPainterPath GlyphPath(Glyph glyph, const QRectF& box);
