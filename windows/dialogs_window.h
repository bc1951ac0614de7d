#pragma once
// The program's real message boxes and file dialog, behind the one way the
// program shows them (platform/dialogs.h).

class QFileDialog;
class QString;
class QWidget;

namespace windows {

// Puts QMessageBox and QFileDialog behind rt::messageBox, rt::askOkCancel
// and rt::openFileName.
void installDialogs();

// The Open dialog that rt::openFileName shows, not yet shown.
QFileDialog *openFileDialog(QWidget *parent, const QString &caption, const QString &folder,
                            const QString &filter);

} // namespace windows
