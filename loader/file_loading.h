#pragma once
// Opening a recorded-data file in the loader: the Open dialog, the header
// checks, the table, the range boxes and the point step; and the keys the
// range boxes take.

#include <QString>

namespace loader {

class Loader;

// The Open dialog's filter. The recorder writes ".txt"; older files may say
// ".TXT", and names are case-sensitive here.
inline constexpr QStringView kOpenFilter = u"Text (*.txt *.TXT)";

// "Open File": asks for a file in "SAVE DATA" and loads it.
void OPEN_FILE_BUTT_Click(Loader &ld);

// Loads the file at `path` (what the dialog returned), with the messages
// the user sees.
void loadRecordedFile(Loader &ld, const QString &path);

// The range boxes take the digits, ":" and Backspace; any other key's code
// is set to 0, which discards it.
void rangeBoxKeyPress(int &KeyAscii);

} // namespace loader
