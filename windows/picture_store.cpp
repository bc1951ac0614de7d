#include "windows/picture_store.h"

#include "platform/twips.h"

#include <QDir>
#include <QImageReader>
#include <QPainter>

namespace display {

PictureStore::PictureStore(const QString &folder)
    : m_folder(folder)
{
}

QString PictureStore::glyphFile(const QString &glyph)
{
    return QStringLiteral("DIS_") + glyph + QStringLiteral(".BMP");
}

QSize PictureStore::usualSize(const QString &fileName)
{
    const QString name = fileName.toLower();
    if (name.startsWith(QLatin1String("dis_")))
        return rt::twipsSize(510, 975);
    if (name == QLatin1String("drop.bmp"))
        return rt::twipsSize(135, 135);
    if (name.endsWith(QLatin1String("_butt1.bmp")) || name.endsWith(QLatin1String("_butt2.bmp")))
        return rt::twipsSize(735, 375);
    return rt::twipsSize(600, 375);  // any other small panel picture
}

QImage PictureStore::placeholder(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(255, 0, 255));
    QPainter p(&image);
    p.setPen(QColor(0, 0, 0));
    p.drawRect(image.rect().adjusted(0, 0, -1, -1));
    p.drawLine(0, 0, size.width() - 1, size.height() - 1);
    p.drawLine(0, size.height() - 1, size.width() - 1, 0);
    return image;
}

void PictureStore::scanFolder()
{
    m_scanned = true;
    const QDir dir(m_folder);
    // Sorted, so that of two names differing only in case the same one wins
    // every time.
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString &name : names)
        m_files.insert(name.toLower(), name);
}

const QImage &PictureStore::picture(const QString &fileName)
{
    QString name = fileName;
    while (name.startsWith(u'\\') || name.startsWith(u'/'))
        name.remove(0, 1);
    const QString key = name.toLower();
    if (const auto found = m_pictures.find(key); found != m_pictures.end())
        return found->second;

    if (!m_scanned)
        scanFolder();
    QImage image;
    QString problem;
    if (const auto file = m_files.constFind(key); file == m_files.constEnd()) {
        problem = QStringLiteral("Picture %1 is missing from %2").arg(name, QDir::toNativeSeparators(m_folder));
    } else {
        QImageReader reader(QDir(m_folder).filePath(*file));
        image = reader.read();
        if (image.isNull())
            problem = QStringLiteral("Picture %1 cannot be read: %2").arg(*file, reader.errorString());
    }
    if (!problem.isEmpty()) {
        image = placeholder(usualSize(name));
        if (m_status)
            m_status(problem);
    }
    return m_pictures.emplace(key, std::move(image)).first->second;
}

} // namespace display
