#include "korvanta/skin/skin_owner.h"

#include <QWidget>

void WidgetSkinOwner::InvalidateArea(const SkinRect& area) {
    if (!area.IsEmpty()) widget_.update(area.ToQRect());
}

QFont WidgetSkinOwner::OwnerFont() const { return widget_.font(); }
