#pragma once
// Files that replace another are written whole: a temporary file renamed
// over the old one, so a failed write leaves the old file as it was.

#include <QByteArray>
#include <QString>

namespace formats {

// False, with the system's reason, when the file could not be written.
bool saveWhole(const QString &path, const QByteArray &bytes, QString *reason);

} // namespace formats
