#include "korvanta/core/still_export.h"

#include <QPainter>

#include <algorithm>
#include <string_view>

#include "korvanta/core/image_save.h"
#include "korvanta/core/settings.h"
#include "korvanta/core/sound_resource.h"

StillGeometry StillExportGeometry(int imageResolution, bool wide, bool is576Line) {
    const int divisor = 1 << std::clamp(imageResolution, 0, 3);
    return {QRect(0, 0, 720 / divisor, (is576Line ? 576 : 480) / divisor),
            QSize(720 / divisor, (wide ? 405 : 540) / divisor)};
}

std::string CleanFileNamePart(std::string text) {
    constexpr std::string_view kReserved = ".:\\/*?<>\"|";
    std::replace_if(text.begin(), text.end(), [&](char c) { return kReserved.find(c) != std::string_view::npos; },
                    ' ');
    return text;
}

StillExportResult ExportStill(StillFrameSource& player) {
    StillExportResult result;
    if (GetSetting(SettingId::MuteAll).number == 0) result.soundPlayed = PlaySoundResource(kShutterSound);

    const int resolution = static_cast<int>(GetSetting(SettingId::ImageResolution).number);
    const QImage frame = player.GrabCurrentFrame(resolution);
    if (frame.isNull()) return result;

    const std::string type = GetSetting(SettingId::FrameCaptureFileType).text;
    const std::string name = CleanFileNamePart(GetSetting(SettingId::FileNaming).text) + " " +
                             CleanFileNamePart(player.RecordingStamp()) + "." + type;
    std::string folder = GetSetting(SettingId::FrameCaptureFolder).text;
    if (folder.empty()) folder = GetSetting(SettingId::PreviewFolder).text;
    result.path = std::filesystem::path(folder) / name;

    const StillGeometry geometry = StillExportGeometry(resolution, player.IsWide(), player.Is576Line());
    QImage scaled(geometry.output, QImage::Format_RGB32);
    if (scaled.isNull()) return result;
    {
        QPainter painter(&scaled);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRect(QPoint(0, 0), geometry.output), frame, geometry.source);
    }
    result.saved = SaveBitmapAsImage(scaled, result.path, type,
                                     static_cast<int>(GetSetting(SettingId::FrameCaptureQuality).number));
    return result;
}
