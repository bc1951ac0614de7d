#pragma once
// The fast acquisition loop, for the sample intervals below 35 ms: the
// instrument samples on its own with its display dark, one second of
// samples a block, and every value goes straight into the recorded-data
// file, unparsed, without the panel or the table. While it runs the
// instrument streams, so nothing else may talk to it (the run phase says
// so).

#include "runs/run_control.h"

#include <QString>
#include <QStringView>

namespace runs {

// The block size and the rate command of a fast run, by the interval and
// the display-1 function: 60 samples a second below 17 ms, 30 otherwise.
struct FastSetup
{
    int samples = 0;
    QString rateCommand;  // without CR LF; empty: the function has none
};
FastSetup fastSetup(QStringView MODE1, double intervalMs);

// The instrument's settings for fast sampling, after the rate command,
// each sent with CR LF.
inline constexpr const char16_t *kFastSetup[] = {
    u"SENS:ZERO:AUTO OFF",
    u"SENS:GAIN:AUTO OFF",
    u"SYST:DISP OFF",
    u"TRIG:DEL 0",
};

// The notice window's texts for the run about to begin.
void fillNotice(RunContext &r);

// Runs blocks until every sample the notice expects has come, the test
// time has passed (counted at block starts), a stop is requested or the
// program ends, or a failure ends it. A block that has begun is read to
// its end. Each value is recorded as the instrument sent it; a value that
// is not a whole number (cut short, run into the next) is told in the
// status log and not recorded.
RunEnd LOG_LOOP_FAST(RunContext &r, double &length);

} // namespace runs
