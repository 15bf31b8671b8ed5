#pragma once
// The settings dialog: three pages (General, Preview, Capture) in a tab
// control, with OK, Cancel and Apply. Apply is enabled exactly while an item
// on some page differs from the stored setting; applying writes only those
// items, each with a change notification, so open windows follow at once.
// Every caption and tip comes from the language table.
#include <QDialog>
#include <QPushButton>

#include <array>
#include <memory>

#include "korvanta/core/settings_observer.h"
#include "korvanta/skin/page_tab_ctrl.h"

class GeneralPage;
class PreviewPage;
class CapturePage;
class SettingsPage;

class SettingsDialog final : public QDialog, public SettingsObserver {
public:
    static constexpr int kDialogId = 153;
    static constexpr int kWidthUnits = 403, kHeightUnits = 222;
    static constexpr int kIconId = 207;

    explicit SettingsDialog(QWidget* parent = nullptr);
    ~SettingsDialog() override;

    // Enables Apply while some page has a changed item.
    void UpdateApply();
    // Writes the changed items of every page.
    void ApplyChanges();

    QPushButton& OkButton() { return ok_; }
    QPushButton& CancelButton() { return cancel_; }
    QPushButton& ApplyButton() { return apply_; }
    PageTabCtrl& Tabs() { return tabs_; }
    GeneralPage& General() { return *general_; }
    PreviewPage& Preview() { return *preview_; }
    CapturePage& Capture() { return *capture_; }

private:
    // General, Preview and Capture, in the order they apply.
    std::array<SettingsPage*, 3> Pages() const;

    PageTabCtrl tabs_{this};
    QPushButton ok_{this};
    QPushButton cancel_{this};
    QPushButton apply_{this};
    std::unique_ptr<GeneralPage> general_;
    std::unique_ptr<PreviewPage> preview_;
    std::unique_ptr<CapturePage> capture_;
};
