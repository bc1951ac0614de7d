#pragma once
// The program's real message boxes and file dialog, behind the one way the
// program shows them (platform/dialogs.h).

namespace windows {

// Puts QMessageBox and QFileDialog behind rt::messageBox and rt::openFileName.
void installDialogs();

} // namespace windows
