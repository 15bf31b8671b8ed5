#include "korvanta/core/tooltip_registry.h"

#include <utility>
#include <vector>

#include "korvanta/core/settings.h"
#include "korvanta/core/settings_observer.h"

namespace {

struct RegisteredControl {
    int windowId;
    std::unique_ptr<ToolTipControl> control;
};

struct ToolTipRegistry {
    std::vector<RegisteredControl> controls;  // the front is the newest
    ComponentPoint lastPoint{-1, -1};          // the last mouse position the relay saw
};

ToolTipRegistry& Registry() {
    static ToolTipRegistry registry;
    return registry;
}

}  // namespace

void PushToolTipControl(int windowId, std::unique_ptr<ToolTipControl> control) {
    auto& controls = Registry().controls;
    controls.insert(controls.begin(), RegisteredControl{windowId, std::move(control)});
}

void PopToolTipControl() {
    auto& controls = Registry().controls;
    if (!controls.empty())
        controls.erase(controls.begin());
}

ToolTipControl* FindToolTipControl(int windowId) {
    for (const RegisteredControl& registered : Registry().controls) {
        if (registered.windowId == windowId)
            return registered.control.get();
    }
    return nullptr;
}

void ShowTip(SettingsObserver& component, WindowHandle window, const ComponentRect& rect, const std::string& text) {
    ToolTipControl* control = FindToolTipControl(component.WindowId());
    if (!control)
        return;
    control->Pop();
    if (text.empty())
        return;
    // The setting is read at every new tool, so switching tips on or off in
    // the settings dialog takes effect at the next mouse move.
    control->Activate(GetSetting(SettingId::Tooltips).number != 0);
    control->SetTool(window, rect, text);
}

void RelayToComponentTip(SettingsObserver& component, const ToolTipMessage& message) {
    ToolTipControl* control = FindToolTipControl(component.WindowId());
    if (!control)
        return;
    ToolTipRegistry& registry = Registry();
    if (message.message == MouseMessage::MouseMove && component.ToolTipsEnabled() &&
        !(message.screenPoint == registry.lastPoint)) {
        registry.lastPoint = message.screenPoint;
        const ToolTipTool tool = component.GetToolAt(message.screenPoint);
        if (tool.Found())
            ShowTip(component, tool.window, tool.rect, tool.text);
    }
    // ShowTip may not have run, but the control is still the one found.
    control->RelayEvent(message);
}
