#include "platform/runtime.h"

#include <QLocale>
#include <QTest>

#include <clocale>
#include <cmath>
#include <limits>
#include <string>

using namespace Qt::StringLiterals;

namespace {

constexpr double kMax = std::numeric_limits<double>::max();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Bit-for-bit equality (QCOMPARE on doubles is fuzzy and blind to -0).
bool same(double a, double b)
{
    if (std::isnan(a) || std::isnan(b))
        return std::isnan(a) && std::isnan(b);
    return a == b && std::signbit(a) == std::signbit(b);
}

QByteArray shown(double v)
{
    return QByteArray::number(v, 'g', 17) + (std::signbit(v) && v == 0 ? " (-0)" : "");
}

void compareDouble(double actual, double expected)
{
    QVERIFY2(same(actual, expected), "got " + shown(actual) + ", expected " + shown(expected));
}

} // namespace

class TestRuntime : public QObject
{
    Q_OBJECT

private slots:
    void leadingNumber_data();
    void leadingNumber();
    void toNumber_data();
    void toNumber();
    void hugeAndTinyNumbers_data();
    void hugeAndTinyNumbers();
    void neverReadsPastTheView_data();
    void neverReadsPastTheView();
    void roundToWhole_data();
    void roundToWhole();
    void toWhole_data();
    void toWhole();
    void pattern_data();
    void pattern();
    void numberText_data();
    void numberText();
    void sameTextInACommaLocale();
    void trim_data();
    void trim();
    void leftRight_data();
    void leftRight();
    void mid_data();
    void mid();
};

void TestRuntime::leadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");
    QTest::newRow("empty")                  << u""_s            << 0.0;
    QTest::newRow("exponent")               << u"10E2"_s        << 1000.0;
    QTest::newRow("lower-case exponent")    << u"1e3"_s         << 1000.0;
    QTest::newRow("D exponent")             << u"25D-1"_s       << 2.5;
    QTest::newRow("stops at comma")         << u"+1.5,0.2"_s    << 1.5;
    QTest::newRow("stops at CR")            << u"1\r2"_s        << 1.0;
    QTest::newRow("leading CR stops")       << u"\r1"_s         << 0.0;
    QTest::newRow("skips space TAB LF")     << u" \t\n42"_s     << 42.0;
    QTest::newRow("stops at inner space")   << u"1 2"_s         << 1.0;
    QTest::newRow("E without digits")       << u"1E"_s          << 1.0;
    QTest::newRow("E and sign only")        << u"1E+"_s         << 1.0;
    QTest::newRow("E then letter")          << u"7E-x"_s        << 7.0;
    QTest::newRow("fraction only")          << u"-.5"_s         << -0.5;
    QTest::newRow("point after digits")     << u"5.E2"_s        << 500.0;
    QTest::newRow("point alone")            << u"."_s           << 0.0;
    QTest::newRow("sign alone")             << u"-"_s           << 0.0;
    QTest::newRow("point then exponent")    << u".E5"_s         << 0.0;
    QTest::newRow("exponent alone")         << u"E5"_s          << 0.0;
    QTest::newRow("two signs")              << u"+-5"_s         << 0.0;
    QTest::newRow("second point stops")     << u"1.5.3"_s       << 1.5;
    QTest::newRow("hex prefix")             << u"0x10"_s        << 0.0;
    QTest::newRow("inf word")               << u"inf"_s         << 0.0;
    QTest::newRow("nan word")               << u"nan"_s         << 0.0;
    QTest::newRow("minus zero is zero")     << u"-0.000"_s      << 0.0;
    QTest::newRow("full-width digit")       << u"\uFF11"_s      << 0.0;
    QTest::newRow("full-width point stops") << u"1\uFF0E5"_s    << 1.0;
    QTest::newRow("ideographic space")      << u"\u30001"_s     << 0.0;
    QTest::newRow("overload reading")       << u"+9.90000E+37\r"_s << 9.9e37;
    QTest::newRow("long exponent digits")   << u"1E00000000000000000000000002"_s << 100.0;
    QTest::newRow("zero, huge exponent")    << u"0E99999999999999999999"_s << 0.0;
    QTest::newRow("correctly rounded")      << u"0.1"_s         << 0.1;
}

