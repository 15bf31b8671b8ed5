#pragma once
// Reading the frame the video grabber holds, shared by the capture engine's
// thumbnails and the preview players.
#include <QImage>

struct IStillGrab;

// Polls IsFrameReady up to 100 more times 10 ms apart; true once a frame is held.
bool WaitForGrabbedFrame(IStillGrab* grabber);

// The held frame as an upright RGB32 image; null when the grabber's size and
// header do not describe a believable 32-bit picture.
QImage CopyGrabbedFrame(IStillGrab* grabber);
