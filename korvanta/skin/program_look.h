#pragma once
// The look every window of the program shares: one widget style and the
// dialog font the layouts in dialog units are measured with. Start-up applies
// it once, right after the application object exists.
#include <QApplication>

void ApplyProgramLook(QApplication& application);
