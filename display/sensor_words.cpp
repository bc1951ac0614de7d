#include "display/sensor_words.h"

namespace display {

void spell(DisplayModel &model, const Word1 &w)
{
    DIS1_SHOW_RANGE(model, w[0], w[1], w[2], w[3], w[4], w[5], w[6]);
}

void spellThermocouple(DisplayModel &model, QStringView letter)
{
    DisplayModel::Batch batch(model);
    DIS1_SHOW_RANGE(model, u"", u"T", u"Y", u"P", u"E", u"", letter);
    model.setGlyph(Positions::DIS1_IMG, 5, u" ");
}

} // namespace display
