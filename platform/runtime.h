#pragma once
// The text and number rules of the runtime the panel was first written for.
// Every conversion of a reply, a list text or a shown value goes through here,
// so that "1\r", "10E2" and "16.667" mean the same thing everywhere.

#include <QString>
#include <QStringView>
#include <optional>

namespace rt {

// Leading-number conversion: skips leading spaces, TABs and LFs, then reads an
// optional sign, digits, an optional "." with digits and an optional exponent
// ("E" or "D", optional sign, digits); stops at the first character that does
// not fit, CR included. "" or no digits gives 0. "10E2" gives 1000,
// "+1.5,0.2" gives 1.5.
double leadingNumber(QStringView text);

// Whole-text conversion: a number (as above, at least one digit) with blanks
// (space, TAB, CR, LF) allowed at either end and nothing else. Fails on
// anything else, on "" and on a result that is not finite.
std::optional<double> toNumber(QStringView text);

// Round to the nearest whole number, halves to even: 2.5 -> 2, 3.5 -> 4,
// -2.5 -> -2. Fails when the result does not fit in 32 bits or is not finite.
std::optional<qint32> roundToWhole(double value);

// Whole-text conversion followed by rounding: "16.667" -> 17, "2.5" -> 2,
// " 1\r" -> 1. Fails where toNumber or roundToWhole fails.
std::optional<qint32> toWhole(QStringView text);

// Fixed pattern of zeros with an optional ".": "0.000000", "00.00000",
// "0000.000", "00000". The integer part has at least as many digits as the
// pattern has zeros before "." (more when needed), the fraction exactly as
// many as after it. The value is first taken to 15 significant digits; the
// digits past those print as zeros. Rounding at the last shown digit is half
// away from zero. A negative value keeps its "-" even when every shown digit
// is zero. The decimal separator is "." in every locale.
QString pattern(double value, QStringView zeros);

// General number text of a double: at most 15 significant digits, no
// trailing zeros, no leading "0" lost ("0.5", "-3", "123.25"); exponent form
// ("1E+15", "1.5E-05") when the exponent is 15 or more or below -4.
QString numberText(double value);

// Trims ASCII spaces only: never TABs, CR, LF or U+3000.
QString trimSpaces(QStringView text);
QString trimLeftSpaces(QStringView text);
QString trimRightSpaces(QStringView text);

// Left, middle and right parts of a text. A length past the end is clamped;
// a negative length (or a start below 1) fails. mid's start counts from 1,
// and a start past the end gives "".
std::optional<QString> left(QStringView text, qsizetype length);
std::optional<QString> right(QStringView text, qsizetype length);
std::optional<QString> mid(QStringView text, qsizetype start, qsizetype length);
std::optional<QString> mid(QStringView text, qsizetype start);  // to the end

} // namespace rt
