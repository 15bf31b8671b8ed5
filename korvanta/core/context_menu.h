#pragma once
// The shared popup menu: one process-wide menu, rebuilt for every right
// click. Components add their items while they build (BuildContextMenu);
// each item remembers the component that added it, and a chosen command goes
// back to that component (DispatchMenuCommand). Command identifiers are 1001
// to 1053; an item's text is ContextMenuText of its identifier. The window
// layer shows the menu (korvanta/skin/context_menu_popup.h).
#include <memory>
#include <string>
#include <vector>

class SettingsObserver;

// One entry of a popup menu: an item, a separator or a submenu.
struct PopupMenuEntry {
    enum class Type { Item, Separator, Submenu };
    Type type = Type::Item;
    int commandId = 0;
    std::string text;
    bool enabled = true;
    bool checked = false;
    SettingsObserver* component = nullptr;  // the item data: who added it
    std::unique_ptr<class PopupMenu> submenu;
};

class PopupMenu {
public:
    const std::vector<PopupMenuEntry>& Entries() const { return entries_; }
    std::vector<PopupMenuEntry>& Entries() { return entries_; }
    bool IsEmpty() const { return entries_.empty(); }
    // The item with that command, searching submenus too; nullptr when none.
    const PopupMenuEntry* FindCommand(int commandId) const;

private:
    std::vector<PopupMenuEntry> entries_;
};

// Builds the shared menu afresh for a right click on component: remembers
// its menu kind, lets the parent chain build outermost ancestor first (isTop
// false), then the component itself (isTop true).
const PopupMenu& BuildSharedPopupMenu(SettingsObserver& component);
const PopupMenu& SharedPopupMenu();

// Appends an item into the component's open submenu, else into the top menu.
void AddMenuItem(SettingsObserver& component, int commandId, bool enabled, bool checked);
// Appends a separator to the top menu; with onlyIfNotEmpty, only when the
// top menu already has an entry.
void AddSeparator(bool onlyIfNotEmpty);
// Appends a submenu to the top menu and makes it the component's open submenu.
void BeginSubmenu(SettingsObserver& component, int commandId, bool enabled);
// Closes the component's newest submenu; the top menu keeps it.
void EndSubmenu(SettingsObserver& component);
// Calls OnContextCommand on the component that added the command's item;
// a command without one is ignored. Returns whether a component was called.
bool DispatchMenuCommand(int commandId);
// The menu kind of the component the last menu was opened on.
int LastMenuKind();

// Called when a component goes: its items stay but call no one.
void ForgetMenuComponent(const SettingsObserver& component);