void TestRuntime::leadingNumber()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    compareDouble(rt::leadingNumber(text), expected);
}

void TestRuntime::toNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("expected");
    QTest::newRow("blanks both ends")     << u" 12 "_s         << true  << 12.0;
    QTest::newRow("TAB and CR LF")        << u"\t1.5\r\n"_s    << true  << 1.5;
    QTest::newRow("trailing CR")          << u"1\r"_s          << true  << 1.0;
    QTest::newRow("leading CR")           << u"\r7"_s          << true  << 7.0;
    QTest::newRow("lower-case exponent")  << u"1e3"_s          << true  << 1000.0;
    QTest::newRow("D exponent")           << u"1D-2"_s         << true  << 0.01;
    QTest::newRow("plus and fraction")    << u"+.5"_s          << true  << 0.5;
    QTest::newRow("point after digits")   << u"-5."_s          << true  << -5.0;
    QTest::newRow("minus zero is zero")   << u"-0"_s           << true  << 0.0;
    QTest::newRow("reply form")           << u"-1.234567E+00"_s << true << -1.234567;
    QTest::newRow("empty")                << u""_s             << false << 0.0;
    QTest::newRow("blanks only")          << u" \t\r\n"_s      << false << 0.0;
    QTest::newRow("point alone")          << u"."_s            << false << 0.0;
    QTest::newRow("sign alone")           << u"-"_s            << false << 0.0;
    QTest::newRow("inner space")          << u"1 2"_s          << false << 0.0;
    QTest::newRow("comma")                << u"1,5"_s          << false << 0.0;
    QTest::newRow("hex")                  << u"0x10"_s         << false << 0.0;
    QTest::newRow("inf")                  << u"inf"_s          << false << 0.0;
    QTest::newRow("Infinity")             << u"Infinity"_s     << false << 0.0;
    QTest::newRow("nan")                  << u"nan"_s          << false << 0.0;
    QTest::newRow("E without digits")     << u"1E"_s           << false << 0.0;
    QTest::newRow("E and sign only")      << u"1E+"_s          << false << 0.0;
    QTest::newRow("E then blank")         << u"1E- \r"_s      << false << 0.0;
    QTest::newRow("trailing letter")      << u"1e3x"_s         << false << 0.0;
    QTest::newRow("two signs")            << u"--1"_s          << false << 0.0;
    QTest::newRow("ideographic space")    << u"1\u3000"_s      << false << 0.0;
    QTest::newRow("no-break space")       << u"\u00A01"_s      << false << 0.0;
    QTest::newRow("embedded NUL")         << u"12"_s + QChar(0) << false << 0.0;
}

void TestRuntime::toNumber()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(double, expected);
    const std::optional<double> value = rt::toNumber(text);
    QCOMPARE(value.has_value(), ok);
    if (ok)
        compareDouble(*value, expected);
}

// Both conversions side by side: leadingNumber stays finite, toNumber fails on
// overflow; a digit's place counts wherever the digits put it, not only the
// exponent.
void TestRuntime::hugeAndTinyNumbers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("leading");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("whole");
    const QString zeros400(400, u'0');
    QTest::newRow("1E999")                 << u"1E999"_s   << kMax  << false << 0.0;
    QTest::newRow("-1E999")                << u"-1E999"_s  << -kMax << false << 0.0;
    QTest::newRow("just past the largest") << u"1.8E308"_s << kMax  << false << 0.0;
    QTest::newRow("largest")               << u"1.7976931348623157E308"_s << kMax << true << kMax;
    QTest::newRow("1E-999")                << u"1E-999"_s  << 0.0   << true  << 0.0;
    QTest::newRow("-1E-999 is plain zero") << u"-1E-999"_s << 0.0   << true  << 0.0;
    QTest::newRow("exponent past 64 bits") << u"1E99999999999999999999999"_s << kMax << false << 0.0;
    QTest::newRow("400 digits")            << u"1"_s + zeros400 << kMax << false << 0.0;
    QTest::newRow("400 zeros, then E400")  << u"0."_s + zeros400 + u"1E400"_s << 0.1 << true << 0.1;
    QTest::newRow("400 digits, then E-400") << u"1"_s + zeros400 + u"E-400"_s << 1.0 << true << 1.0;
}

