#pragma once
// The services behind the main window's Help and About buttons.
#include <filesystem>

class QWidget;

// The program's HTML manual, installed beside the program as "korvanta.html".
std::filesystem::path HelpFilePath();
// Opens the manual with the desktop's handler for it. A missing file or
// handler is not reported; returns whether the desktop took the request.
bool OpenHelp();
// Shows the About box, modal to owner, until the user closes it.
void ShowAbout(QWidget* owner);
