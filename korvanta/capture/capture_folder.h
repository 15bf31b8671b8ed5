#pragma once
// Where captured files go and what they are called: the capture folder, the
// base name typed by the user and the path given to the file writer.
#include <string>
#include <string_view>

inline constexpr const char* kDefaultBaseName = "Pellorim";

// The capture folder when the capture window opens: the setting
// CaptureFolder; when that is empty, PreviewFolder, which is then stored as
// CaptureFolder without change notification.
std::string CaptureFolderAtOpening();

// The folder exists and is a directory.
bool CaptureFolderExists(std::string_view folder);

// Whether the folder may receive captures: it lies on a fixed disk of this
// computer. On Windows the test is the folder's drive letter among the fixed
// drives; here it is the file system the folder (or its nearest existing
// parent) lives on: a local, non-removable block device.
bool IsOnFixedDisk(std::string_view folder);

// The base name to store and send after an edit: the text, or "Pellorim"
// when the edit was left empty.
std::string EffectiveBaseName(std::string_view edited);

// The path handed to the file writer: folder, "\" and name, as the program
// writes it on Windows; the file writer reads "\" as the path separator.
std::string CaptureFilePath(std::string_view folder, std::string_view name);