void TestRuntime::hugeAndTinyNumbers()
{
    QFETCH(QString, text);
    QFETCH(double, leading);
    QFETCH(bool, ok);
    QFETCH(double, whole);
    compareDouble(rt::leadingNumber(text), leading);
    const std::optional<double> value = rt::toNumber(text);
    QCOMPARE(value.has_value(), ok);
    if (ok)
        compareDouble(*value, whole);
}

// A view that ends inside a longer text must be read only up to its end.
void TestRuntime::neverReadsPastTheView_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("length");
    QTest::addColumn<double>("leading");
    QTest::addColumn<bool>("ok");  // toNumber on the view
    QTest::newRow("digits cut")       << u"12345"_s << qsizetype(2) << 12.0 << true;
    QTest::newRow("cut after point")  << u"1.5"_s   << qsizetype(2) << 1.0  << true;
    QTest::newRow("cut after E")      << u"1E5"_s   << qsizetype(2) << 1.0  << false;
    QTest::newRow("cut after E sign") << u"1E+5"_s  << qsizetype(3) << 1.0  << false;
    QTest::newRow("cut after sign")   << u"-5"_s    << qsizetype(1) << 0.0  << false;
    QTest::newRow("empty view")       << u"9"_s     << qsizetype(0) << 0.0  << false;
}

void TestRuntime::neverReadsPastTheView()
{
    QFETCH(QString, text);
    QFETCH(qsizetype, length);
    QFETCH(double, leading);
    QFETCH(bool, ok);
    const QStringView view = QStringView(text).first(length);
    compareDouble(rt::leadingNumber(view), leading);
    const std::optional<double> value = rt::toNumber(view);
    QCOMPARE(value.has_value(), ok);
    if (ok)
        compareDouble(*value, leading);
}

void TestRuntime::roundToWhole_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("expected");
    QTest::newRow("2.5 to even")               << 2.5   << true << 2;
    QTest::newRow("3.5 to even")               << 3.5   << true << 4;
    QTest::newRow("1.5 to even")               << 1.5   << true << 2;
    QTest::newRow("0.5 to even")               << 0.5   << true << 0;
    QTest::newRow("-0.5 to even")              << -0.5  << true << 0;
    QTest::newRow("-2.5 to even")              << -2.5  << true << -2;
    QTest::newRow("-3.5 to even")              << -3.5  << true << -4;
    QTest::newRow("above half")                << 16.667 << true << 17;
    QTest::newRow("below half")                << -16.4 << true << -16;
    QTest::newRow("just below a half")         << 0.49999999999999994 << true << 0;
    QTest::newRow("just below 2.5")            << 2.4999999999999996  << true << 2;
    QTest::newRow("largest")                   << 2147483647.0 << true << 2147483647;
    QTest::newRow("largest plus 0.4")          << 2147483647.4 << true << 2147483647;
    QTest::newRow("largest plus half rounds out") << 2147483647.5 << false << 0;
    QTest::newRow("smallest minus half to even")  << -2147483648.5 << true << int(-2147483647 - 1);
    QTest::newRow("smallest minus 0.6")        << -2147483648.6 << false << 0;
    QTest::newRow("2^52 + 1")                  << 4503599627370497.0 << false << 0;
    QTest::newRow("1E300")                     << 1e300 << false << 0;
    QTest::newRow("infinity")                  << kInf  << false << 0;
    QTest::newRow("NaN")                       << kNaN  << false << 0;
}

void TestRuntime::roundToWhole()
{
    QFETCH(double, value);
    QFETCH(bool, ok);
    QFETCH(int, expected);
    const std::optional<qint32> whole = rt::roundToWhole(value);
    QCOMPARE(whole.has_value(), ok);
    if (ok)
        QCOMPARE(*whole, expected);
}

