#pragma once
// The settings record SETTING and its file "XYZQQQ.Log" in the program's
// folder: one 128-byte record, little-endian, kept byte for byte in the form
// the earlier versions of the program wrote, so old files still load.
//
//   0   2   PORT, 16-bit          (1..10 = "COM 1".."COM 10", 0 = none chosen)
//   2   4   BAUD, 32-bit          (9600 .. 115200, 0 = none chosen)
//   6  20   REC_EVERY, one byte a character, space-padded
//  26  20   TEST_TIME_TEXT, same form
//  46   2   type tag of SPEED: 8 (text)
//  48   2   length n of the SPEED text
//  50   n   the SPEED text; the rest of the record is zero-filled
//
// Characters are Latin-1, one byte each. A character outside Latin-1 has no
// byte of its own and is stored as '?'.

#include "core/setting.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace shell {

inline constexpr int kSettingRecordSize = 128;
inline constexpr int kFixedTextWidth = 20;
inline constexpr char kSettingFileName[] = "XYZQQQ.Log";

// A text cut or space-padded to exactly 20 characters, each character one
// that the file can hold ('?' in place of any other), so that the text kept
// in memory is the text read back.
QString fixedText(const QString &text);

// The 128 bytes of record 1. A SPEED text longer than the 78 bytes left in
// the record keeps its first 78 characters.
QByteArray encodeSetting(const SETTING &setting);

// Reads record 1 back from the bytes of a file. A file that cannot be
// trusted (too short for its fields, a SPEED type tag other than 8, a SPEED
// length past the record, a port or baud rate outside their value sets)
// gives nothing and a one-line reason. Nothing past the bytes is read, and
// nothing past the 128 bytes of record 1.
std::optional<SETTING> decodeSetting(const QByteArray &bytes, QString *why = nullptr);

// The file in the given folder. Writing replaces the file whole (temporary
// file and rename) and reports failure with a reason.
QString settingPath(const QString &folder);
bool writeSetting(const QString &path, const SETTING &setting, QString *why = nullptr);

struct SettingRead
{
    bool fileFound = false;            // a file of that name exists
    std::optional<SETTING> record;     // the record, when found and trusted
    QString problem;                   // one status line when found but not trusted or unreadable
};
// Reads at most the 128 bytes of record 1. A missing file is no problem; a
// file that cannot be opened or read, or a folder of that name, is one.
SettingRead readSetting(const QString &path);

} // namespace shell
