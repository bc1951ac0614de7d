#pragma once
// The status log: plain text lines shown in the status window's text box,
// never saved. Every window writes its status and diagnostic lines here.

#include <QObject>
#include <QString>
#include <QStringList>

namespace shell {

class StatusLog : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Adds one line; a text with line ends inside becomes several lines.
    void append(const QString &line);
    void clear();

    const QStringList &lines() const { return m_lines; }
    // The text box's text: the lines, each ended by CR LF.
    QString text() const;

Q_SIGNALS:
    void appended(const QString &line);
    void cleared();

private:
    QStringList m_lines;
};

} // namespace shell
