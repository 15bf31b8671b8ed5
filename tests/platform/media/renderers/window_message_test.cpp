// Graph events told to windows: a capture graph's and a player's events,
// queued on threads of their own as streaming threads queue them, arrive at
// the right widget as the message each named, on the user-interface thread;
// a widget closed meanwhile receives nothing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QThread>
#include <QWidget>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "platform/com/com_ptr.h"
#include "platform/com/objbase.h"
#include "platform/media/control.h"
#include "platform/media/evcode.h"
#include "platform/media/renderers/renderer_classes.h"
#include "platform/media/renderers/window_handle.h"
#include "platform/media/renderers/window_message.h"
#include "platform/media/strmif.h"
#include "platform/media/uuids.h"

namespace {

using namespace std::chrono_literals;

class MessageWindow : public QWidget {
public:
    bool event(QEvent* e) override {
        auto* message = dynamic_cast<WindowMessageEvent*>(e);
        if (!message) return QWidget::event(e);
        const bool onUserInterfaceThread = QThread::currentThread() == QCoreApplication::instance()->thread();
        received.push_back({e->type(), onUserInterfaceThread ? message->LParam() : -1});
        return true;
    }
    std::vector<std::pair<QEvent::Type, LPARAM>> received;  // type, lParam (-1 off the user-interface thread)
};

// A graph whose events go to window; one event is queued from another thread.
ComPtr<IMediaEventEx> GraphTelling(QWidget* window, UINT message, LONG_PTR instance) {
    ComPtr<IMediaEventEx> events;
    ComPtr<IMediaEventSink> sink;
    EXPECT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IidOf<IMediaEventEx>(),
                               events.GetVoidAddress()),
              S_OK);
    EXPECT_EQ(events.As(&sink), S_OK);
    events->SetNotifyWindow(OaHwndFromWidget(window), static_cast<LONG>(message), instance);
    std::thread([&] { sink->Notify(EC_ERRORABORT, E_FAIL, 0); }).join();
    return events;
}

TEST(WindowMessageTest, GraphEventsReachTheirWindowAsItsMessageOnTheUserInterfaceThread) {
    int argc = 1;
    char name[8] = "test";
    char* argv[1] = {name};
    QApplication application(argc, argv);
    ASSERT_EQ(KvRegisterRendererClasses(), S_OK);

    MessageWindow captureWindow, previewList;
    auto closing = std::make_unique<MessageWindow>();
    const auto capture = GraphTelling(&captureWindow, WM_APP + 3, 0);
    const auto player = GraphTelling(&previewList, WM_APP + 2, 5);  // instance data: the row index
    const auto closed = GraphTelling(closing.get(), WM_APP + 3, 0);
    closing.reset();

    const auto end = std::chrono::steady_clock::now() + 5s;
    while ((captureWindow.received.empty() || previewList.received.empty()) && std::chrono::steady_clock::now() < end)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    using Received = std::vector<std::pair<QEvent::Type, LPARAM>>;
    EXPECT_EQ(captureWindow.received, (Received{{QEvent::Type(0x8003), 0}}));
    EXPECT_EQ(previewList.received, (Received{{QEvent::Type(0x8002), 5}}));
}

}  // namespace
