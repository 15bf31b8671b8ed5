#pragma once
// Where each kind of resource lives in the program's compiled-in resources,
// by its numeric resource id.
#include <string>

// A "SAB" skin image.
inline std::string SkinResourcePath(int resourceId) {
    return ":/korvanta/skin/" + std::to_string(resourceId) + ".sab";
}
// A plain 24-bit bitmap.
inline std::string BitmapResourcePath(int resourceId) {
    return ":/korvanta/bitmaps/" + std::to_string(resourceId) + ".bmp";
}
// An icon with alpha, as PNG.
inline std::string IconResourcePath(int resourceId) {
    return ":/korvanta/icons/" + std::to_string(resourceId) + ".png";
}
// A WAV sound.
inline std::string SoundResourcePath(int resourceId) {
    return ":/korvanta/sounds/" + std::to_string(resourceId) + ".wav";
}
// An HTML page.
inline std::string PageResourcePath(int resourceId) {
    return ":/korvanta/pages/" + std::to_string(resourceId) + ".html";
}