void TestRuntime::toWhole_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("expected");
    QTest::newRow("16.667")           << u"16.667"_s     << true  << 17;
    QTest::newRow("half to even")     << u"2.5"_s        << true  << 2;
    QTest::newRow("odd half up")      << u"3.5"_s        << true  << 4;
    QTest::newRow("blanks and CR")    << u" 1\r"_s       << true  << 1;
    QTest::newRow("exponent")         << u"1e3"_s        << true  << 1000;
    QTest::newRow("negative half")    << u"-2.5"_s       << true  << -2;
    QTest::newRow("letters")          << u"abc"_s        << false << 0;
    QTest::newRow("empty")            << u""_s           << false << 0;
    QTest::newRow("trailing garbage") << u"12V"_s        << false << 0;
    QTest::newRow("past 32 bits")     << u"3000000000"_s << false << 0;
    QTest::newRow("overflow")         << u"1E999"_s      << false << 0;
}

void TestRuntime::toWhole()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(int, expected);
    const std::optional<qint32> whole = rt::toWhole(text);
    QCOMPARE(whole.has_value(), ok);
    if (ok)
        QCOMPARE(*whole, expected);
}

void TestRuntime::pattern_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("zeros");
    QTest::addColumn<QString>("expected");
    // The patterns the panel uses.
    QTest::newRow("0.000000")  << 1.2345678 << u"0.000000"_s << u"1.234568"_s;
    QTest::newRow("00.00000")  << 1.5       << u"00.00000"_s << u"01.50000"_s;
    QTest::newRow("0000.000")  << 12.3456   << u"0000.000"_s << u"0012.346"_s;
    QTest::newRow("00000")     << 42.0      << u"00000"_s    << u"00042"_s;
    QTest::newRow("0.00000")   << 0.1       << u"0.00000"_s  << u"0.10000"_s;
    QTest::newRow("00.0000")   << 9.87654   << u"00.0000"_s  << u"09.8765"_s;
    QTest::newRow("000.0000")  << 123.45678 << u"000.0000"_s << u"123.4568"_s;
    QTest::newRow("0000.00")   << 1234.567  << u"0000.00"_s  << u"1234.57"_s;
    QTest::newRow("0")         << 16.667    << u"0"_s        << u"17"_s;
    // Halves go away from zero here, unlike roundToWhole.
    QTest::newRow("2.5 away from zero")  << 2.5  << u"0"_s << u"3"_s;
    QTest::newRow("-2.5 away from zero") << -2.5 << u"0"_s << u"-3"_s;
    // Stored just below the half, but a half at 15 digits.
    QTest::newRow("2.675 at two places") << 2.675 << u"0000.00"_s << u"0002.68"_s;
    QTest::newRow("1.005 at two places") << 1.005 << u"0.00"_s     << u"1.01"_s;
    QTest::newRow("tie at the 16th digit") << 1000000000000005.0 << u"0"_s << u"1000000000000010"_s;
    // Wider than the pattern, carries.
    QTest::newRow("integer wider")       << 12345.6   << u"00.00000"_s << u"12345.60000"_s;
    QTest::newRow("carry into new digit") << 9.9996   << u"0.000"_s    << u"10.000"_s;
    QTest::newRow("carry through nines") << 99999.5   << u"0"_s        << u"100000"_s;
    QTest::newRow("carry into integer")  << 0.9999996 << u"0.000000"_s << u"1.000000"_s;
    // Fifteen significant digits, then zeros.
    QTest::newRow("15 digits of a fraction") << 123456789.123456789 << u"0.000000000"_s
                                             << u"123456789.123457000"_s;
    QTest::newRow("15 digits of a large one") << 1234567890123456789.0 << u"0"_s
                                              << u"1234567890123460000"_s;
    QTest::newRow("1E20")          << 1e20      << u"0.0"_s << u"100000000000000000000.0"_s;
    QTest::newRow("0.1 + 0.2")     << 0.1 + 0.2 << u"0.00000000000000000000"_s
                                   << u"0.30000000000000000000"_s;
    QTest::newRow("largest double") << kMax << u"0"_s << u"179769313486232"_s + QString(294, u'0');
    // Signs and zeros.
    QTest::newRow("negative")             << -1.5    << u"0.000"_s  << u"-1.500"_s;
    QTest::newRow("negative shown as 0")  << -0.0004 << u"0.000"_s  << u"-0.000"_s;
    QTest::newRow("negative rounds up")   << -0.0005 << u"0.000"_s  << u"-0.001"_s;
    QTest::newRow("negative tiny")        << -1e-300 << u"0.000"_s  << u"-0.000"_s;
    QTest::newRow("minus zero")           << -0.0    << u"0.000"_s  << u"0.000"_s;
    QTest::newRow("zero")                 << 0.0     << u"00000"_s  << u"00000"_s;
    QTest::newRow("tiny")                 << 1e-300  << u"0.000"_s  << u"0.000"_s;
    QTest::newRow("padded integer")       << 0.5     << u"00.0000"_s << u"00.5000"_s;
    QTest::newRow("no integer zeros")     << 0.5     << u".00"_s    << u".50"_s;
    QTest::newRow("no integer zeros, 1.5") << 1.5    << u".00"_s    << u"1.50"_s;
    // Anything else falls back to the general text.
    QTest::newRow("empty pattern")   << 1.5  << u""_s      << u"1.5"_s;
    QTest::newRow("point only")      << 1.5  << u"."_s     << u"1.5"_s;
    QTest::newRow("hash pattern")    << 1.25 << u"#.##"_s  << u"1.25"_s;
    QTest::newRow("two points")      << 1.25 << u"0.0.0"_s << u"1.25"_s;
    QTest::newRow("infinity")        << kInf << u"0.000"_s << u"inf"_s;
    QTest::newRow("NaN")             << kNaN << u"0.000"_s << u"nan"_s;
}

