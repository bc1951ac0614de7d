#include "platform/runtime.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <system_error>

namespace rt {

namespace {

bool isDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';  // ASCII only: full-width digits are text, not numbers
}


// A decimal exponent beyond this is far past any double; saturating here keeps
// the arithmetic below in range however many exponent digits the text has.
constexpr std::int64_t kExponentCap = 100'000'000'000'000'000;
// Beyond this the value is certainly infinite (or zero); inside it from_chars
// decides, so the text handed to it never carries a huge exponent.
constexpr std::int64_t kMagnitudeBound = 400;
// The powers of ten that are exact doubles: a whole number of up to 15
// digits multiplied or divided by one of them is rounded correctly.
constexpr double kExactTens[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                 1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

struct Scanned {
    qsizetype end = 0;      // one past the number's last character
    bool hasDigits = false; // at least one digit before or after the "."
    double value = 0;       // infinite when too large for a double; never -0
};

// Reads sign, digits, "." and digits, then an exponent that counts only when
// it has a digit ("1E+" is the number 1 followed by "E+").
Scanned scanNumber(QStringView text, qsizetype pos)
{
    const qsizetype size = text.size();
    bool negative = false;
    if (pos < size && (text[pos] == u'+' || text[pos] == u'-')) {
        negative = text[pos] == u'-';
        ++pos;
    }

    // The usual reading, "1.23456" or "00017": at most 15 digits and no
    // exponent. Its digits and the power of ten are exact doubles, so one
    // division rounds it correctly, as the general way below does.
    {
        qsizetype p = pos;
        std::uint64_t whole = 0;
        int count = 0;
        int fraction = -1;  // digits after the "."; -1: no "." yet
        for (; p < size && count <= 15; ++p) {
            const char16_t c = text[p].unicode();
            if (isDigit(c)) {
                whole = whole * 10 + std::uint64_t(c - u'0');
                ++count;
                fraction += fraction >= 0 ? 1 : 0;
            } else if (c == u'.' && fraction < 0) {
                fraction = 0;
            } else {
                break;
            }
        }
        const bool exponentFollows =
            p < size && (text[p] == u'E' || text[p] == u'e' || text[p] == u'D' || text[p] == u'd');
        if (count > 0 && count <= 15 && !exponentFollows && (p == size || !isDigit(text[p].unicode()))) {
            double value = double(whole) / kExactTens[std::max(fraction, 0)];
            if (value != 0.0 && negative)
                value = -value;
            return {p, true, value};
        }
    }

    std::string digits;  // integer and fraction digits, without the "."
    qsizetype integerDigits = 0;
    while (pos < size && isDigit(text[pos].unicode())) {
        digits += char(text[pos].unicode());
        ++integerDigits;
        ++pos;
    }
    if (pos < size && text[pos] == u'.') {
        ++pos;
        while (pos < size && isDigit(text[pos].unicode())) {
            digits += char(text[pos].unicode());
            ++pos;
        }
    }
    if (digits.empty())
        return {};

    std::int64_t exponent = 0;
    if (pos < size) {
        const char16_t marker = text[pos].unicode();
        if (marker == u'E' || marker == u'e' || marker == u'D' || marker == u'd') {
            qsizetype p = pos + 1;
            bool negativeExponent = false;
            if (p < size && (text[p] == u'+' || text[p] == u'-')) {
                negativeExponent = text[p] == u'-';
                ++p;
            }
            if (p < size && isDigit(text[p].unicode())) {
                while (p < size && isDigit(text[p].unicode())) {
                    if (exponent < kExponentCap)
                        exponent = exponent * 10 + (text[p].unicode() - u'0');
                    ++p;
                }
                if (negativeExponent)
                    exponent = -exponent;
                pos = p;
            }
        }
    }

    Scanned result{pos, true, 0.0};
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos)
        return result;  // all zeros, whatever the exponent
    const std::size_t last = digits.find_last_not_of('0');

    // Decimal exponent of the first significant digit, so "0.0001E4" and
    // "1" look alike to the range checks.
    const std::int64_t magnitude = std::int64_t(integerDigits) - 1 - std::int64_t(first) + exponent;
    double value = 0;
    // Up to 15 significant digits and a power of ten up to 10^22 are both
    // exact doubles, so one multiplication or division rounds the value
    // correctly, as from_chars would: the usual readings take this way.
    const std::size_t significant = last - first + 1;
    const std::int64_t power = magnitude - std::int64_t(significant - 1);
    if (significant <= 15 && power >= -22 && power <= 22) {
        std::uint64_t whole = 0;
        for (std::size_t i = first; i <= last; ++i)
            whole = whole * 10 + std::uint64_t(digits[i] - '0');
        value = power >= 0 ? double(whole) * kExactTens[power] : double(whole) / kExactTens[-power];
    } else if (magnitude > kMagnitudeBound) {
        value = std::numeric_limits<double>::infinity();
    } else if (magnitude >= -kMagnitudeBound) {
        std::string canonical(1, digits[first]);
        if (last > first) {
            canonical += '.';
            canonical.append(digits, first + 1, last - first);
        }
        canonical += 'e';
        canonical += std::to_string(magnitude);
        const char *begin = canonical.data();
        const char *end = begin + canonical.size();
        const auto [ptr, ec] = std::from_chars(begin, end, value, std::chars_format::scientific);
        if (ec == std::errc::result_out_of_range)
            value = magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
        else if (ec != std::errc() || ptr != end)
            value = 0.0;  // cannot happen for the text built above
    }
    if (value != 0.0 && negative)
        value = -value;
    result.value = value;
    return result;
}

// The first fifteen significant digits of a positive finite value, rounded
// half away from zero on the exact binary value: value = d[0].d[1..14] x 10^exponent.
struct Digits {
    std::array<char, 15> d{};
    int exponent = 0;
};

Digits fifteenDigits(double magnitude)
{
    Digits out;
    out.d.fill('0');
    if (magnitude == 0.0)
        return out;

    // The exact expansion (a double has at most 767 significant digits), so a
    // half at the 16th digit is told from a value just below or above it.
    char buffer[800];
    const auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                         std::chars_format::scientific, 780);
    if (ec != std::errc())
        return out;  // the buffer always fits; keep zeros rather than guess
    const std::string_view s(buffer, std::size_t(ptr - buffer));  // "d.ddd...e+XX"
    const auto digit = [&](std::size_t i) { return s[i == 0 ? 0 : i + 1]; };  // skips the "."
    std::string_view exponentText = s.substr(s.find('e') + 1);
    if (!exponentText.empty() && exponentText.front() == '+')
        exponentText.remove_prefix(1);
    std::from_chars(exponentText.data(), exponentText.data() + exponentText.size(), out.exponent);

