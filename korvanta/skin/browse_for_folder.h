#pragma once
// The folder browser the settings dialog, the capture window and the main
// window share: a modal folder dialog that starts at the initial folder.
#include <string>

class QWidget;

struct BrowseResult {
    static constexpr int kChosen = 1;
    static constexpr int kCancelled = 2;
    int result = kCancelled;
    std::string path;  // the chosen folder; empty when cancelled
};

BrowseResult BrowseForFolder(QWidget* owner, const std::string& title, const std::string& initialFolder);
