#pragma once
// Window handles on this platform. An HWND or OAHWND handed to the media
// framework is the address of the QWidget it stands for; 0 is "no window".
// Nothing is ever read through a handle before it has been found among the
// application's live widgets, so a handle whose widget is gone is harmless.
#include "platform/com/wintypes.h"

class QWidget;

OAHWND OaHwndFromWidget(const QWidget* widget);
HWND HwndFromWidget(const QWidget* widget);

// The live widget behind a handle, or null when the handle is 0 or names no
// widget that exists now. User-interface thread only.
QWidget* WidgetFromOaHwnd(OAHWND handle);
