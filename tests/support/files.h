#pragma once
// Reading back what the program wrote.

#include <QByteArray>
#include <QList>
#include <QString>

// The whole file; empty when it cannot be read.
QByteArray fileBytes(const QString &path);

// The lines of a file split at LF, the LF dropped and a CR kept, so a line
// the program ended with CR LF reads back ending in "\r".
QList<QByteArray> fileLines(const QString &path);

// The data lines of a scan data file (after its six header lines), each
// without its time stamp ("  yyyy/mm/dd-HH:mm:ss,\r").
QList<QByteArray> scanDataFields(const QList<QByteArray> &lines);
