#include "korvanta/skin/browse_for_folder.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

BrowseResult BrowseForFolder(QWidget* owner, const std::string& title, const std::string& initialFolder) {
    QFileDialog dialog(owner, QString::fromStdString(title));
    // Only folders of the file system, with an edit box for typing a path.
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    // The initial folder starts selected, so OK alone keeps it.
    const QFileInfo initial(QString::fromStdString(initialFolder));
    if (!initialFolder.empty() && initial.isDir()) {
        dialog.setDirectory(initial.absolutePath());
        dialog.selectFile(initial.absoluteFilePath());
    }
    BrowseResult result;
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return result;
    result.result = BrowseResult::kChosen;
    result.path = QDir::toNativeSeparators(dialog.selectedFiles().front()).toStdString();
    return result;
}
