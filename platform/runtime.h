#pragma once
// The text and number rules of the runtime the panel was first written for.
// Every conversion of a reply, a list text or a shown value goes through here,
// so that "1\r", "10E2" and "16.667" mean the same thing everywhere.

#include <QString>
#include <QStringView>
#include <optional>

namespace rt {

// Leading-number conversion: skips leading spaces, TABs and LFs, then reads an
// optional sign, digits, an optional "." and more digits (at least one digit
// on either side: ".5" and "5." are numbers, "." is not) and an optional
// exponent ("E" or "D" in either case, optional sign, digits); stops at the
// first character that does not fit, CR included. Only ASCII digits count.
// An exponent marker without a digit after it is not part of the number:
// "1E" and "1E+" give 1. "" or no digits gives 0. "10E2" gives 1000,
// "+1.5,0.2" gives 1.5, "-.5" gives -0.5.
// The result is always finite and never -0: a number too large for a double
// gives the largest double with its sign ("1E999" -> 1.79769313486232E+308),
// one too small gives 0.
double leadingNumber(QStringView text);

// Whole-text conversion: a number (as above, at least one digit) with blanks
// (space, TAB, CR, LF) allowed at either end and nothing else: " 12 ", "1e3"
// and "1\r" convert; "1 2", "1E", "0x10", "inf", "1,5" and "." do not.
// Fails on anything else, on "" and on a number too large for a double; one
// too small gives 0.
std::optional<double> toNumber(QStringView text);

// Round to the nearest whole number, halves to even: 2.5 -> 2, 3.5 -> 4,
// -2.5 -> -2. Fails when the result does not fit in 32 bits or is not finite.
std::optional<qint32> roundToWhole(double value);

// Whole-text conversion followed by rounding: "16.667" -> 17, "2.5" -> 2,
// " 1\r" -> 1. Fails where toNumber or roundToWhole fails.
std::optional<qint32> toWhole(QStringView text);

// Fixed pattern of zeros with an optional ".": "0.000000", "00.00000",
// "0000.000", "00000". The integer part has at least as many digits as the
// pattern has zeros before "." (more when needed; none for a zero integer
// part when the pattern starts with "."), the fraction exactly as many as
// after it. The value is first taken to 15 significant digits; the digits
// past those print as zeros. Both roundings are half away from zero, so
// 2.675 (stored a little below) shows as "2.68" with "0.00". A negative value
// keeps its "-" even when every shown digit is zero (-0.0004 -> "-0.000");
// -0.0 is not negative and prints as 0. The decimal separator is "." in
// every locale. Any other pattern ("", "#.##", "0.0.0", ".") and a value that
// is not finite give numberText(value).
QString pattern(double value, QStringView zeros);

// General number text of a double: at most 15 significant digits (rounded
// half away from zero), no trailing zeros, no leading "0" lost ("0.5", "-3",
// "123.25", "100000000000000"); exponent form, "E", a sign and at least two
// digits ("1E+15", "1.5E-05", "1E-300"), when the rounded value's exponent is
// 15 or more or below -4. -0.0 gives "0"; infinities and NaN give "inf",
// "-inf" and "nan". The decimal separator is "." in every locale.
QString numberText(double value);

// A number in full with its thousands grouped, the form of every axis's
// tick labels: the whole part with "," between groups of three digits and
// exactly `places` digits after "." (0 to 15), rounded as pattern() does:
// 1500000 -> "1,500,000", -1234.5 with 2 places -> "-1,234.50". A value
// that shows as zero has no sign. Not finite: numberText(value).
QString groupedNumber(double value, int places);

// The places after "." that tell the multiples of `step` apart: 0 for 1, 5
// or 500000; 1 for 0.5 and 2.5; 3 for 0.001; at most 15. 0 for a step that
// is not above 0.
int placesOfStep(double step);

// The blanks a whole-text conversion allows at either end: space, TAB, CR
// and LF.
bool isBlank(QChar c);

// Trims ASCII spaces only: never TABs, CR, LF or U+3000.
QString trimSpaces(QStringView text);
QString trimLeftSpaces(QStringView text);
QString trimRightSpaces(QStringView text);

// Left, middle and right parts of a text, counted in UTF-16 units (U+3000 is
// one). A length past the end is clamped; a negative length (or a start
// below 1) fails. mid's start counts from 1, and a start past the end gives "".
std::optional<QString> left(QStringView text, qsizetype length);
std::optional<QString> right(QStringView text, qsizetype length);
std::optional<QString> mid(QStringView text, qsizetype start, qsizetype length);
std::optional<QString> mid(QStringView text, qsizetype start);  // to the end

} // namespace rt
