#pragma once
// The settings dialog's General page: whether tips are shown.
#include <QCheckBox>

#include "korvanta/skin/settings_page.h"

class GeneralPage final : public SettingsPage {
public:
    static constexpr int kDialogId = 154;
    enum Item { kShowTooltips = 0, kPage = 1, kItemCount = 2 };

    explicit GeneralPage(SettingsDialog& dialog);
    void Apply() override;

    QCheckBox& ShowTooltips() { return showTooltips_; }

private:
    QCheckBox showTooltips_{this};
};
