#pragma once
// Where the capture engine's pictures go in the capture window: the live
// video, the five thumbnail cells under it, the sound meter and the mute
// button, worked out from the engine's sizes for a strip of the window.
#include <QRect>

#include <array>

struct CaptureAreaSizes {
    int displayWidth = 360;   // the live picture as shown: 360 x 270, or 360 x 202 for 16:9
    int displayHeight = 270;
    int videoWidth = 360;     // the decoder's output width
    bool wide = false;        // 16:9 material
};

struct CaptureAreaLayout {
    QRect video;
    std::array<QRect, 5> thumbnails;
    QRect meter;
    QRect mute;
};

// x and y: the thumbnail strip's origin; width: the strip's width. The video
// is centred in the strip's width at the window's top (4 pixels down); the
// meter and mute button sit just under the video.
CaptureAreaLayout LayOutCaptureArea(const CaptureAreaSizes& sizes, int x, int y, int width);
