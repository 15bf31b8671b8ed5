#include "korvanta/core/settings_observer.h"

#include <algorithm>
#include <vector>

#include "korvanta/core/context_menu.h"
#include "korvanta/core/tooltip_registry.h"

namespace {

// The process-wide observer list. The change counter moves with every
// registration and removal, so a broadcast knows when its position in the
// list may no longer be valid.
struct ObserverList {
    std::vector<SettingsObserver*> observers;
    std::uint64_t changes = 0;
    std::uint64_t nextSerial = 1;
};

ObserverList& Observers() {
    static ObserverList list;
    return list;
}

}  // namespace

SettingsObserver::SettingsObserver(int kind) : serial_(Observers().nextSerial++), kind_(kind), menuKind_(kind) {
    ObserverList& list = Observers();
    list.observers.push_back(this);
    ++list.changes;
}

SettingsObserver::~SettingsObserver() {
    AttachTo(nullptr);
    for (SettingsObserver* child : children_)
        child->parent_ = nullptr;
    // A menu built before this component went must not call it any more.
    ForgetMenuComponent(*this);
    ObserverList& list = Observers();
    std::erase(list.observers, this);
    ++list.changes;
}

void SettingsObserver::OnSettingChanged(SettingId) { notified_ = true; }

ToolTipTool SettingsObserver::GetToolAt(ComponentPoint) { return {}; }

void SettingsObserver::RelayToolTipEvent(const ToolTipMessage& message) { RelayToComponentTip(*this, message); }

bool SettingsObserver::ToolTipsEnabled() { return true; }

void SettingsObserver::BuildContextMenu(bool isTop) {
    if (!isTop)
        return;
    // A copy: a child may leave the tree while it builds.
    const std::vector<SettingsObserver*> children = children_;
    for (SettingsObserver* child : children)
        child->BuildContextMenu(true);
}

void SettingsObserver::OnContextCommand(int) {}

void SettingsObserver::Tick() {
    const std::vector<SettingsObserver*> children = children_;
    for (SettingsObserver* child : children)
        child->Tick();
}

void SettingsObserver::AttachTo(SettingsObserver* parent) {
    if (parent_)
        std::erase(parent_->children_, this);
    parent_ = parent;
    if (!parent)
        return;
    parent->children_.push_back(this);
    if (kind_ == 0)
        menuKind_ = parent->menuKind_;
    if (windowId_ == 0)
        windowId_ = parent->windowId_;
}

void SettingsObserver::PopSubmenu() {
    if (!submenus_.empty())
        submenus_.pop_back();
}

void SettingsObserver::ClearSubmenus() {
    submenus_.clear();
    for (SettingsObserver* child : children_)
        child->ClearSubmenus();
}

void NotifySettingChanged(SettingId id) {
    ObserverList& list = Observers();
    for (SettingsObserver* observer : list.observers)
        observer->notified_ = false;
    // Each broadcast remembers whom it has called by serial, not only by the
    // mark on the observer, so a broadcast started from inside
    // OnSettingChanged does not disturb the one that is running.
    std::vector<std::uint64_t> notified;
    std::size_t position = 0;
    while (position < list.observers.size()) {
        SettingsObserver* observer = list.observers[position];
        const std::uint64_t serial = observer->serial_;
        if (std::find(notified.begin(), notified.end(), serial) != notified.end()) {
            ++position;
            continue;
        }
        notified.push_back(serial);
        const std::uint64_t changesBefore = list.changes;
        observer->OnSettingChanged(id);
        // Windows opened or closed during the call moved the list: start over
        // from the head, skipping everyone already called.
        position = list.changes == changesBefore ? position + 1 : 0;
    }
}
