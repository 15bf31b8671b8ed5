#pragma once
// The base of the program's window components. Components form a tree
// (the main window, its preview players, the capture window and its engine,
// the settings dialog and its pages) along which three services run:
// setting-change broadcasts (NotifySettingChanged), tooltips (each component
// finds the tool under the mouse, see tooltip_registry.h) and context menus
// (every component from the outermost ancestor down to the clicked one adds
// its items, see context_menu.h). Everything happens on the user-interface
// thread.
#include <cstdint>
#include <vector>

#include "korvanta/core/component_types.h"
#include "korvanta/core/settings.h"

class PopupMenu;

class SettingsObserver {
public:
    // kind 0 to 4; 0 means the component takes its parent's menu kind when
    // it is attached.
    explicit SettingsObserver(int kind = 0);
    // Leaves the broadcast list, its parent's children and every menu item
    // it added; its children lose their parent.
    virtual ~SettingsObserver();
    SettingsObserver(const SettingsObserver&) = delete;
    SettingsObserver& operator=(const SettingsObserver&) = delete;

    // The hooks, in this order. OnSettingChanged: called once per broadcast;
    // the base marks the component notified, overrides call it first. They
    // may create or destroy observers, this one included, and broadcast again.
    virtual void OnSettingChanged(SettingId id);
    // The tool under a screen point; the base finds nothing.
    virtual ToolTipTool GetToolAt(ComponentPoint screenPoint);
    // Every component forwards its windows' mouse messages here before its
    // own handling: a move asks GetToolAt and shows what it finds.
    virtual void RelayToolTipEvent(const ToolTipMessage& message);
    virtual bool ToolTipsEnabled();
    // Adds this component's items to the shared popup menu; isTop is true
    // for the clicked component. The base asks each child to build as top.
    virtual void BuildContextMenu(bool isTop);
    // A command chosen from an item this component added; the base does nothing.
    virtual void OnContextCommand(int commandId);
    // The periodic update; the base ticks every child.
    virtual void Tick();

    // Makes this component the last child of parent (nullptr detaches it).
    // A component of kind 0 takes the parent's menu kind, and one without a
    // window id the parent's window id.
    void AttachTo(SettingsObserver* parent);
    SettingsObserver* Parent() const { return parent_; }
    const std::vector<SettingsObserver*>& Children() const { return children_; }

    int Kind() const { return kind_; }
    int MenuKind() const { return menuKind_; }
    // The dialog resource number of the window whose tooltip control this
    // component uses (0: none).
    int WindowId() const { return windowId_; }
    void SetWindowId(int windowId) { windowId_ = windowId; }
    // Whether the last broadcast reached this component.
    bool IsNotified() const { return notified_; }

    // The submenus this component has open while it builds a menu, newest
    // last (BeginSubmenu pushes, EndSubmenu pops).
    PopupMenu* CurrentSubmenu() const { return submenus_.empty() ? nullptr : submenus_.back(); }
    void PushSubmenu(PopupMenu* submenu) { submenus_.push_back(submenu); }
    void PopSubmenu();
    // Forgets every open submenu of this component and its descendants.
    void ClearSubmenus();

private:
    friend void NotifySettingChanged(SettingId id);

    // A number no other observer of this process has had, so a broadcast can
    // tell a new observer from a destroyed one that had the same address.
    const std::uint64_t serial_;
    const int kind_;
    int menuKind_;
    int windowId_ = 0;
    bool notified_ = false;
    SettingsObserver* parent_ = nullptr;
    std::vector<SettingsObserver*> children_;
    std::vector<PopupMenu*> submenus_;
};

// Calls OnSettingChanged(id) on every registered observer, in registration
// order, exactly once each. Observers created during the broadcast are called
// too; observers destroyed before their turn are not.
void NotifySettingChanged(SettingId id);
