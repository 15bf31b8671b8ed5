#include "korvanta/skin/general_page.h"

#include "korvanta/core/settings.h"

namespace {
bool StoredTooltips() { return GetSetting(SettingId::Tooltips).number != 0; }
}  // namespace

GeneralPage::GeneralPage(SettingsDialog& dialog) : SettingsPage(dialog, kItemCount) {
    showTooltips_.setObjectName("1007");
    showTooltips_.setGeometry(Units().Rect(14, 14, 200, 10));
    RegisterItem(kShowTooltips, &showTooltips_, "ShowTooltips", &showTooltips_, false);
    RegisterItem(kPage, this, "General", nullptr, false);
    showTooltips_.setChecked(StoredTooltips());
    connect(&showTooltips_, &QCheckBox::toggled, this,
            [this](bool checked) { SetChanged(kShowTooltips, checked != StoredTooltips()); });
}

void GeneralPage::Apply() {
    if (IsChanged(kShowTooltips))
        SetSetting(SettingId::Tooltips, {{}, showTooltips_.isChecked() ? 1 : 0}, true);
    ClearChanged();
}
