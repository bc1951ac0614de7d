#pragma once
// Opening a file the user named, for reading, on the window's thread. Only
// a plain file is opened: a named pipe would hold the open (and so the
// window) until another program wrote to it, and a device or a socket
// never ends. Every reader of a chosen file opens it here.

#include <QString>

class QFile;

namespace rt {

// Opens `file` (its name set) read-only when it names a plain file, a
// symbolic link to one included. A folder, named pipe, device or socket is
// refused before it is opened; one put in the file's place meanwhile is
// refused after an open that does not wait. On failure returns false and
// sets `why` to the reason, worded as the system words its own: "It is a
// folder", "It is a named pipe, not a plain file", "No such file or
// directory".
bool openPlainFile(QFile &file, QString &why);

} // namespace rt
