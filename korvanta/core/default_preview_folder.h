#pragma once
#include <string>

// The preview folder the program suggests when none is set: "KorvantaVideo"
// in the user's video folder, else in the documents folder; empty when the
// user has neither. The folder is not created here.
std::string DefaultPreviewFolder();
