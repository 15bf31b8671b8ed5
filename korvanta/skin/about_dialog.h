#pragma once
// The About box: 239 x 350 dialog units with the program's picture (bitmap
// 192) above its About page (HTML resource 199) in a text browser.
#include <QDialog>

class QLabel;
class QTextBrowser;

class AboutDialog final : public QDialog {
public:
    static constexpr int kBitmapId = 192;
    static constexpr int kPageId = 199;

    explicit AboutDialog(QWidget* owner = nullptr);

    // True when both the picture and the page were found.
    bool Complete() const { return complete_; }

private:
    bool complete_ = false;
};
