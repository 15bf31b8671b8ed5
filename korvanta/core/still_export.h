#pragma once
// Saving the frame a preview player shows as an image file: the shutter
// sound, scaling to square pixels at the ImageResolution, the name from
// FileNaming and the frame's recording stamp, and the format and quality
// settings.
#include <QImage>
#include <QSize>
#include <QRect>

#include <filesystem>
#include <string>

// What the export needs from the player that shows the frame.
class StillFrameSource {
public:
    // The frame on show at image resolution 0..3; a null image when none came.
    virtual QImage GrabCurrentFrame(int resolution) = 0;
    virtual bool IsWide() const = 0;
    virtual bool Is576Line() const = 0;
    // The frame's recording date, time and time code as file names use it.
    virtual std::string RecordingStamp() = 0;

protected:
    ~StillFrameSource() = default;
};

// Where the grabbed picture is read and what size it is saved at. The
// divisor is 1, 2, 4 and 8 for Full, Half, Quarter and Eighth, the factors
// by which the decoder shrinks the frame it hands out, so the source always
// lies within the grabbed picture: 720 / d wide and (576 or 480) / d high,
// saved at 720 / d by (405 or 540) / d.
struct StillGeometry {
    QRect source;
    QSize output;
};
StillGeometry StillExportGeometry(int imageResolution, bool wide, bool is576Line);

struct StillExportResult {
    bool soundPlayed = false;
    bool saved = false;
    std::filesystem::path path;  // empty when no frame came
};

// The whole export, reading the settings now. Nothing is reported to the user.
StillExportResult ExportStill(StillFrameSource& player);

// Every . : \ / * ? < > " | becomes a space.
std::string CleanFileNamePart(std::string text);
