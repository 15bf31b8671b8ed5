#pragma once
// Shows the shared popup menu (korvanta/core/context_menu.h) as a Qt menu.
// A right click on a component builds the menu along the component tree and
// pops it up at the mouse; the command the user picks goes to the component
// that added its item.
#include <QMenu>
#include <QPoint>

class SettingsObserver;

// Builds the shared menu for component and pops it up at screenPoint.
void ShowContextMenu(SettingsObserver& component, QPoint screenPoint);
// The menu on screen (or last shown); it lives until the next ShowContextMenu.
QMenu* SharedQMenu();
// Destroys the menu; called before the application object goes.
void ReleaseContextMenu();
