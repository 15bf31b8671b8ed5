#pragma once
// The tooltip control of a window: a small tip window that appears where the
// mouse rests on the current tool, at most 400 pixels wide, while the control
// is active. Windows register one at creation (RegisterToolTips) and remove
// it at destruction (UnregisterToolTips); the component tree decides what it
// shows (korvanta/core/tooltip_registry.h).
#include <QLabel>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

#include "korvanta/core/tooltip_registry.h"

class SettingsObserver;

class QtToolTipControl final : public QObject, public ToolTipControl {
public:
    static constexpr int kMaxTipWidth = 400;
    // How long the mouse rests on a tool before the tip shows, and how long
    // the tip then stays.
    static constexpr int kInitialDelayMs = 500;
    static constexpr int kAutoPopMs = 8000;

    QtToolTipControl();
    ~QtToolTipControl() override;

    void Activate(bool active) override;
    void Pop() override;
    void SetTool(WindowHandle window, const ComponentRect& rect, const std::string& text) override;
    void RelayEvent(const ToolTipMessage& message) override;

    // Sends the mouse messages of window (a child control) to component's
    // RelayToolTipEvent, so tips also work over child controls.
    void AddToolWindow(SettingsObserver& component, QWidget& window);

    bool IsActive() const { return active_; }
    const std::string& ToolText() const { return text_; }
    // The tip window; visible while a tip shows.
    QLabel& TipWindow() { return tip_; }
    // Shows the tip now at screen point, as a rest of the mouse there does.
    void ShowTipAt(QPoint screenPoint);

private:
    class Relay;
    bool ToolContains(QPoint screenPoint) const;

    QLabel tip_;
    QTimer restTimer_;
    QTimer popTimer_;
    QPoint restPoint_;
    bool active_ = false;
    QPointer<QWidget> toolWindow_;
    ComponentRect rect_;
    std::string text_;
    std::vector<std::unique_ptr<Relay>> relays_;
};

// Creates the window's tooltip control (inactive, one empty tool) and puts it
// in front of the registry under windowId.
void RegisterToolTips(QWidget& window, int windowId);
// Removes and destroys the front control of the registry.
void UnregisterToolTips();
// Adds window (a child control) as a tool window of the component's control.
void AddToolWindow(SettingsObserver& component, QWidget& window);
// The Qt control registered under windowId, or nullptr.
QtToolTipControl* FindQtToolTipControl(int windowId);
