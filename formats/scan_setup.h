#pragma once
// Scanner set-up files: "SCAN DATA/<name>.ini" beside the program (the
// extension only; there are no sections). Nineteen lines, each ended by
// CR LF, UTF-8 without a byte-order mark:
//
//   lines 1..18   channels 101..118: on box, auto box, function position,
//                 range position, joined by "," ("1,0,3,2": ticked, auto
//                 off, "4W", "10 k"); a list without selection is -1
//   line 19       Count, Scan Delay, System Delay and Repeat, as they stand
//                 in their boxes (possibly empty), joined by ","
//
// The file keeps positions in the window's lists, not their texts.

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>

namespace formats {

inline constexpr int kSetupChannels = 18;
inline constexpr int kSetupLines = kSetupChannels + 1;
// The largest file taken for a set-up. Nineteen lines as written here come
// to about 220 bytes; the rest leaves room for a hand edit's blanks.
inline constexpr qint64 kSetupMaxBytes = 4096;

struct ScanChannelSetup
{
    bool on = false;
    bool autoRange = false;
    qint16 function = -1;  // position in the function list; -1 none
    qint16 range = -1;     // position in the range list; -1 none
};

struct ScanSetup
{
    std::array<ScanChannelSetup, kSetupChannels> channels;
    // Count, Scan Delay, System Delay, Repeat. Written as they stand; read
    // back as the whole numbers they start with ("05" -> "5", "" -> "0").
    std::array<QString, 4> settings;
};

// The folder "SCAN DATA" in the program's folder, which also holds the scan
// data files, and a set-up's path in it.
QString scanDataFolder();
QString scanSetupPath(const QString &name);

// The nineteen lines, each ended by CR LF.
QByteArray scanSetupBytes(const ScanSetup &setup);

// Replaces the file whole (temporary file and rename), so a failed write
// leaves the old set-up as it was. Fails with a reason.
bool writeScanSetup(const QString &path, const ScanSetup &setup, QString *why = nullptr);

// Reads a set-up from a file's bytes (LF or CR LF; UTF-8, else Latin-1).
// Every field is checked before anything is returned: 19 lines of exactly
// four fields, each a number (blanks around it allowed, rounded halves to
// even), the boxes 0 or 1, the positions -1 or more, every value within
// 16 bits; line 19's fields may also be empty. On a fault: nothing, and
// `why` names the line ("Line 17, field 3: ...").
std::optional<ScanSetup> parseScanSetup(const QByteArray &bytes, QString *why = nullptr);

// Reads and parses the set-up file at `path`, reading at most
// kSetupMaxBytes + 1 bytes of it. A folder, anything that is not a plain
// file (a device, a pipe) and a file larger than a set-up can be are
// refused before a byte is read; `why` says what the file is (its size).
std::optional<ScanSetup> readScanSetup(const QString &path, QString *why = nullptr);

} // namespace formats
