#include "korvanta/core/context_menu.h"

#include <vector>

#include "korvanta/core/language.h"
#include "korvanta/core/settings_observer.h"

namespace {

struct SharedMenu {
    PopupMenu top;
    int lastMenuKind = 0;
};

SharedMenu& Shared() {
    static SharedMenu menu;
    return menu;
}

void ForgetIn(PopupMenu& menu, const SettingsObserver& component) {
    for (PopupMenuEntry& entry : menu.Entries()) {
        if (entry.component == &component)
            entry.component = nullptr;
        if (entry.submenu)
            ForgetIn(*entry.submenu, component);
    }
}

}  // namespace

const PopupMenuEntry* PopupMenu::FindCommand(int commandId) const {
    for (const PopupMenuEntry& entry : entries_) {
        if (entry.type == PopupMenuEntry::Type::Item && entry.commandId == commandId)
            return &entry;
        if (entry.submenu) {
            if (const PopupMenuEntry* found = entry.submenu->FindCommand(commandId))
                return found;
        }
    }
    return nullptr;
}

const PopupMenu& BuildSharedPopupMenu(SettingsObserver& component) {
    SharedMenu& shared = Shared();
    shared.lastMenuKind = component.MenuKind();
    shared.top = PopupMenu();
    std::vector<SettingsObserver*> ancestors;
    for (SettingsObserver* parent = component.Parent(); parent; parent = parent->Parent())
        ancestors.push_back(parent);
    for (auto it = ancestors.rbegin(); it != ancestors.rend(); ++it)
        (*it)->BuildContextMenu(false);
    component.BuildContextMenu(true);
    // A builder that left a submenu open must not add to it next time, when
    // the submenu is gone with the old menu.
    SettingsObserver* root = &component;
    while (root->Parent())
        root = root->Parent();
    root->ClearSubmenus();
    return shared.top;
}

const PopupMenu& SharedPopupMenu() { return Shared().top; }

void AddMenuItem(SettingsObserver& component, int commandId, bool enabled, bool checked) {
    PopupMenu* target = component.CurrentSubmenu();
    if (!target)
        target = &Shared().top;
    PopupMenuEntry entry;
    entry.commandId = commandId;
    entry.text = ContextMenuText(commandId);
    entry.enabled = enabled;
    entry.checked = checked;
    entry.component = &component;
    target->Entries().push_back(std::move(entry));
}

void AddSeparator(bool onlyIfNotEmpty) {
    PopupMenu& top = Shared().top;
    if (onlyIfNotEmpty && top.IsEmpty())
        return;
    PopupMenuEntry entry;
    entry.type = PopupMenuEntry::Type::Separator;
    top.Entries().push_back(std::move(entry));
}

void BeginSubmenu(SettingsObserver& component, int commandId, bool enabled) {
    PopupMenuEntry entry;
    entry.type = PopupMenuEntry::Type::Submenu;
    entry.commandId = commandId;
    entry.text = ContextMenuText(commandId);
    entry.enabled = enabled;
    entry.component = &component;
    entry.submenu = std::make_unique<PopupMenu>();
    component.PushSubmenu(entry.submenu.get());
    Shared().top.Entries().push_back(std::move(entry));
}

void EndSubmenu(SettingsObserver& component) { component.PopSubmenu(); }

bool DispatchMenuCommand(int commandId) {
    const PopupMenuEntry* entry = Shared().top.FindCommand(commandId);
    if (!entry || !entry->component)
        return false;
    entry->component->OnContextCommand(commandId);
    return true;
}

int LastMenuKind() { return Shared().lastMenuKind; }

void ForgetMenuComponent(const SettingsObserver& component) { ForgetIn(Shared().top, component); }