    for (std::size_t i = 0; i < 15; ++i)
        out.d[i] = digit(i);
    if (digit(15) >= '5') {  // half away from zero: whatever follows a 5 only adds to it
        int i = 14;
        while (i >= 0 && out.d[std::size_t(i)] == '9')
            out.d[std::size_t(i--)] = '0';
        if (i >= 0) {
            ++out.d[std::size_t(i)];
        } else {
            out.d[0] = '1';
            ++out.exponent;
        }
    }
    return out;
}

QString nonFiniteText(double value)
{
    if (std::isnan(value))
        return QStringLiteral("nan");
    return value < 0 ? QStringLiteral("-inf") : QStringLiteral("inf");
}

QString exponentForm(const Digits &digits, std::size_t significant, bool negative)
{
    QString out;
    if (negative)
        out += u'-';
    out += QLatin1Char(digits.d[0]);
    if (significant > 1) {
        out += u'.';
        out += QLatin1StringView(digits.d.data() + 1, qsizetype(significant - 1));
    }
    out += u'E';
    out += digits.exponent < 0 ? u'-' : u'+';
    const int shown = std::abs(digits.exponent);
    if (shown < 10)
        out += u'0';
    out += QString::number(shown);
    return out;
}

QString fixedForm(const Digits &digits, std::size_t significant, bool negative)
{
    QString out;
    if (negative)
        out += u'-';
    if (digits.exponent < 0) {
        out += u"0.";
        out += QString(-digits.exponent - 1, u'0');
        out += QLatin1StringView(digits.d.data(), qsizetype(significant));
        return out;
    }
    const std::size_t integerDigits = std::size_t(digits.exponent) + 1;  // at most 15 here
    out += QLatin1StringView(digits.d.data(), qsizetype(integerDigits));
    if (significant > integerDigits) {
        out += u'.';
        out += QLatin1StringView(digits.d.data() + integerDigits,
                                 qsizetype(significant - integerDigits));
    }
    return out;
}

