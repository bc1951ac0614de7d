#pragma once
// From the loader's reading texts to numbers, and from function texts to the
// graphs' axis formats.
//
// A reading text is what the recorder wrote: a number, "_" and a unit with
// an optional prefix letter ("-0.5678_mA", "10.0001_kOhm"), or a number and
// " %". GRID_NUM_C turns it into a number in the base unit. Each graph's Y
// axis first gets a format chosen by its function text; after plotting, a
// scaled format (factor and prefixed unit, chosen by the size of the values)
// replaces it whenever the function has a unit family.
//
// Format texts are kept exactly as the graph's format language wrote them:
// `*1000" mV"` multiplies each tick value by 1000 and shows " mV" after it;
// `"mV"` shows the quoted text alone; a text without quotes ("C", "dB")
// shows itself.

#include <QString>
#include <QStringView>

#include <optional>

namespace loader {

// The value of a reading text in its base unit: the leading number, scaled
// by the first of "u", "m", "k", "M" found anywhere in the text ("m" of
// "Ohm" does not count, "m" of "dBm" does). A text holding "%" is first cut
// before it, and the caller's view is cut with it. No number gives 0.
double GRID_NUM_C(QStringView &GRID_NUM_RANGE);

enum class UnitFamily { None, V, A, Ohm, Hz, s, F, C, dB, Percent };
enum class Prefix { Mega, Kilo, None, Milli, Micro };

// Graph 1 follows the "Mode 1" text; graph 2 the "Mode 2" text, and for
// the math functions on display 2 ("MX+B", "1/X", "REF%", "REL", "MAX",
// "MIN", "COMP") the "Mode 1" text of the last plotted row. Function texts
// are compared exactly: "DIODE" and "dcv" are no function here.
UnitFamily displayFamily(int display, QStringView function, QStringView lastMode1);

// The prefix for values whose largest magnitude is `largest`.
Prefix prefixBySize(float largest);

// One of the 45 scaled formats; none for UnitFamily::None.
std::optional<QString> scaledFormat(UnitFamily family, Prefix prefix);

// The format a Y axis gets before its values are plotted, or none (the
// axis keeps the format it has). `captionMode1` is the caption row's
// "Mode 1" text, which decides for the math functions on display 2.
enum class PlotKind { WholeFile, Range };
std::optional<QString> firstFormat(int display, PlotKind kind, QStringView function,
                                   QStringView captionMode1);

// A tick label in a format, on an axis whose ticks lie `step` apart: the
// value times the factor in full, its thousands grouped, with the places
// the step times the factor needs, and the unit: "200 mV" for 0.2 in
// `*1000" mV"` (step 0.1), "1,500 kOhm" for 1500000 in `*0.001" kOhm"`
// (step 500000), "2.50 V" for 2.5 in `*1" V"` (step 0.25); "mV" for
// anything in `"mV"`.
QString axisLabel(QStringView format, double value, double step);

} // namespace loader
