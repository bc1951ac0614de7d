#pragma once
// The front panel's pictures, drawn by the program itself: the character
// glyphs and points of the two displays, the key faces, the power switch,
// the panel lines, the diode and continuity symbols and the logo. Each is
// drawn at the pixel size it is shown at (15 twips a pixel), so the panel
// never scales a picture.
//
// Text needs Qt's font database, so a QGuiApplication must exist (the
// offscreen platform is enough) before anything here is called.

#include <QImage>
#include <QString>

#include <vector>

namespace pictures {

struct Picture
{
    QString fileName;  // as the panel names it, e.g. "DIS_ohm.BMP", "ACV_BUTT1.BMP"
    QImage image;
};

// Every picture of the panel.
std::vector<Picture> drawAll();

// Draws every picture into folder (made when missing) as BMP files.
// Returns the reason on failure, an empty text on success.
QString writeAll(const QString &folder);

} // namespace pictures
