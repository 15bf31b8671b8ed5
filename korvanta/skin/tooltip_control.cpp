#include "korvanta/skin/tooltip_control.h"

#include <QEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>

#include <algorithm>

#include "korvanta/core/settings_observer.h"

// Forwards one window's mouse messages to a component while both live.
class QtToolTipControl::Relay final : public QObject {
public:
    Relay(SettingsObserver& component, QWidget& window) : component_(component), window_(&window) {
        window.setMouseTracking(true);
        window.installEventFilter(this);
    }
    ~Relay() override {
        if (window_)
            window_->removeEventFilter(this);
    }
    bool Watches(const QWidget& window) const { return window_ == &window; }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        ToolTipMessage message;
        switch (event->type()) {
        case QEvent::MouseMove:
            message.message = MouseMessage::MouseMove;
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            message.message = static_cast<QMouseEvent*>(event)->button() == Qt::RightButton
                                  ? MouseMessage::RButtonDown
                                  : MouseMessage::LButtonDown;
            break;
        case QEvent::MouseButtonRelease:
            message.message = static_cast<QMouseEvent*>(event)->button() == Qt::RightButton
                                  ? MouseMessage::RButtonUp
                                  : MouseMessage::LButtonUp;
            break;
        case QEvent::Leave:
            message.message = MouseMessage::MouseLeave;
            break;
        default:
            return false;
        }
        QPoint screen = QCursor::pos();
        if (event->type() != QEvent::Leave)
            screen = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        message.screenPoint = {screen.x(), screen.y()};
        component_.RelayToolTipEvent(message);
        return false;
    }

private:
    SettingsObserver& component_;
    QPointer<QWidget> window_;
};

QtToolTipControl::QtToolTipControl() : tip_(nullptr, Qt::ToolTip | Qt::FramelessWindowHint) {
    tip_.setObjectName("korvantaToolTip");
    tip_.setMargin(4);
    tip_.setForegroundRole(QPalette::ToolTipText);
    tip_.setBackgroundRole(QPalette::ToolTipBase);
    tip_.setAutoFillBackground(true);
    tip_.setFrameStyle(QFrame::Box | QFrame::Plain);
    tip_.setPalette(QGuiApplication::palette());
    restTimer_.setSingleShot(true);
    popTimer_.setSingleShot(true);
    connect(&restTimer_, &QTimer::timeout, this, [this] { ShowTipAt(restPoint_); });
    connect(&popTimer_, &QTimer::timeout, this, [this] { Pop(); });
}

QtToolTipControl::~QtToolTipControl() = default;

void QtToolTipControl::Activate(bool active) {
    active_ = active;
    if (!active)
        Pop();
}

void QtToolTipControl::Pop() {
    restTimer_.stop();
    popTimer_.stop();
    tip_.hide();
}

void QtToolTipControl::SetTool(WindowHandle window, const ComponentRect& rect, const std::string& text) {
    toolWindow_ = window;
    rect_ = rect;
    text_ = text;
    tip_.setText(QString::fromStdString(text));
}

bool QtToolTipControl::ToolContains(QPoint screenPoint) const {
    if (!toolWindow_ || rect_.IsEmpty())
        return false;
    const QPoint local = toolWindow_->mapFromGlobal(screenPoint);
    return rect_.Contains({local.x(), local.y()});
}

void QtToolTipControl::RelayEvent(const ToolTipMessage& message) {
    const QPoint point(message.screenPoint.x, message.screenPoint.y);
    if (message.message != MouseMessage::MouseMove || !active_ || text_.empty() || !ToolContains(point)) {
        Pop();
        return;
    }
    // A tip that shows stays while the mouse moves on its tool; otherwise the
    // mouse has to rest for the initial delay.
    if (tip_.isVisible())
        return;
    restPoint_ = point;
    restTimer_.start(kInitialDelayMs);
}

void QtToolTipControl::ShowTipAt(QPoint screenPoint) {
    if (!active_ || text_.empty())
        return;
    // As wide as the text needs, up to the maximum width, then wrapped.
    tip_.setWordWrap(false);
    tip_.setMinimumSize(0, 0);
    tip_.setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    const int natural = tip_.sizeHint().width();
    tip_.setWordWrap(natural > kMaxTipWidth);
    const int width = std::min(natural, kMaxTipWidth);
    tip_.setFixedSize(width, tip_.heightForWidth(width) > 0 ? tip_.heightForWidth(width) : tip_.sizeHint().height());
    // Below the mouse pointer, kept on the screen.
    QPoint topLeft = screenPoint + QPoint(2, 20);
    if (const QScreen* screen = QGuiApplication::screenAt(screenPoint)) {
        const QRect area = screen->availableGeometry();
        topLeft.setX(std::min(topLeft.x(), area.right() - tip_.width()));
        if (topLeft.y() + tip_.height() > area.bottom())
            topLeft.setY(screenPoint.y() - tip_.height() - 4);
        topLeft.setX(std::max(topLeft.x(), area.left()));
    }
    tip_.move(topLeft);
    tip_.show();
    tip_.raise();
    popTimer_.start(kAutoPopMs);
}

void QtToolTipControl::AddToolWindow(SettingsObserver& component, QWidget& window) {
    for (const auto& relay : relays_) {
        if (relay->Watches(window))
            return;
    }
    relays_.push_back(std::make_unique<Relay>(component, window));
}

void RegisterToolTips(QWidget& window, int windowId) {
    auto control = std::make_unique<QtToolTipControl>();
    control->Activate(false);
    control->SetTool(&window, {}, {});
    PushToolTipControl(windowId, std::move(control));
}

void UnregisterToolTips() { PopToolTipControl(); }

QtToolTipControl* FindQtToolTipControl(int windowId) {
    return dynamic_cast<QtToolTipControl*>(FindToolTipControl(windowId));
}

void AddToolWindow(SettingsObserver& component, QWidget& window) {
    if (QtToolTipControl* control = FindQtToolTipControl(component.WindowId()))
        control->AddToolWindow(component, window);
}
