#include <gtest/gtest.h>

#include <memory>

#include "korvanta/core/context_menu.h"
#include "korvanta/core/settings_observer.h"
#include "korvanta/core/document_reset.h"

namespace {

class Component final : public SettingsObserver {
public:
    explicit Component(int kind = 0, bool leaveSubmenuOpen = false)
        : SettingsObserver(kind), leaveSubmenuOpen_(leaveSubmenuOpen) {}
    void Tick() override {
        ++ticks;
        SettingsObserver::Tick();
    }
    void BuildContextMenu(bool isTop) override {
        if (leaveSubmenuOpen_)
            BeginSubmenu(*this, 1018, true);  // and never ends it
        leaveSubmenuOpen_ = false;
        AddMenuItem(*this, 1019, true, false);
        SettingsObserver::BuildContextMenu(isTop);
    }
    int ticks = 0;

private:
    bool leaveSubmenuOpen_;
};

TEST(ComponentTree, ChildrenInheritKindAndWindowAndHearTicksWhileAttached) {
    Component window(3);
    window.SetWindowId(102);
    Component player;
    Component engine(2);
    player.AttachTo(&window);
    engine.AttachTo(&player);
    EXPECT_EQ(player.MenuKind(), 3);
    EXPECT_EQ(engine.MenuKind(), 2);
    EXPECT_EQ(engine.WindowId(), 102);

    window.Tick();
    EXPECT_EQ(engine.ticks, 1);
    {
        auto row = std::make_unique<Component>();
        row->AttachTo(&window);
        EXPECT_EQ(window.Children().size(), 2u);
    }
    EXPECT_EQ(window.Children().size(), 1u);  // a destroyed child leaves the tree
    player.AttachTo(nullptr);
    window.Tick();
    EXPECT_EQ(engine.ticks, 1);
    EXPECT_EQ(window.ticks, 2);
}

TEST(ComponentTree, ASubmenuLeftOpenDoesNotReachIntoTheNextMenu) {
    ResetDocuments();
    Component careless(1, true);
    BuildSharedPopupMenu(careless);
    EXPECT_EQ(SharedPopupMenu().Entries().size(), 1u);  // only the submenu, holding the item
    Component other(1);
    other.AttachTo(&careless);
    const PopupMenu& menu = BuildSharedPopupMenu(other);
    EXPECT_EQ(LastMenuKind(), 1);
    // Both items land in the new top menu, not in the first menu's submenu.
    ASSERT_EQ(menu.Entries().size(), 2u);
    EXPECT_EQ(menu.Entries()[0].component, &careless);
    EXPECT_EQ(menu.Entries()[1].component, &other);
}

}  // namespace
