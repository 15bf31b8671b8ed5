#pragma once
// The plain pictures of the program (24-bit bitmaps, no alpha).
#include <QImage>

QImage DrawAboutPicture();       // 192, 320 x 304
QImage DrawProgressBackground(); // 203, 320 x 304, with the trough of the progress bar
QImage DrawEmptyFolderPicture(); // 208, 520 x 429, shown when the folder has no videos
