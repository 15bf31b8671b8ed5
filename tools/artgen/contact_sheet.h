#pragma once
// A review sheet of every cell of every skin image, enlarged on a checker
// pattern so transparency shows, with the plain pictures below.
#include <QImage>

#include <vector>

#include "tools/artgen/skin_strips.h"

struct NamedPicture {
    int resourceId;
    QImage picture;
};

QImage DrawContactSheet(const std::vector<SkinStrip>& strips, const std::vector<NamedPicture>& pictures);
