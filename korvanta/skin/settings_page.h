#pragma once
// One page of the settings dialog: a child window with an item table. Each
// item has a control, maybe a label, and a key that names both its caption
// (LabelText) and its tip (TooltipText). The page marks the items whose
// controls differ from the stored settings; the dialog enables Apply while
// any page has a mark, and Apply writes only the marked items.
#include <QWidget>

#include <string>
#include <vector>

#include "korvanta/core/settings_observer.h"
#include "korvanta/skin/dialog_units.h"

class SettingsDialog;

class SettingsPage : public QWidget, public SettingsObserver {
public:
    SettingsPage(SettingsDialog& dialog, int itemCount);

    // Stores the item and makes its control a tooltip tool. With a label, the
    // label shows LabelText(key) and becomes a tool too; unless labelOnly it
    // is also recorded as the item's label.
    void RegisterItem(int index, QWidget* control, const std::string& key, QWidget* label, bool labelOnly);

    // Sets an item's mark; when that flips the page's AnyChanged, the dialog
    // updates Apply.
    void SetChanged(int index, bool changed);
    bool IsChanged(int index) const;
    bool AnyChanged() const;
    void ClearChanged();

    // Writes the marked items (each with a change notification) and clears the marks.
    virtual void Apply() = 0;

    // The item whose control or label is under the screen point: its
    // rectangle in this page's coordinates and TooltipText of its key.
    ToolTipTool GetToolAt(ComponentPoint screenPoint) override;

protected:
    // The page's layout in dialog units of its font.
    DialogUnits Units() const { return DialogUnits(font()); }

private:
    struct Item {
        bool changed = false;
        QWidget* control = nullptr;  // widgets are children of the page
        QWidget* label = nullptr;
        std::string key;
        bool labelOnly = false;
    };

    SettingsDialog& dialog_;
    std::vector<Item> items_;
};
