#pragma once
// The window the program shows after start-up until its main window exists:
// a plain top-level dialog with the program's name that closes normally.

// Shows the window and returns when the user has closed it.
void RunPlaceholderWindow();
