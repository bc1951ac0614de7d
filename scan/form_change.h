#pragma once
// A scan reading as the result grids and the scan data file show it: a
// scale, a number pattern and a unit chosen by the channel's function, its
// range and its auto box.

#include <QString>
#include <QStringList>
#include <QStringView>

namespace scan {

class ScanControls;

// The text shown for a reading that is not a number.
inline constexpr QStringView kNotANumber = u"ERR";

// The reading `READ_Change` (as received, CR and all) of a channel with this
// function text, range text and auto box. The unit is chosen on the value
// before it is rounded; every bound belongs to the range above it. A
// function without a row of its own gives its function text back.
QString formChange(QStringView function, QStringView range, bool autoRange,
                   QStringView READ_Change);

// The widest text of each way of showing a reading, for sizing the result
// grids: a minus sign, one whole digit more than the pattern (a reading at
// the top of a range rounds up: 999.99999 Hz shows as "1000.0000 Hz") as
// "0"s, and the unit; "OL", "OPEN" and "ERR" as they are.
QStringList widestResults();

// The same for channel `jjj_NUM` (0..17) of the window's table as it stands.
QString Form_Change(const ScanControls &c, QStringView READ_Change, int jjj_NUM);

} // namespace scan
