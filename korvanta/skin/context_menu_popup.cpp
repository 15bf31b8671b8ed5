#include "korvanta/skin/context_menu_popup.h"

#include <QAction>

#include <memory>

#include "korvanta/core/context_menu.h"

namespace {

std::unique_ptr<QMenu>& Shown() {
    static std::unique_ptr<QMenu> menu;
    return menu;
}

void Fill(QMenu& target, const PopupMenu& source) {
    for (const PopupMenuEntry& entry : source.Entries()) {
        const QString text = QString::fromStdString(entry.text);
        switch (entry.type) {
        case PopupMenuEntry::Type::Separator:
            target.addSeparator();
            break;
        case PopupMenuEntry::Type::Submenu: {
            QMenu* submenu = target.addMenu(text);  // owned by target
            submenu->setEnabled(entry.enabled);
            Fill(*submenu, *entry.submenu);
            break;
        }
        case PopupMenuEntry::Type::Item: {
            QAction* action = target.addAction(text);  // owned by target
            action->setData(entry.commandId);
            action->setEnabled(entry.enabled);
            // Only checked items are checkable, so unchecked ones show no box.
            action->setCheckable(entry.checked);
            action->setChecked(entry.checked);
            break;
        }
        }
    }
}

}  // namespace

void ShowContextMenu(SettingsObserver& component, QPoint screenPoint) {
    std::unique_ptr<QMenu>& menu = Shown();
    menu.reset();
    const PopupMenu& model = BuildSharedPopupMenu(component);
    menu = std::make_unique<QMenu>();
    Fill(*menu, model);
    // Submenus' actions are reported by the top menu as well.
    QObject::connect(menu.get(), &QMenu::triggered, [](QAction* action) {
        if (action->data().isValid())
            DispatchMenuCommand(action->data().toInt());
    });
    menu->popup(screenPoint);
}

QMenu* SharedQMenu() { return Shown().get(); }

void ReleaseContextMenu() { Shown().reset(); }
