#include "korvanta/skin/settings_dialog.h"

#include <QIcon>

#include "korvanta/core/language.h"
#include "korvanta/resources/resource_names.h"
#include "korvanta/skin/capture_page.h"
#include "korvanta/skin/dialog_units.h"
#include "korvanta/skin/general_page.h"
#include "korvanta/skin/preview_page.h"
#include "korvanta/skin/tooltip_control.h"

namespace {
QString Label(const char* key) { return QString::fromStdString(LabelText(key)); }
}  // namespace

SettingsDialog::SettingsDialog(QWidget* parent) : QDialog(parent) {
    SetWindowId(kDialogId);
    RegisterToolTips(*this, kDialogId);

    const DialogUnits units(font());
    setFixedSize(units.Size(kWidthUnits, kHeightUnits));
    tabs_.setObjectName("1005");
    tabs_.setGeometry(units.Rect(7, 7, 389, 184));
    const QSize button = units.Size(50, 14);
    const int buttonTop = units.Y(200);
    apply_.setGeometry(QRect(QPoint(width() - units.X(7) - button.width(), buttonTop), button));
    cancel_.setGeometry(QRect(QPoint(apply_.x() - units.X(6) - button.width(), buttonTop), button));
    ok_.setGeometry(QRect(QPoint(cancel_.x() - units.X(6) - button.width(), buttonTop), button));

    setWindowTitle(Label("WinTitle"));
    setWindowIcon(QIcon(QString::fromStdString(IconResourcePath(kIconId))));
    ok_.setText(Label("BtnOK"));
    cancel_.setText(Label("BtnCancel"));
    apply_.setText(Label("BtnApply"));
    ok_.setDefault(true);
    apply_.setEnabled(false);

    general_ = std::make_unique<GeneralPage>(*this);
    tabs_.AddTab(Label("General"), *general_);
    preview_ = std::make_unique<PreviewPage>(*this);
    tabs_.AddTab(Label("PreviewSettings"), *preview_);
    capture_ = std::make_unique<CapturePage>(*this);
    tabs_.AddTab(Label("CaptureSettings"), *capture_);

    connect(&ok_, &QPushButton::clicked, this, [this] {
        ApplyChanges();
        accept();
    });
    connect(&cancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(&apply_, &QPushButton::clicked, this, [this] { ApplyChanges(); });
}

SettingsDialog::~SettingsDialog() {
    // The pages go first: they are children of the tab control and of this tree.
    capture_.reset();
    preview_.reset();
    general_.reset();
    UnregisterToolTips();
}

std::array<SettingsPage*, 3> SettingsDialog::Pages() const { return {general_.get(), preview_.get(), capture_.get()}; }

void SettingsDialog::UpdateApply() {
    bool any = false;
    // Pages that are still being created count as unchanged.
    for (const SettingsPage* page : Pages())
        any = any || (page && page->AnyChanged());
    apply_.setEnabled(any);
}

void SettingsDialog::ApplyChanges() {
    for (SettingsPage* page : Pages()) {
        if (page->AnyChanged())
            page->Apply();
    }
    UpdateApply();
}