void TestRuntime::pattern()
{
    QFETCH(double, value);
    QFETCH(QString, zeros);
    QFETCH(QString, expected);
    QCOMPARE(rt::pattern(value, zeros), expected);
}

void TestRuntime::numberText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("half")                 << 0.5     << u"0.5"_s;
    QTest::newRow("negative whole")       << -3.0    << u"-3"_s;
    QTest::newRow("fraction")             << 123.25  << u"123.25"_s;
    QTest::newRow("zero")                 << 0.0     << u"0"_s;
    QTest::newRow("minus zero")           << -0.0    << u"0"_s;
    QTest::newRow("1E+15")                << 1e15    << u"1E+15"_s;
    QTest::newRow("largest fixed")        << 1e14    << u"100000000000000"_s;
    QTest::newRow("rounds into exponent form") << 999999999999999.9 << u"1E+15"_s;
    QTest::newRow("16 digits")            << 1234567890123456.0 << u"1.23456789012346E+15"_s;
    QTest::newRow("smallest fixed")       << 0.0001  << u"0.0001"_s;
    QTest::newRow("fixed with zeros")     << 0.000123 << u"0.000123"_s;
    QTest::newRow("1E-05")                << 0.00001 << u"1E-05"_s;
    QTest::newRow("1.5E-05")              << 1.5e-5  << u"1.5E-05"_s;
    QTest::newRow("negative exponent form") << -1e300 << u"-1E+300"_s;
    QTest::newRow("three-digit exponent") << 1e-300  << u"1E-300"_s;
    QTest::newRow("largest double")       << kMax    << u"1.79769313486232E+308"_s;
    QTest::newRow("smallest double")      << std::numeric_limits<double>::denorm_min()
                                          << u"4.94065645841247E-324"_s;
    QTest::newRow("0.1 + 0.2")            << 0.1 + 0.2 << u"0.3"_s;
    QTest::newRow("one third")            << 1.0 / 3 << u"0.333333333333333"_s;
    QTest::newRow("two thirds")           << 2.0 / 3 << u"0.666666666666667"_s;
    QTest::newRow("tie at the 16th digit, fixed") << 100000000000000.5 << u"100000000000001"_s;
    QTest::newRow("tie at the 16th digit, exponent") << 1000000000000005.0
                                                     << u"1.00000000000001E+15"_s;
    QTest::newRow("infinity")             << kInf    << u"inf"_s;
    QTest::newRow("minus infinity")       << -kInf   << u"-inf"_s;
    QTest::newRow("NaN")                  << kNaN    << u"nan"_s;
}

