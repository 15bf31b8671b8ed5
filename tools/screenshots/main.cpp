// Draws the program's real windows into PNG files for review by eye.
//
//   korvanta-screenshots <output folder> [scene ...]
//
// writes <folder>/<scene>.png for every scene (or only the ones named). The
// texts come from the Language.ini next to the program; settings start
// empty and each scene stores what it shows.
#include <QApplication>
#include <QDir>

#include <cstdio>
#include <set>
#include <string>

#include "korvanta/core/ini_documents.h"
#include "korvanta/skin/context_menu_popup.h"
#include "korvanta/skin/program_look.h"
#include "platform/system/program_folder.h"
#include "tools/screenshots/scene.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: korvanta-screenshots <output folder> [scene ...]\n");
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ApplyProgramLook(application);
    LanguageDocument().Load((ProgramFolder() / "Language.ini").string());

    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath(".")) {
        std::fprintf(stderr, "korvanta-screenshots: cannot create %s\n", argv[1]);
        return 1;
    }
    const std::set<std::string> wanted(argv + 2, argv + argc);
    int failures = 0;
    for (const Scene& scene : AllScenes()) {
        if (!wanted.empty() && !wanted.contains(scene.name))
            continue;
        const QString path = out.filePath(QString::fromStdString(scene.name + ".png"));
        if (scene.draw().save(path, "PNG")) {
            std::printf("%s\n", qPrintable(path));
        } else {
            std::fprintf(stderr, "korvanta-screenshots: could not write %s\n", qPrintable(path));
            ++failures;
        }
    }
    ReleaseContextMenu();
    return failures == 0 ? 0 : 1;
}
