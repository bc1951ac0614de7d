#pragma once
// The panel's pictures, read from the picture folder (DISPLAY_BMP/ in the
// program's folder). File names are matched without regard to letter case,
// as the panel names them ("DIS_add.BMP" finds DIS_ADD.BMP). Each picture is
// read once and kept. A picture that is missing or cannot be read shows as
// a placeholder of its usual size, so the panel stays usable, and is
// reported once on the status line.

#include <QHash>
#include <QImage>
#include <QString>

#include <functional>
#include <map>

namespace display {

class PictureStore
{
public:
    using StatusSink = std::function<void(const QString &line)>;

    explicit PictureStore(const QString &folder);

    // Receives one line per picture that is missing or unreadable.
    void setStatusSink(StatusSink sink) { m_status = std::move(sink); }

    // The picture named fileName in the folder, e.g. "ACV_BUTT1.BMP"; a
    // leading "\" or "/" is allowed, as the panel's names are written. The
    // reference stays valid as long as the store.
    const QImage &picture(const QString &fileName);

    QString folder() const { return m_folder; }

    // The file of a display glyph: "add" -> "DIS_add.BMP".
    static QString glyphFile(const QString &glyph);

    // What stands in for a missing picture: magenta, crossed, framed.
    static QImage placeholder(QSize size);
    // The size the panel shows a picture at, known from its name.
    static QSize usualSize(const QString &fileName);

private:
    void scanFolder();

    QString m_folder;
    bool m_scanned = false;
    QHash<QString, QString> m_files;        // lower-case name -> name on disk
    std::map<QString, QImage> m_pictures;   // lower-case name -> picture; nodes never move
    StatusSink m_status;
};

} // namespace display
