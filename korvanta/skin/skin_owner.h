#pragma once
// What a drawn control needs from the window that holds it. Controls are not
// widgets: they live inside the owner's client area, so repainting and the
// caption font go through the owner.
#include <QFont>

#include "korvanta/skin/skin_rect.h"

class QWidget;

class SkinOwner {
public:
    // Asks for the area to be repainted; the owner paints its background
    // there before the controls draw over it.
    virtual void InvalidateArea(const SkinRect& area) = 0;
    // The font the owner draws its texts in; captions are measured and drawn with it.
    virtual QFont OwnerFont() const = 0;

protected:
    ~SkinOwner() = default;
};

// The owner side of a plain Qt widget: repaint requests become update() of
// the area, and captions use the widget's font. A window that holds controls
// keeps one of these as a member, or implements SkinOwner itself.
class WidgetSkinOwner final : public SkinOwner {
public:
    explicit WidgetSkinOwner(QWidget& widget) : widget_(widget) {}

    void InvalidateArea(const SkinRect& area) override;
    QFont OwnerFont() const override;

private:
    QWidget& widget_;
};
