#include "support/files.h"

#include <QFile>

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QList<QByteArray> fileLines(const QString &path)
{
    QList<QByteArray> lines = fileBytes(path).split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QList<QByteArray> scanDataFields(const QList<QByteArray> &lines)
{
    QList<QByteArray> fields;
    for (qsizetype k = 6; k < lines.size(); ++k)
        fields.append(lines[k].left(lines[k].size() - 23));
    return fields;
}
