#pragma once
// The fetch of one scan pass's readings into the result grids and the scan
// data file.

#include <QString>
#include <QStringView>

namespace scan {

struct ScanContext;

// How one fetch ended.
enum class FetchEnd {
    Done,         // readings taken (or none asked for, or a pass left out)
    NoScanOk,     // no "SCAN OK" within ten replies: nothing read
    Failed,       // the line or the file failed: the run cannot go on
    Stopped,      // Stop was asked during the fetch: a pass not read whole is left out
};
// Waits for the end of the pass, asks for the readings and places them. A
// pass is placed, and its lines written, only when its readings line up
// with its channels: an end-of-pass line among them means the readings
// belong to no one pass, and they are fetched once more, then left out.
// A pass cut short by Stop (or the program's end) is left out too: its
// readings are taken back out of the grids and nothing of it is written.
// The short line of a count smaller than the channels ticked is written:
// that pass was read whole.
FetchEnd SCAN_FETCH_RESULTS(ScanContext &s, QString *why = nullptr);

// Shown and logged when a pass never says it has ended.
inline constexpr QStringView kNoScanData = u"No data (scan timeout)";

} // namespace scan
