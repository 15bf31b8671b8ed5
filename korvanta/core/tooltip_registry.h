#pragma once
// The process-wide tooltip registry: one tooltip control per window that
// shows tips, by the window's dialog resource number. It is used as a stack:
// a window registers its control when it opens and removes it when it closes,
// so modal windows unregister in the reverse order of registering. The
// controls themselves are windows (see korvanta/skin/tooltip_control.h); this
// side decides what they show.
#include <memory>
#include <string>

#include "korvanta/core/component_types.h"

class SettingsObserver;

// A tooltip control with one tool (identifier 1) whose window, rectangle and
// text change with the element under the mouse.
class ToolTipControl {
public:
    virtual ~ToolTipControl() = default;
    // Shows tips (when the mouse rests on the tool) only while active.
    virtual void Activate(bool active) = 0;
    // Hides a tip that is showing.
    virtual void Pop() = 0;
    // Tool 1 becomes this rectangle of window (client coordinates) with this text.
    virtual void SetTool(WindowHandle window, const ComponentRect& rect, const std::string& text) = 0;
    // A mouse message of the window or of one of its tool windows.
    virtual void RelayEvent(const ToolTipMessage& message) = 0;
};

// Puts the control in front of the registry.
void PushToolTipControl(int windowId, std::unique_ptr<ToolTipControl> control);
// Removes and destroys the front control; nothing when the registry is empty.
void PopToolTipControl();
// The first control registered under windowId, or nullptr.
ToolTipControl* FindToolTipControl(int windowId);

// Pops any visible tip of the component's control; with a text, the control
// is activated exactly while the setting Tooltips is on and tool 1 becomes
// rect of window with the text.
void ShowTip(SettingsObserver& component, WindowHandle window, const ComponentRect& rect, const std::string& text);

// The base component's relay: finds the component's control; on a mouse move
// to a new point while the component's ToolTipsEnabled, asks GetToolAt and
// shows what it finds; then relays the message to the control.
void RelayToComponentTip(SettingsObserver& component, const ToolTipMessage& message);
