#include "support/display_reading.h"

using namespace display;

namespace {

QString glyphText(const DisplayModel &m, Positions row, int i)
{
    if (!m.isLit(row, i))
        return QStringLiteral("_");
    const QString g = m.glyph(row, i);
    return g.size() == 1 ? g : u'[' + g + u']';
}

QString shown(const DisplayModel &m, Positions row, Points points, int pointCount, int midDot,
              int midAfter)
{
    QString out;
    for (int i = 0; i < DisplayModel::count(row); ++i) {
        out += glyphText(m, row, i);
        if (i < pointCount && m.isLit(points, i))
            out += u'.';
        if (i == midAfter && m.isLit(points, midDot))
            out += u'*';
    }
    return out;
}

} // namespace

QString shown1(const DisplayModel &model)
{
    return shown(model, Positions::DIS1_IMG, Points::DROP_IMG, 6, 6, 2);
}

QString shown2(const DisplayModel &model)
{
    return shown(model, Positions::DIS2_IMG, Points::DROP_IMG2, 5, 5, 0);
}

QSet<QString> litLamps(const DisplayModel &model)
{
    QSet<QString> lit;
    for (int i = 0; i < kLampCount; ++i)
        if (model.isLit(Lamp(i)))
            lit.insert(lampName(Lamp(i)).toString());
    return lit;
}

QSet<QString> lampSet(const QStringList &names)
{
    return QSet<QString>(names.begin(), names.end());
}

void darken(DisplayModel &model)
{
    model.setAllLit(false);
    model.setLit(Points::DROP_IMG, 6, false);
}

display::Lamp lampNamed(const QString &name)
{
    for (int i = 0; i < display::kLampCount; ++i)
        if (display::lampName(display::Lamp(i)) == name)
            return display::Lamp(i);
    qFatal("no lamp %s", qPrintable(name));
}
