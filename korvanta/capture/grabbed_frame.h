#pragma once
// Reading the frame the video grabber holds, shared by the capture engine's
// thumbnails and the preview players.
#include <QImage>

#include <chrono>

struct IStillGrab;

// Polls IsFrameReady up to `polls` more times `interval` apart (100 times
// 10 ms unless told); true once a frame is held.
bool WaitForGrabbedFrame(IStillGrab* grabber, std::chrono::milliseconds interval = std::chrono::milliseconds(10),
                         int polls = 100);

// The held frame as an upright RGB32 image; null when the grabber's size and
// header do not describe a believable 32-bit picture.
QImage CopyGrabbedFrame(IStillGrab* grabber);
