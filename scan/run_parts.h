#pragma once
// What a scan run and the fetch of its passes share: the status colours,
// the boxes' numbers, the channels' names, the scanner's own way to the
// line, and the empty row that waits for the next readings.

#include <QColor>
#include <QString>
#include <QStringView>

namespace scan {

struct ScanContext;
class ScanControls;

inline const QColor kSettingRed(255, 0, 0);
inline const QColor kReadBlue(0, 0, 255);

// Channel index i (0..17) as the scanner names it: "101" to "118".
QString channelName(int i);
// A box's value as the run reads it: its leading number.
double valueOf(QStringView box);
// Sends a command as the scanner's own exchange.
bool send(ScanContext &s, const QString &command);
// Why the last exchange failed, in a line for the user.
QString lastLinkError(ScanContext &s);
// One empty row waits under the last one for the next readings.
void openRow(ScanControls &c);

} // namespace scan