QStringView trimmedView(QStringView text, bool atLeft, bool atRight)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    if (atLeft)
        while (begin < end && text[begin] == u' ')
            ++begin;
    if (atRight)
        while (end > begin && text[end - 1] == u' ')
            --end;
    return text.sliced(begin, end - begin);
}

} // namespace

double leadingNumber(QStringView text)
{
    qsizetype pos = 0;
    while (pos < text.size() && (text[pos] == u' ' || text[pos] == u'\t' || text[pos] == u'\n'))
        ++pos;
    const Scanned scanned = scanNumber(text, pos);
    if (std::isinf(scanned.value))
        return std::copysign(std::numeric_limits<double>::max(), scanned.value);
    return scanned.value;
}

std::optional<double> toNumber(QStringView text)
{
    qsizetype pos = 0;
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
    const Scanned scanned = scanNumber(text, pos);
    if (!scanned.hasDigits || !std::isfinite(scanned.value))
        return std::nullopt;
    pos = scanned.end;
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
    if (pos != text.size())
        return std::nullopt;
    return scanned.value;
}

std::optional<qint32> roundToWhole(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    // value - floor(value) is exact for every double, so a half is seen as a half
    // (adding 0.5 first would turn 0.49999999999999994 into 1).
    double whole = std::floor(value);
    const double rest = value - whole;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(whole, 2.0) != 0.0))
        whole += 1.0;
    if (whole < double(std::numeric_limits<qint32>::min())
        || whole > double(std::numeric_limits<qint32>::max()))
        return std::nullopt;
    return qint32(whole);
}

std::optional<qint32> toWhole(QStringView text)
{
    const std::optional<double> value = toNumber(text);
    if (!value)
        return std::nullopt;
    return roundToWhole(*value);
}

QString pattern(double value, QStringView zeros)
{
    qsizetype integerZeros = 0;
    qsizetype fractionZeros = 0;
    bool hasPoint = false;
    for (const QChar c : zeros) {
        if (c == u'0') {
            ++(hasPoint ? fractionZeros : integerZeros);
        } else if (c == u'.' && !hasPoint) {
            hasPoint = true;
        } else {
            return numberText(value);
        }
    }
    if (integerZeros + fractionZeros == 0 || !std::isfinite(value))
        return numberText(value);

    const bool negative = value < 0;  // -0.0 is not negative: it prints as 0
    const Digits digits = fifteenDigits(std::fabs(value));
    // Shown places run from 10^top down to 10^-fractionZeros; digits past the
    // fifteenth are zeros.
    const qsizetype top = std::max(digits.exponent, 0);
    const auto digitAt = [&](qsizetype power) {
        const qsizetype i = digits.exponent - power;
        return i >= 0 && i < 15 ? digits.d[std::size_t(i)] : '0';
    };
    std::string shown;
    shown.reserve(std::size_t(top + fractionZeros + 2));
    for (qsizetype power = top; power >= -fractionZeros; --power)
        shown += digitAt(power);
    if (digitAt(-fractionZeros - 1) >= '5') {  // half away from zero
        std::size_t i = shown.size();
        while (i > 0 && shown[i - 1] == '9')
            shown[--i] = '0';
        if (i > 0)
            ++shown[i - 1];
        else
            shown.insert(shown.begin(), '1');
    }

    const std::string_view all(shown);
    std::string_view integer = all.substr(0, all.size() - std::size_t(fractionZeros));
    integer.remove_prefix(std::min(integer.find_first_not_of('0'), integer.size()));

    QString out;
    if (negative)
        out += u'-';
    if (qsizetype(integer.size()) < integerZeros)
        out += QString(integerZeros - qsizetype(integer.size()), u'0');
    out += QLatin1StringView(integer.data(), qsizetype(integer.size()));
    if (hasPoint) {
        out += u'.';
        out += QLatin1StringView(all.data() + all.size() - std::size_t(fractionZeros), fractionZeros);
    }
    return out;
}

