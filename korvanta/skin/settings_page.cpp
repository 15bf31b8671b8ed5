#include "korvanta/skin/settings_page.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>

#include <algorithm>

#include "korvanta/core/language.h"
#include "korvanta/skin/settings_dialog.h"
#include "korvanta/skin/tooltip_control.h"

namespace {

void SetCaption(QWidget& widget, const QString& text) {
    if (auto* label = qobject_cast<QLabel*>(&widget))
        label->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(&widget))
        button->setText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(&widget))
        group->setTitle(text);
}

// The widget's rectangle in page coordinates, when point (screen) is in it.
bool Hits(const QWidget* widget, const QWidget& page, QPoint screenPoint, ComponentRect& rect) {
    if (!widget || !widget->isVisible())
        return false;
    const QRect area(widget->mapTo(&page, QPoint(0, 0)), widget->size());
    if (!area.contains(page.mapFromGlobal(screenPoint)))
        return false;
    rect = {area.left(), area.top(), area.left() + area.width(), area.top() + area.height()};
    return true;
}

}  // namespace

SettingsPage::SettingsPage(SettingsDialog& dialog, int itemCount) : dialog_(dialog), items_(itemCount) {
    AttachTo(&dialog);
}

void SettingsPage::RegisterItem(int index, QWidget* control, const std::string& key, QWidget* label, bool labelOnly) {
    if (index < 0 || index >= static_cast<int>(items_.size()))
        return;
    Item& item = items_[index];
    item.control = control;
    item.key = key;
    item.labelOnly = labelOnly;
    if (control)
        AddToolWindow(*this, *control);
    if (label) {
        SetCaption(*label, QString::fromStdString(LabelText(key)));
        AddToolWindow(*this, *label);
        if (!labelOnly)
            item.label = label;
    }
}

void SettingsPage::SetChanged(int index, bool changed) {
    if (index < 0 || index >= static_cast<int>(items_.size()))
        return;
    const bool before = AnyChanged();
    items_[index].changed = changed;
    if (AnyChanged() != before)
        dialog_.UpdateApply();
}

bool SettingsPage::IsChanged(int index) const {
    return index >= 0 && index < static_cast<int>(items_.size()) && items_[index].changed;
}

bool SettingsPage::AnyChanged() const {
    return std::any_of(items_.begin(), items_.end(), [](const Item& item) { return item.changed; });
}

void SettingsPage::ClearChanged() {
    const bool before = AnyChanged();
    for (Item& item : items_)
        item.changed = false;
    if (before)
        dialog_.UpdateApply();
}

ToolTipTool SettingsPage::GetToolAt(ComponentPoint screenPoint) {
    const QPoint point(screenPoint.x, screenPoint.y);
    for (const Item& item : items_) {
        ComponentRect rect;
        // A label-only item is its own label (registered as the control).
        if (Hits(item.control, *this, point, rect) || Hits(item.label, *this, point, rect))
            return {this, rect, TooltipText(item.key)};
    }
    return {};
}
