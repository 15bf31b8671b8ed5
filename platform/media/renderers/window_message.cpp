#include "platform/media/renderers/window_message.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QWidget>

#include "platform/media/graph/graph_notify.h"
#include "platform/media/renderers/window_handle.h"

bool PostWindowMessage(OAHWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message < QEvent::User || message > QEvent::MaxUser) return false;
    QCoreApplication* application = QCoreApplication::instance();
    if (!application) return false;
    // The handle is looked up only on the user-interface thread, when the
    // message is delivered: the widget may go away in between, and a handle
    // is never followed before it is found among the live widgets.
    return QMetaObject::invokeMethod(
        application,
        [window, message, wParam, lParam] {
            if (QWidget* widget = WidgetFromOaHwnd(window)) {
                WindowMessageEvent event(message, wParam, lParam);
                QCoreApplication::sendEvent(widget, &event);
            }
        },
        Qt::QueuedConnection);
}

void InstallGraphNotifyPoster() {
    SetGraphNotifyPoster([](OAHWND window, LONG message, WPARAM wParam, LPARAM lParam) {
        PostWindowMessage(window, static_cast<UINT>(message), wParam, lParam);
    });
}
