#include "platform/media/renderers/video_window.h"

#include <QApplication>
#include <QThread>

#include "platform/media/renderers/video_widget.h"
#include "platform/media/renderers/window_handle.h"

namespace {
QApplication* Application() { return qobject_cast<QApplication*>(QCoreApplication::instance()); }
}  // namespace

std::shared_ptr<VideoWindow> VideoWindow::Create() { return std::shared_ptr<VideoWindow>(new VideoWindow()); }

VideoWindow::Settings VideoWindow::Current() const {
    std::scoped_lock lock(lock_);
    return settings_;
}

void VideoWindow::Change(const std::function<void(Settings&)>& change) {
    {
        std::scoped_lock lock(lock_);
        change(settings_);
    }
    Schedule();
}

void VideoWindow::ShowFrame(QImage frame) {
    {
        std::scoped_lock lock(lock_);
        pendingFrame_ = std::move(frame);
        if (frameScheduled_) return;
        frameScheduled_ = true;
    }
    Schedule();
}

void VideoWindow::StreamingStarted() {
    Change([](Settings& settings) {
        if (settings.autoShow) settings.visible = true;
    });
}

void VideoWindow::Close() {
    {
        std::scoped_lock lock(lock_);
        closed_ = true;
    }
    Schedule();
}

void VideoWindow::Schedule() {
    QApplication* application = Application();
    if (!application) return;
    if (QThread::currentThread() == application->thread()) {
        Sync();
        return;
    }
    // The queued call keeps this object alive until it has run.
    QMetaObject::invokeMethod(application, [self = shared_from_this()] { self->Sync(); }, Qt::QueuedConnection);
}

VideoWidget* VideoWindow::Widget() {
    if (!widget_ && Application()) {
        std::scoped_lock lock(lock_);
        if (closed_) return nullptr;
        // Top-level until an owner takes it; deleted by Close, or by the owner as its child.
        widget_ = new VideoWidget();
    }
    return widget_.data();
}

void VideoWindow::Sync() {
    Settings settings;
    QImage frame;
    bool closed = false;
    {
        std::scoped_lock lock(lock_);
        settings = settings_;
        frame = std::move(pendingFrame_);
        pendingFrame_ = QImage();
        frameScheduled_ = false;
        closed = closed_;
    }
    if (closed) {
        delete widget_.data();
        return;
    }
    VideoWidget* widget = Widget();
    if (!widget) return;
    if (settings.owner != ownerHandle_) {
        ownerHandle_ = settings.owner;
        owner_ = WidgetFromOaHwnd(settings.owner);
    }
    QWidget* owner = owner_.data();
    if (widget->parentWidget() != owner) widget->setParent(owner);  // hides it; shown again below
    if (widget->geometry() != settings.position) widget->setGeometry(settings.position);
    if (widget->isHidden() == settings.visible) widget->setVisible(settings.visible);
    if (!frame.isNull()) widget->SetFrame(std::move(frame));
}
