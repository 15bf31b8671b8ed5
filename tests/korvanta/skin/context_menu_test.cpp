#include "korvanta/core/context_menu.h"

#include <QAction>
#include <QMenu>

#include <memory>
#include <vector>

#include "korvanta/core/settings_observer.h"
#include "toolkit_test.h"

namespace {

// A component that adds the items it is given and records the commands it receives.
class MenuComponent final : public SettingsObserver {
public:
    explicit MenuComponent(int kind, std::vector<int> items) : SettingsObserver(kind), items_(std::move(items)) {}
    void BuildContextMenu(bool isTop) override {
        tops.push_back(isTop);
        kindWhileBuilding = LastMenuKind();
        AddSeparator(true);
        for (const int item : items_) {
            if (item < 0) {
                BeginSubmenu(*this, -item, true);
            } else if (item == 0) {
                EndSubmenu(*this);
            } else {
                AddMenuItem(*this, item, true, item == 1008);
            }
        }
        SettingsObserver::BuildContextMenu(isTop);
    }
    void OnContextCommand(int commandId) override { commands.push_back(commandId); }

    std::vector<bool> tops;
    std::vector<int> commands;
    int kindWhileBuilding = -1;

private:
    std::vector<int> items_;  // a negative id opens a submenu, 0 closes it
};

QStringList Texts(const QMenu& menu) {
    QStringList texts;
    for (const QAction* action : menu.actions())
        texts << (action->isSeparator() ? QString("--") : action->text());
    return texts;
}

using ContextMenu = kvtest::ToolkitTest;

TEST_F(ContextMenu, IsBuiltByTheAncestorsFirstAndItsItemsReachTheirComponents) {
    MenuComponent window(3, {1007, 1008});
    MenuComponent player(0, {-1011, 1012, 1013, 0, 1017});
    player.AttachTo(&window);
    EXPECT_EQ(player.MenuKind(), 3);  // kind 0 takes the parent's menu kind

    ShowContextMenu(player, QPoint(10, 10));
    QMenu* menu = SharedQMenu();
    ASSERT_NE(menu, nullptr);
    // The window builds first, not as top, and its leading separator is dropped;
    // the player's separator follows the window's items.
    EXPECT_EQ(window.tops, std::vector<bool>{false});
    EXPECT_EQ(player.tops, std::vector<bool>{true});
    EXPECT_EQ(player.kindWhileBuilding, 3);
    EXPECT_EQ(Texts(*menu), QStringList({"Record from camcorder...", "Sound off for all videos", "--", "Playback",
                                         "Delete video..."}));
    EXPECT_TRUE(menu->actions()[1]->isChecked());
    QMenu* playback = menu->actions()[3]->menu();
    ASSERT_NE(playback, nullptr);
    EXPECT_EQ(Texts(*playback), QStringList({"Play", "Pause"}));

    // The user picks "Pause" in the submenu and "Record" in the top menu.
    playback->actions()[1]->trigger();
    menu->actions()[0]->trigger();
    EXPECT_EQ(player.commands, std::vector<int>{1013});
    EXPECT_EQ(window.commands, std::vector<int>{1007});

    // An item whose component went calls no one.
    std::vector<int>().swap(window.commands);
    {
        auto gone = std::make_unique<MenuComponent>(0, std::vector<int>{1009});
        gone->AttachTo(&player);
        ShowContextMenu(player, QPoint(10, 10));
    }
    EXPECT_FALSE(DispatchMenuCommand(1009));
    EXPECT_FALSE(DispatchMenuCommand(1050));  // not in the menu at all
}

TEST_F(ContextMenu, ALanguageFileWithoutTheKeysGivesEmptyCaptions) {
    LanguageDocument().Load("/nonexistent-korvanta-test-folder/Language.ini");
    MenuComponent window(1, {1004, -1011, 1012, 0});
    ShowContextMenu(window, QPoint(0, 0));
    ASSERT_EQ(SharedQMenu()->actions().size(), 2);
    EXPECT_EQ(Texts(*SharedQMenu()), QStringList({"", ""}));
    SharedQMenu()->actions()[1]->menu()->actions()[0]->trigger();
    EXPECT_EQ(window.commands, std::vector<int>{1012});
}

}  // namespace
