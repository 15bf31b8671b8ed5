#include "platform/media/renderers/window_handle.h"

#include <QApplication>
#include <QWidget>

OAHWND OaHwndFromWidget(const QWidget* widget) { return reinterpret_cast<OAHWND>(widget); }

HWND HwndFromWidget(const QWidget* widget) { return reinterpret_cast<HWND>(const_cast<QWidget*>(widget)); }

QWidget* WidgetFromOaHwnd(OAHWND handle) {
    if (handle == 0 || !qobject_cast<QApplication*>(QCoreApplication::instance())) return nullptr;
    // Compared as numbers: a stale handle is never dereferenced.
    for (QWidget* widget : QApplication::allWidgets())
        if (OaHwndFromWidget(widget) == handle) return widget;
    return nullptr;
}