QString numberText(double value)
{
    if (!std::isfinite(value))
        return nonFiniteText(value);
    if (value == 0.0)
        return QStringLiteral("0");
    const Digits digits = fifteenDigits(std::fabs(value));
    std::size_t significant = 15;
    while (significant > 1 && digits.d[significant - 1] == '0')
        --significant;
    const bool negative = value < 0;
    if (digits.exponent >= 15 || digits.exponent < -4)
        return exponentForm(digits, significant, negative);
    return fixedForm(digits, significant, negative);
}

QString groupedNumber(double value, int places)
{
    if (!std::isfinite(value))
        return numberText(value);
    places = std::clamp(places, 0, 15);
    const QString zeros = places == 0 ? QStringLiteral("0") : QStringLiteral("0.") + QString(places, u'0');
    QString text = pattern(value, zeros);
    const auto nonZero = [](QChar c) { return c >= u'1' && c <= u'9'; };
    if (text.startsWith(u'-') && std::none_of(text.cbegin(), text.cend(), nonZero))
        text.remove(0, 1);
    const qsizetype begin = text.startsWith(u'-') ? 1 : 0;
    qsizetype end = text.indexOf(u'.');
    if (end < 0)
        end = text.size();
    for (qsizetype at = end - 3; at > begin; at -= 3)
        text.insert(at, u',');
    return text;
}

int placesOfStep(double step)
{
    if (!(step > 0) || !std::isfinite(step))
        return 0;
    double scaled = step;
    for (int places = 0; places < 15; ++places, scaled *= 10)
        if (scaled >= 0.5 && std::abs(scaled - std::round(scaled)) <= 1e-9 * scaled)
            return places;
    return 15;
}

QString trimSpaces(QStringView text)
{
    return trimmedView(text, true, true).toString();
}

QString trimLeftSpaces(QStringView text)
{
    return trimmedView(text, true, false).toString();
}

QString trimRightSpaces(QStringView text)
{
    return trimmedView(text, false, true).toString();
}

std::optional<QString> left(QStringView text, qsizetype length)
{
    if (length < 0)
        return std::nullopt;
    return text.first(std::min(length, text.size())).toString();
}

std::optional<QString> right(QStringView text, qsizetype length)
{
    if (length < 0)
        return std::nullopt;
    return text.last(std::min(length, text.size())).toString();
}

std::optional<QString> mid(QStringView text, qsizetype start, qsizetype length)
{
    if (start < 1 || length < 0)
        return std::nullopt;
    if (start > text.size())
        return QString();
    const qsizetype from = start - 1;
    return text.sliced(from, std::min(length, text.size() - from)).toString();  // no from + length: it may overflow
}

std::optional<QString> mid(QStringView text, qsizetype start)
{
    if (start < 1)
        return std::nullopt;
    if (start > text.size())
        return QString();
    return text.sliced(start - 1).toString();
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n';
}

} // namespace rt
