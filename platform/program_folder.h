#pragma once
// The program's folder: where the settings record, "SAVE DATA", "SCAN DATA"
// and "DISPLAY_BMP" live. Paths are built with "/" on every system.

#include <QString>

namespace rt {

// The folder of the executable, or the one a test put in its place.
QString programFolder();

// The program's folder followed by "/" and the given name.
QString inProgramFolder(const QString &name);

// Tests point the program's folder at a temporary one; "" restores it.
void setProgramFolder(const QString &folder);

} // namespace rt