void TestRuntime::numberText()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(rt::numberText(value), expected);
}

// "." everywhere, whatever Qt's default locale and the C library's numeric
// locale say.
void TestRuntime::sameTextInACommaLocale()
{
    const QLocale before = QLocale();
    const std::string cBefore = std::setlocale(LC_NUMERIC, nullptr);
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    bool cSet = false;
    for (const char *name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "fr_FR.UTF-8", "nl_NL.UTF-8"}) {
        if (std::setlocale(LC_NUMERIC, name) && *std::localeconv()->decimal_point == ',') {
            cSet = true;
            break;
        }
    }
    if (!cSet)
        qInfo("no comma locale for the C library here; only Qt's default locale is German");

    const QString patterned = rt::pattern(1.5, u"0.000");
    const QString general = rt::numberText(1.5e-5);
    const QString fixed = rt::numberText(-123.25);
    const double leading = rt::leadingNumber(u"1.5");
    const double leadingComma = rt::leadingNumber(u"1,5");
    const std::optional<double> whole = rt::toNumber(u" 2.25\r");
    const std::optional<double> wholeComma = rt::toNumber(u"2,25");

    std::setlocale(LC_NUMERIC, cBefore.c_str());
    QLocale::setDefault(before);

    QCOMPARE(patterned, u"1.500"_s);
    QCOMPARE(general, u"1.5E-05"_s);
    QCOMPARE(fixed, u"-123.25"_s);
    compareDouble(leading, 1.5);
    compareDouble(leadingComma, 1.0);
    QCOMPARE(whole.value_or(-1), 2.25);
    QVERIFY(!wholeComma);
}

void TestRuntime::trim_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("both");
    QTest::addColumn<QString>("leftOnly");
    QTest::addColumn<QString>("rightOnly");
    QTest::newRow("spaces both ends") << u"  a b  "_s << u"a b"_s << u"a b  "_s << u"  a b"_s;
    QTest::newRow("spaces only")      << u"   "_s     << u""_s    << u""_s      << u""_s;
    QTest::newRow("empty")            << u""_s        << u""_s    << u""_s      << u""_s;
    QTest::newRow("TABs stay")        << u"\ta\t"_s   << u"\ta\t"_s << u"\ta\t"_s << u"\ta\t"_s;
    QTest::newRow("CR LF stay")       << u" 1\r\n"_s  << u"1\r\n"_s << u"1\r\n"_s << u" 1\r\n"_s;
    QTest::newRow("U+3000 stays")     << u"\u3000a \u3000"_s << u"\u3000a \u3000"_s
                                      << u"\u3000a \u3000"_s << u"\u3000a \u3000"_s;
    QTest::newRow("space past U+3000") << u" \u3000 "_s << u"\u3000"_s << u"\u3000 "_s << u" \u3000"_s;
    QTest::newRow("no-break space stays") << u" \u00A0 "_s << u"\u00A0"_s << u"\u00A0 "_s << u" \u00A0"_s;
}

void TestRuntime::trim()
{
    QFETCH(QString, text);
    QFETCH(QString, both);
    QFETCH(QString, leftOnly);
    QFETCH(QString, rightOnly);
    QCOMPARE(rt::trimSpaces(text), both);
    QCOMPARE(rt::trimLeftSpaces(text), leftOnly);
    QCOMPARE(rt::trimRightSpaces(text), rightOnly);
}

