#pragma once
// The scanner's state read back into the scanner window when it opens: the
// trigger source, the scan count and the two delays, which channels are on,
// and each channel's function, range and auto range. Every selection runs
// the table's rules, so four-wire channels lock their partners as they are
// read.

#include "scan/scanner_waits.h"

#include <QString>
#include <QStringView>

#include <optional>

struct Panel;

namespace scan {

class ScanControls;

// Talks to the instrument whether the link is established or not (the
// scanner window does not test it), one query at a time, and changes
// nothing on the instrument.
//
// A query that gets no reply ends the read-back: what is not read yet takes
// the values of a window without instrument (count and delays "0", repeat
// "1", channels unticked with their function lists disabled, no function
// chosen, trigger not external) and one status line says so. Waiting out
// every query of a silent instrument would hold the window for a minute.
// A channel reply that cannot be cut into its four fields is passed over:
// that channel keeps what it had.
//
// Its progress shows in the run's status line ("Reading channel 7 of 18").
// The window holds the line meanwhile; its waits judge the user's input by
// `input` (scanner_waits.h), and a Quit (run.quitAsked()) ends it where it is.
void readScannerState(Panel &p, ScanControls &c, const OpenWaitInput &input = {});

// One channel's set-up reply, "110,FRES,10000,OFF": the first field is the
// channel, then the function keyword, the range as the instrument names it,
// and the first two characters of the auto state. Nothing when the reply has
// fewer than three commas.
struct ChannelReply
{
    QString keyword;
    QString range;
    QString autoState;
};
std::optional<ChannelReply> cutChannelReply(QStringView reply);

// The function position of a keyword on a bank channel ("FRES" -> 3), and
// the range position of a range text for a function position ("10000" on
// "4W" -> 2); nothing for a keyword or text the table lacks.
std::optional<int> functionOfKeyword(QStringView keyword);
std::optional<int> rangeOfValue(int function, QStringView value);

} // namespace scan
