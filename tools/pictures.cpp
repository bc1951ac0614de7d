#include "tools/pictures.h"

#include "core/panel_colours.h"

#include "platform/twips.h"

#include <QDir>
#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QTransform>

#include <array>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <numbers>

using namespace Qt::StringLiterals;

namespace pictures {
namespace {

// ---------------------------------------------------------------- colours

// A cyan-green vacuum-fluorescent display behind smoked glass: lit segments
// bright, unlit ones faintly there, as on the real tube.
const QColor kFace = display::kDisplayFace;
const QColor kLit = display::kDisplayLit;
const QColor kGhost = display::kDisplayGhost;

// The panel around the keys: dark charcoal, light grey keys with dark print,
// a blue SHIFT key with white print.
const QColor kPanel = display::kPanelFront;
const QColor kWell(22, 24, 27);
const QColor kPrint(26, 29, 33);
const QColor kWhitePrint(246, 248, 250);

QColor glow(int alpha)
{
    QColor c = kLit;
    c.setAlpha(alpha);
    return c;
}

// ---------------------------------------------------------------- glyphs

// The character box inside the 34 x 65 pixel glyph picture. Strokes are
// laid out in a 24 x 51 pixel box and then slanted; the margins leave room
// for the slant, the half stroke outside the box and the micro sign's tail.
constexpr double kBoxWidth = 24.0;
constexpr double kBoxHeight = 51.0;
constexpr double kBoxTop = 6.0;
constexpr double kStroke = 3.9;   // segment thickness
constexpr double kGap = 0.8;      // dark gap where two segments meet
constexpr double kSlant = 0.07;   // about 4 degrees, leaning right

enum class Shape {
    Bar,       // straight segment with pointed ends, mitred where segments meet
    Diagonal,  // diagonal of one quarter of the box, cut to fit between bars
    Line,      // extra stroke of one glyph (micro, ohm): round ends, so strokes join
};

struct Stroke
{
    double x0, y0, x1, y1;  // in box units: 0..1 across, 0..1 down
    Shape shape;
};

// The sixteen segments every position has, then the strokes only the micro
// and ohm signs use. The order is the bit order of the masks below.
enum Segment : unsigned {
    TL, TR, UR, LR, BR, BL, LL, UL,   // outer ring, clockwise from the top left half
    ML, MR, CU, CL,                   // middle bar halves, centre spine halves
    DUL, DUR, DLL, DLR,               // diagonals from the centre to each corner
    MuTail,                           // the micro sign's descender
    OhmLegL, OhmLegR, OhmFootL, OhmFootR,
    SegmentCount
};
constexpr unsigned kStandardSegments = MuTail;

constexpr std::array<Stroke, SegmentCount> kStrokes = {{
    {0.0, 0.0, 0.5, 0.0, Shape::Bar},       // TL
    {0.5, 0.0, 1.0, 0.0, Shape::Bar},       // TR
    {1.0, 0.0, 1.0, 0.5, Shape::Bar},       // UR
    {1.0, 0.5, 1.0, 1.0, Shape::Bar},       // LR
    {0.5, 1.0, 1.0, 1.0, Shape::Bar},       // BR
    {0.0, 1.0, 0.5, 1.0, Shape::Bar},       // BL
    {0.0, 0.5, 0.0, 1.0, Shape::Bar},       // LL
    {0.0, 0.0, 0.0, 0.5, Shape::Bar},       // UL
    {0.0, 0.5, 0.5, 0.5, Shape::Bar},       // ML
    {0.5, 0.5, 1.0, 0.5, Shape::Bar},       // MR
    {0.5, 0.0, 0.5, 0.5, Shape::Bar},       // CU
    {0.5, 0.5, 0.5, 1.0, Shape::Bar},       // CL
    {0.0, 0.0, 0.5, 0.5, Shape::Diagonal},  // DUL
    {1.0, 0.0, 0.5, 0.5, Shape::Diagonal},  // DUR
    {0.0, 1.0, 0.5, 0.5, Shape::Diagonal},  // DLL
    {1.0, 1.0, 0.5, 0.5, Shape::Diagonal},  // DLR
    {0.0, 0.985, 0.0, 1.09, Shape::Line},   // MuTail
    {0.0, 0.53, 0.27, 0.97, Shape::Line},   // OhmLegL
    {1.0, 0.53, 0.73, 0.97, Shape::Line},   // OhmLegR
    {0.0, 0.97, 0.27, 0.97, Shape::Line},   // OhmFootL
    {0.73, 0.97, 1.0, 0.97, Shape::Line},   // OhmFootR
}};

constexpr std::uint32_t bits(std::initializer_list<Segment> segments)
{
    std::uint32_t mask = 0;
    for (Segment s : segments)
        mask |= 1u << s;
    return mask;
}

struct GlyphRow
{
    const char16_t *name;
    std::uint32_t lit;
};

// One row per glyph. Look-alikes are kept apart on purpose, since words and
// numbers share a display: the zero is slashed, the I has bars where the 1
// has none, the S takes the diagonal where the 5 has the upright.
const GlyphRow kGlyphs[] = {
    {u"0",    bits({TL, TR, UR, LR, BR, BL, LL, UL, DUR, DLL})},
    {u"1",    bits({UR, LR})},
    {u"2",    bits({TL, TR, UR, ML, MR, LL, BL, BR})},
    {u"3",    bits({TL, TR, UR, MR, LR, BL, BR})},
    {u"4",    bits({UL, ML, MR, UR, LR})},
    {u"5",    bits({TL, TR, UL, ML, MR, LR, BL, BR})},
    {u"6",    bits({TL, TR, UL, LL, BL, BR, LR, ML, MR})},
    {u"7",    bits({TL, TR, UR, LR})},
    {u"8",    bits({TL, TR, UR, LR, BR, BL, LL, UL, ML, MR})},
    {u"9",    bits({TL, TR, UL, UR, ML, MR, LR, BL, BR})},
    {u"A",    bits({TL, TR, UL, UR, LL, LR, ML, MR})},
    {u"B",    bits({TL, TR, UR, LR, BL, BR, CU, CL, MR})},
    {u"C",    bits({TL, TR, UL, LL, BL, BR})},
    {u"D",    bits({TL, TR, UR, LR, BL, BR, CU, CL})},
    {u"E",    bits({TL, TR, UL, LL, BL, BR, ML})},
    {u"F",    bits({TL, TR, UL, LL, ML})},
    {u"G",    bits({TL, TR, UL, LL, BL, BR, LR, MR})},
    {u"H",    bits({UL, LL, UR, LR, ML, MR})},
    {u"I",    bits({TL, TR, CU, CL, BL, BR})},
    {u"J",    bits({UR, LR, BR, BL, LL})},
    {u"K",    bits({UL, LL, ML, DUR, DLR})},
    {u"L",    bits({UL, LL, BL, BR})},
    {u"M",    bits({UL, LL, UR, LR, DUL, DUR})},
    {u"N",    bits({UL, LL, UR, LR, DUL, DLR})},
    {u"O",    bits({TL, TR, UR, LR, BR, BL, LL, UL})},
    {u"P",    bits({TL, TR, UL, UR, LL, ML, MR})},
    {u"Q",    bits({TL, TR, UR, LR, BR, BL, LL, UL, DLR})},
    {u"R",    bits({TL, TR, UL, UR, LL, ML, MR, DLR})},
    {u"S",    bits({TL, TR, DUL, MR, LR, BL, BR})},
    {u"T",    bits({TL, TR, CU, CL})},
    {u"U",    bits({UL, LL, UR, LR, BL, BR})},
    {u"V",    bits({UL, LL, DLL, DUR})},
    {u"W",    bits({UL, LL, UR, LR, DLL, DLR})},
    {u"X",    bits({DUL, DUR, DLL, DLR})},
    {u"Y",    bits({DUL, DUR, CL})},
    {u"Z",    bits({TL, TR, DUR, DLL, BL, BR})},
    {u"I2",   bits({CU, CL})},                            // narrow I of CONTINU, MIN, SIM
    {u"M2",   bits({LL, CL, LR, ML, MR})},                // milli: a lower-case m
    {u"U2",   bits({LL, LR, BL, BR, MuTail})},            // micro: u with a tail
    {u"ohm",  bits({TL, TR, UL, UR, OhmLegL, OhmLegR, OhmFootL, OhmFootR})},
    {u"SUB",  bits({ML, MR})},
    {u"-",    bits({ML, MR})},                            // the same sign, a second file
    {u"SUB1", bits({ML, UR, LR})},                        // minus in front of a 1
    {u"-1",   bits({ML, MR, UR, LR})},                    // minus running into the 1
    {u"ADD",  bits({ML, MR, CU, CL})},
    {u"MOD",  bits({DUR, DLL})},                          // slash, also the middle of %
    {u"PSU",  bits({TL, TR, UL, UR, ML, MR})},            // upper ring of %
    {u"PSD",  bits({ML, MR, LL, LR, BL, BR})},            // lower ring of %
    {u"LEFT", bits({DUR, DLR, MR})},                      // arrow head before a minus
    {u" ",    0},                                         // lit but empty
    {u"STA",  (1u << kStandardSegments) - 1},             // lamp test: every segment
};

QPointF boxPoint(double x, double y)
{
    return {x * kBoxWidth, y * kBoxHeight};
}

// A segment with pointed ends: neighbours meet on a mitre, with a thin gap.
QPainterPath barPath(QPointF a, QPointF b)
{
    const QPointF d = b - a;
    const double length = std::hypot(d.x(), d.y());
    const QPointF u = d / length;
    const QPointF n(-u.y(), u.x());
    const double h = kStroke / 2.0;
    const QPointF p = a + u * kGap;
    const QPointF q = b - u * kGap;
    QPainterPath path;
    path.moveTo(p);
    path.lineTo(p + u * h + n * h);
    path.lineTo(q - u * h + n * h);
    path.lineTo(q);
    path.lineTo(q - u * h - n * h);
    path.lineTo(p + u * h - n * h);
    path.closeSubpath();
    return path;
}

// A diagonal runs corner to centre through one quarter of the box and is
// cut to the room left between that quarter's bars, as on a real 16-segment
// tube, so its ends are square to the bars around it.
QPainterPath diagonalPath(QPointF a, QPointF b)
{
    const QPointF d = b - a;
    const QPointF u = d / std::hypot(d.x(), d.y());
    const QPointF n(-u.y(), u.x());
    const double h = kStroke * 0.47;
    const QPointF p = a - u * kStroke;
    const QPointF q = b + u * kStroke;
    QPainterPath line;
    line.moveTo(p + n * h);
    line.lineTo(q + n * h);
    line.lineTo(q - n * h);
    line.lineTo(p - n * h);
    line.closeSubpath();

    const double inset = kStroke / 2.0 + kGap;
    const QRectF quarter = QRectF(a, b).normalized();
    QPainterPath room;
    room.addRect(quarter.adjusted(inset, inset, -inset, -inset));
    return line.intersected(room);
}

QPainterPath linePath(QPointF a, QPointF b)
{
    QPainterPath centre;
    centre.moveTo(a);
    centre.lineTo(b);
    QPainterPathStroker stroker;
    stroker.setWidth(kStroke);
    stroker.setCapStyle(Qt::RoundCap);
    return stroker.createStroke(centre);
}

QPainterPath segmentPath(unsigned segment)
{
    const Stroke &s = kStrokes[segment];
    const QPointF a = boxPoint(s.x0, s.y0);
    const QPointF b = boxPoint(s.x1, s.y1);
    switch (s.shape) {
    case Shape::Bar:
        return barPath(a, b);
    case Shape::Diagonal:
        return diagonalPath(a, b);
    case Shape::Line:
        break;
    }
    return linePath(a, b);
}

// Box units to picture pixels: centred across, slanted about the middle so
// the lean costs the same room left and right.
QTransform glyphTransform(QSize picture)
{
    const double left = (picture.width() - kBoxWidth) / 2.0;
    return QTransform(1.0, 0.0, -kSlant, 1.0, left + kSlant * kBoxHeight / 2.0, kBoxTop);
}

void drawLitPath(QPainter &p, const QPainterPath &path)
{
    // The phosphor's bloom: a soft rim, then the segment itself.
    p.setPen(QPen(glow(60), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.setPen(Qt::NoPen);
    p.setBrush(kLit);
    p.drawPath(path);
}

QImage face(QSize size, const QColor &colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

QImage glyphPicture(std::uint32_t lit)
{
    QImage image = face(rt::twipsSize(510, 975), kFace);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setTransform(glyphTransform(image.size()));
    // Dark segments first, so that no ghost covers a lit segment's bloom.
    // Only the sixteen segments every position has show when dark.
    p.setPen(Qt::NoPen);
    p.setBrush(kGhost);
    for (unsigned s = 0; s < kStandardSegments; ++s)
        if (!(lit & (1u << s)))
            p.drawPath(segmentPath(s));
    for (unsigned s = 0; s < SegmentCount; ++s)
        if (lit & (1u << s))
            drawLitPath(p, segmentPath(s));
    return image;
}

QImage pointPicture()
{
    QImage image = face(rt::twipsSize(135, 135), kFace);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath dot;
    dot.addEllipse(QPointF(4.5, 4.5), 2.1, 2.1);
    drawLitPath(p, dot);
    return image;
}

// ---------------------------------------------------------------- symbols

// The diode: a triangle pointing right into a bar, on a lead.
void drawDiode(QPainter &p, const QRectF &box, const QColor &ink)
{
    const double midY = box.center().y();
    const double h = box.height() / 2.0;
    const double tipX = box.center().x() + h * 0.7;
    const double baseX = tipX - h * 1.4;
    QPainterPath triangle;
    triangle.moveTo(baseX, midY - h);
    triangle.lineTo(tipX, midY);
    triangle.lineTo(baseX, midY + h);
    triangle.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPath(triangle);
    p.fillRect(QRectF(tipX, midY - h, 1.6, 2 * h), ink);
    p.fillRect(QRectF(box.left(), midY - 0.6, box.width(), 1.2), ink);
}

// The continuity beeper: a dot and three sound arcs opening to the right,
// as large as the box allows in both directions, centred in it.
void drawSound(QPainter &p, const QRectF &box, const QColor &ink)
{
    constexpr double kHalfAngle = 36.0;
    const double reach = std::sin(kHalfAngle * std::numbers::pi / 180.0);  // arc height per radius
    const double step = std::min(box.width() / 3.4, box.height() / 2.0 / (3.0 * reach));
    const QPointF centre(box.center().x() - step * 1.5, box.center().y());
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawEllipse(centre, 1.3, 1.3);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(ink, 1.3, Qt::SolidLine, Qt::FlatCap));
    for (int i = 1; i <= 3; ++i) {
        const double r = step * i;
        p.drawArc(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r), int(-kHalfAngle * 16),
                  int(2 * kHalfAngle * 16));
    }
}

void drawTriangle(QPainter &p, const QRectF &box, bool up, const QColor &ink)
{
    QPainterPath t;
    if (up) {
        t.moveTo(box.center().x(), box.top());
        t.lineTo(box.right(), box.bottom());
        t.lineTo(box.left(), box.bottom());
    } else {
        t.moveTo(box.left(), box.top());
        t.lineTo(box.right(), box.top());
        t.lineTo(box.center().x(), box.bottom());
    }
    t.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPath(t);
}

QImage symbolPicture(void (*draw)(QPainter &, const QRectF &, const QColor &))
{
    QImage image = face(rt::twipsSize(300, 240), kFace);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p, QRectF(1.5, 2.5, image.width() - 3, image.height() - 5), kLit);
    return image;
}

// ---------------------------------------------------------------- keys

enum class Legend { Text, DiodeSound, Up, Down };
enum class KeyColour { Grey, Blue };

struct KeyRow
{
    const char *name;        // file name stem
    const char16_t *text;    // printed legend, for Legend::Text
    Legend legend;
    KeyColour colour;
};

const KeyRow kKeys[] = {
    {"ACV",   u"ACV",                      Legend::Text,       KeyColour::Grey},
    {"DCV",   u"DCV",                      Legend::Text,       KeyColour::Grey},
    {"ACI",   u"ACI",                      Legend::Text,       KeyColour::Grey},
    {"DCI",   u"DCI",                      Legend::Text,       KeyColour::Grey},
    {"W2W4",  u"\u03A92/4W",               Legend::Text,       KeyColour::Grey},
    {"D_C",   u"",                         Legend::DiodeSound, KeyColour::Grey},
    {"Hz_P",  u"Hz/P",                     Legend::Text,       KeyColour::Grey},
    {"T_CF",  u"\u00B0C/\u00B0F",          Legend::Text,       KeyColour::Grey},
    {"AUTO",  u"AUTO",                     Legend::Text,       KeyColour::Grey},
    {"UP",    u"",                         Legend::Up,         KeyColour::Grey},
    {"DOWN",  u"",                         Legend::Down,       KeyColour::Grey},
    {"HOLD",  u"HOLD",                     Legend::Text,       KeyColour::Grey},
    {"TRIG",  u"TRIG",                     Legend::Text,       KeyColour::Grey},
    {"REL",   u"REL",                      Legend::Text,       KeyColour::Grey},
    {"MXMN",  u"MX/MN",                    Legend::Text,       KeyColour::Grey},
    {"ND2",   u"2ND",                      Legend::Text,       KeyColour::Grey},
    {"START", u"START",                    Legend::Text,       KeyColour::Grey},
    {"SHIFT", u"SHIFT",                    Legend::Text,       KeyColour::Blue},
};

struct CapColours
{
    QColor top, bottom, edge, print;
};

CapColours capColours(KeyColour colour, bool pressed)
{
    // A pressed cap sinks out of the light: darker, and the print with it.
    if (colour == KeyColour::Blue)
        return pressed ? CapColours{QColor(38, 86, 170), QColor(30, 70, 146), QColor(14, 34, 78), QColor(214, 224, 240)}
                       : CapColours{QColor(76, 136, 232), QColor(40, 94, 190), QColor(18, 44, 98), kWhitePrint};
    return pressed ? CapColours{QColor(168, 172, 177), QColor(150, 154, 160), QColor(70, 74, 80), QColor(40, 43, 48)}
                   : CapColours{QColor(232, 234, 236), QColor(186, 190, 195), QColor(88, 92, 98), kPrint};
}

QFont legendFont(int pixelSize)
{
    QFont font;
    font.setFamilies({QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans"),
                      QStringLiteral("Liberation Sans Narrow"), QStringLiteral("Arial Narrow"),
                      QStringLiteral("Arial"), QStringLiteral("Helvetica")});
    font.setStretch(QFont::SemiCondensed);
    font.setPixelSize(pixelSize);
    font.setBold(true);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

// Prints text centred in box, at whole pixels so the strokes stay sharp;
// shrinks the size until it fits.
void drawCentredText(QPainter &p, const QRectF &box, const QString &text, const QColor &ink,
                     int pixelSize)
{
    QFont font = legendFont(pixelSize);
    while (QFontMetricsF(font).horizontalAdvance(text) > box.width() && font.pixelSize() > 6)
        font.setPixelSize(font.pixelSize() - 1);
    const QFontMetricsF metrics(font);
    const double x = std::round(box.center().x() - metrics.horizontalAdvance(text) / 2.0);
    const double y = std::round(box.center().y() + (metrics.capHeight()) / 2.0);
    p.setFont(font);
    p.setPen(ink);
    p.drawText(QPointF(x, y), text);
}

void drawLegend(QPainter &p, const KeyRow &key, const QRectF &cap, const QColor &ink)
{
    switch (key.legend) {
    case Legend::Text:
        drawCentredText(p, cap, QString::fromUtf16(key.text), ink, 9);
        return;
    case Legend::DiodeSound: {
        const QRectF diode(cap.center().x() - 15, cap.center().y() - 3.5, 14, 7);
        const QRectF sound(cap.center().x() + 1, cap.center().y() - 5.5, 13, 11);
        drawDiode(p, diode, ink);
        drawSound(p, sound, ink);
        return;
    }
    case Legend::Up:
    case Legend::Down: {
        const QRectF arrow(cap.center().x() - 5, cap.center().y() - 3.5, 10, 7);
        drawTriangle(p, arrow, key.legend == Legend::Up, ink);
        return;
    }
    }
}

// A key in its well on the panel; pressed, the cap sits one pixel further
// down and right, darker, with the well's shadow along its top and left.
QImage keyPicture(const KeyRow &key, bool pressed, QSize size)
{
    QImage image = face(size, kPanel);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF well = QRectF(image.rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(Qt::NoPen);
    p.setBrush(kWell);
    p.drawRoundedRect(well, 4, 4);

    const CapColours c = capColours(key.colour, pressed);
    const double shift = pressed ? 1.0 : 0.0;
    const QRectF cap = QRectF(image.rect()).adjusted(1.5 + shift, 1.5 + shift, -2.5 + shift, -2.5 + shift);
    QLinearGradient shade(cap.topLeft(), cap.bottomLeft());
    shade.setColorAt(0.0, c.top);
    shade.setColorAt(1.0, c.bottom);
    p.setPen(QPen(c.edge, 1.0));
    p.setBrush(shade);
    p.drawRoundedRect(cap, 3, 3);
    if (!pressed) {
        // Light from above catches the cap's upper edge.
        p.setPen(QPen(c.top.lighter(112), 1.0));
        p.drawLine(QPointF(cap.left() + 3, cap.top() + 1), QPointF(cap.right() - 3, cap.top() + 1));
    }
    drawLegend(p, key, cap, c.print);
    return image;
}

// The power switch: two halves of one rocker, ON with its lamp lit.
QImage powerPicture(bool on)
{
    QImage image = face(rt::twipsSize(600, 375), kPanel);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(kWell);
    p.drawRoundedRect(QRectF(image.rect()).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    const CapColours c = capColours(KeyColour::Grey, on);
    const QRectF cap = QRectF(image.rect()).adjusted(1.5, 1.5, -2.5, -2.5);
    QLinearGradient shade(cap.topLeft(), cap.bottomLeft());
    shade.setColorAt(0.0, on ? c.bottom : c.top);
    shade.setColorAt(1.0, on ? c.top : c.bottom);
    p.setPen(QPen(c.edge, 1.0));
    p.setBrush(shade);
    p.drawRoundedRect(cap, 3, 3);
    const QPointF lamp(cap.left() + 6, cap.center().y());
    p.setPen(QPen(QColor(20, 20, 20), 0.8));
    p.setBrush(on ? QColor(70, 230, 90) : QColor(90, 40, 36));
    p.drawEllipse(lamp, 2.2, 2.2);
    drawCentredText(p, cap.adjusted(10, 0, 0, 0), on ? u"ON"_s : u"OFF"_s, c.print, 9);
    return image;
}

// Panel separators, engraved: a dark line with a light one beside it.
// LINE1 runs across the panel under the keys, 9600 x 30 twips (640 x 2
// pixels); LINE2 stands between key groups, 30 x 900 twips (2 x 60 pixels),
// the height of both key rows.
QImage linePicture(bool horizontal)
{
    const QSize size = horizontal ? rt::twipsSize(9600, 30) : rt::twipsSize(30, 900);
    QImage image = face(size, kPanel);
    QPainter p(&image);
    const QColor dark(24, 26, 29);
    const QColor light(86, 92, 99);
    if (horizontal) {
        p.fillRect(0, 0, size.width(), 1, dark);
        p.fillRect(0, 1, size.width(), 1, light);
    } else {
        p.fillRect(0, 0, 1, size.height(), dark);
        p.fillRect(1, 0, 1, size.height(), light);
    }
    return image;
}

// The name plate: the program's name in white, underlined in the display's colour.
QImage logoPicture()
{
    QImage image = face(rt::twipsSize(1500, 375), kPanel);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QFont font = legendFont(17);
    font.setStretch(QFont::Unstretched);
    font.setItalic(true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1.5);
    p.setFont(font);
    p.setPen(kWhitePrint);
    const QString word = QStringLiteral("RAVELO");
    const QFontMetricsF metrics(font);
    const double x = std::round((image.width() - metrics.horizontalAdvance(word)) / 2.0);
    p.drawText(QPointF(x, 18), word);
    p.fillRect(QRectF(x + 1, 21, metrics.horizontalAdvance(word) - 3, 1.5), kLit);
    return image;
}

QString glyphFileName(const QString &glyph)
{
    return QStringLiteral("DIS_") + glyph + QStringLiteral(".BMP");
}

} // namespace

std::vector<Picture> drawAll()
{
    std::vector<Picture> all;
    for (const GlyphRow &row : kGlyphs)
        all.push_back({glyphFileName(QString::fromUtf16(row.name)), glyphPicture(row.lit)});
    all.push_back({QStringLiteral("DROP.BMP"), pointPicture()});

    const QSize keySize = rt::twipsSize(735, 375);
    for (const KeyRow &key : kKeys) {
        const QString stem = QString::fromLatin1(key.name);
        all.push_back({stem + QStringLiteral("_BUTT1.BMP"), keyPicture(key, false, keySize)});
        all.push_back({stem + QStringLiteral("_BUTT2.BMP"), keyPicture(key, true, keySize)});
    }
    all.push_back({QStringLiteral("ON_BUTT.BMP"), powerPicture(true)});
    all.push_back({QStringLiteral("OFF_BUTT.BMP"), powerPicture(false)});
    all.push_back({QStringLiteral("LINE1.BMP"), linePicture(true)});
    all.push_back({QStringLiteral("LINE2.BMP"), linePicture(false)});
    all.push_back({QStringLiteral("DIODE.BMP"), symbolPicture(drawDiode)});
    all.push_back({QStringLiteral("CONTINU.BMP"), symbolPicture(drawSound)});
    all.push_back({QStringLiteral("LOGO.BMP"), logoPicture()});
    return all;
}

QString writeAll(const QString &folder)
{
    QDir dir(folder);
    if (!dir.mkpath(QStringLiteral(".")))
        return QStringLiteral("Cannot make the folder %1").arg(QDir::toNativeSeparators(folder));
    for (const Picture &picture : drawAll()) {
        const QString path = dir.filePath(picture.fileName);
        if (!picture.image.save(path, "BMP"))
            return QStringLiteral("Cannot write %1").arg(QDir::toNativeSeparators(path));
    }
    return {};
}

} // namespace pictures