void TestRuntime::leftRight_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<qsizetype>("length");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("leftPart");
    QTest::addColumn<QString>("rightPart");
    constexpr qsizetype huge = std::numeric_limits<qsizetype>::max();
    QTest::newRow("inside")          << u"abc"_s << qsizetype(2)  << true  << u"ab"_s  << u"bc"_s;
    QTest::newRow("whole")           << u"abc"_s << qsizetype(3)  << true  << u"abc"_s << u"abc"_s;
    QTest::newRow("past the end")    << u"abc"_s << qsizetype(5)  << true  << u"abc"_s << u"abc"_s;
    QTest::newRow("huge")            << u"abc"_s << huge          << true  << u"abc"_s << u"abc"_s;
    QTest::newRow("zero")            << u"abc"_s << qsizetype(0)  << true  << u""_s    << u""_s;
    QTest::newRow("empty text")      << u""_s    << qsizetype(3)  << true  << u""_s    << u""_s;
    QTest::newRow("U+3000 is one")   << u"\u3000x\u3000"_s << qsizetype(1) << true << u"\u3000"_s << u"\u3000"_s;
    QTest::newRow("negative fails")  << u"abc"_s << qsizetype(-1) << false << u""_s    << u""_s;
}

void TestRuntime::leftRight()
{
    QFETCH(QString, text);
    QFETCH(qsizetype, length);
    QFETCH(bool, ok);
    QFETCH(QString, leftPart);
    QFETCH(QString, rightPart);
    const std::optional<QString> l = rt::left(text, length);
    const std::optional<QString> r = rt::right(text, length);
    QCOMPARE(l.has_value(), ok);
    QCOMPARE(r.has_value(), ok);
    if (ok) {
        QCOMPARE(*l, leftPart);
        QCOMPARE(*r, rightPart);
    }
}

void TestRuntime::mid_data()
{
    QTest::addColumn<qsizetype>("start");
    QTest::addColumn<qsizetype>("length");  // -2: the form without a length
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("expected");
    constexpr qsizetype toEnd = -2;
    constexpr qsizetype huge = std::numeric_limits<qsizetype>::max();
    // All on "abcdef".
    QTest::newRow("inside")              << qsizetype(2)   << qsizetype(3)  << true  << u"bcd"_s;
    QTest::newRow("from the first")      << qsizetype(1)   << qsizetype(2)  << true  << u"ab"_s;
    QTest::newRow("clamped length")      << qsizetype(5)   << qsizetype(10) << true  << u"ef"_s;
    QTest::newRow("huge length")         << qsizetype(2)   << huge          << true  << u"bcdef"_s;
    QTest::newRow("zero length")         << qsizetype(3)   << qsizetype(0)  << true  << u""_s;
    QTest::newRow("last character")      << qsizetype(6)   << qsizetype(1)  << true  << u"f"_s;
    QTest::newRow("just past the end")   << qsizetype(7)   << qsizetype(1)  << true  << u""_s;
    QTest::newRow("far past the end")    << huge           << qsizetype(1)  << true  << u""_s;
    QTest::newRow("start 0 fails")       << qsizetype(0)   << qsizetype(1)  << false << u""_s;
    QTest::newRow("negative length")     << qsizetype(1)   << qsizetype(-1) << false << u""_s;
    QTest::newRow("to the end")          << qsizetype(3)   << toEnd         << true  << u"cdef"_s;
    QTest::newRow("to the end, past it") << qsizetype(7)   << toEnd         << true  << u""_s;
    QTest::newRow("to the end, start 0") << qsizetype(0)   << toEnd         << false << u""_s;
}

void TestRuntime::mid()
{
    QFETCH(qsizetype, start);
    QFETCH(qsizetype, length);
    QFETCH(bool, ok);
    QFETCH(QString, expected);
    const QString text = u"abcdef"_s;
    const std::optional<QString> part = length == -2 ? rt::mid(text, start)
                                                     : rt::mid(text, start, length);
    QCOMPARE(part.has_value(), ok);
    if (ok)
        QCOMPARE(*part, expected);
}

QTEST_APPLESS_MAIN(TestRuntime)
#include "tst_runtime.moc"
