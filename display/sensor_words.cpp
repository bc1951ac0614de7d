#include "display/sensor_words.h"

namespace display {

void spellThermocouple(DisplayModel &model, QStringView letter)
{
    DisplayModel::Batch batch(model);
    DIS1_SHOW_RANGE(model, u"", u"T", u"Y", u"P", u"E", u"", letter);
    model.setGlyph(Positions::DIS1_IMG, 5, u" ");
}

} // namespace display
