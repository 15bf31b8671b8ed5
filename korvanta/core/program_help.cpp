#include "korvanta/core/program_help.h"

#include <QDesktopServices>
#include <QUrl>

#include "korvanta/skin/about_dialog.h"
#include "platform/system/program_folder.h"

std::filesystem::path HelpFilePath() {
    return ProgramDataFolder() / "korvanta.html";
}

bool OpenHelp() {
    return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(HelpFilePath().string())));
}

void ShowAbout(QWidget* owner) {
    AboutDialog about(owner);
    about.exec();
}
