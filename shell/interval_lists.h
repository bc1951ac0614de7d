#pragma once
// Which sample intervals a run may use, from the display-1 function and the
// reading-rate lamps: a fast rate allows the short intervals, a slow one
// does not. Pure: the front panel puts the result into its Speed_TIME list.

#include <QString>
#include <QStringList>
#include <QStringView>

namespace shell {

struct IntervalList
{
    QStringList entries;  // milliseconds, shortest first
    QString text;         // the box's text: the interval offered first
    bool operator==(const IntervalList &) const = default;
};

// The list for MODE1 with the fast (F_LAB) and slow (S_LAB) lamps as given.
// Each short entry is tested on its own lamp, so two lit lamps give a list
// between the presets.
IntervalList intervalList(QStringView MODE1, bool F_LAB, bool S_LAB);

// The six presets: the lists the rule gives for one rate of one kind of
// function.
//   A  DC voltage, DC current or resistance, not slow   16.667 ms up, "500"
//   B  the same at slow, or AC at fast                  33.333 ms up, "500"
//   C  AC at medium                                     500 ms up, "500"
//   D  AC at slow                                       2000 ms up, "2000"
//   E  frequency or period, not slow; other functions   200 ms up, "500"
//   F  frequency or period at slow                      1000 ms up, "1000"
IntervalList fullTestSpeedList();      // A
IntervalList midTestSpeedList();       // B
IntervalList slowTestSpeedList();      // C
IntervalList verySlowTestSpeedList();  // D
IntervalList pHzHTestSpeedList();      // E
IntervalList pHzTestSpeedList();       // F

} // namespace shell
