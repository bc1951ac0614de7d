// The blink of what is being edited: one step flips the chosen positions
// and point, two steps give the display back as it was.

#include "display/digit_blink.h"
#include "display/glyph_words.h"
#include "display/number_drawing.h"
#include "support/display_reading.h"
#include "support/panel_fixture.h"

#include <QtTest>

using namespace Qt::StringLiterals;
using namespace display;

class TestDigitBlink : public QObject
{
    Q_OBJECT

private slots:
    void oneStepAndBack_data();
    void oneStepAndBack();
    void blankAndHiddenPositions();
    void timerTickBlinksThePanelsRun();
};

namespace {

// Display 1 reads 01.23456, display 2 "ABCDEF" with point 2 lit.
void drawBoth(PanelFixture &f)
{
    darken(f.display);
    DIS1_READ_SHOW(f.panel, u"1.23456", 2, 5, false);
    DIS2_SHOW_RANGE(f.display, u"A", u"B", u"C", u"D", u"E", u"F");
    f.display.setLit(Points::DROP_IMG2, 2, true);
}

} // namespace

void TestDigitBlink::oneStepAndBack_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<int>("dot");
    QTest::addColumn<bool>("display2");
    QTest::addColumn<QString>("shown1");
    QTest::addColumn<QString>("shown2");
    QTest::addColumn<QString>("back1");  // display 1 after the second step; null: as before

    QTest::newRow("digit under the cursor") << 3 << 3 << 10 << false << u"01.2_456"_s << u"ABC.DEF"_s << QString();
    QTest::newRow("digit with its point")   << 1 << 1 << 1 << false << u"0_23456"_s << u"ABC.DEF"_s << QString();
    // A number has one point: the blinking one puts out the lit one.
    QTest::newRow("a dark point lights alone") << 10 << 10 << 4 << false << u"01234.56"_s << u"ABC.DEF"_s
                                               << u"0123456"_s;
    QTest::newRow("filter dot")             << 10 << 0 << 6 << false << u"01.2*3456"_s << u"ABC.DEF"_s << QString();
    QTest::newRow("word on display 2")      << 1 << 3 << 10 << true << u"01.23456"_s << u"A__._EF"_s << QString();
    QTest::newRow("whole display 2")        << 0 << 5 << 2 << true << u"01.23456"_s << u"______"_s << QString();
    QTest::newRow("first after last")       << 4 << 2 << 10 << false << u"01.23456"_s << u"ABC.DEF"_s << QString();
    QTest::newRow("past the last position") << 5 << 9 << 10 << true << u"01.23456"_s << u"ABC.DE_"_s << QString();
}

void TestDigitBlink::oneStepAndBack()
{
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(int, dot);
    QFETCH(bool, display2);
    QFETCH(QString, shown1);
    QFETCH(QString, shown2);
    QFETCH(QString, back1);
    PanelFixture f;
    drawBoth(f);
    const QString before1 = ::shown1(f.display);
    const QString before2 = ::shown2(f.display);
    QCOMPARE(before1, u"01.23456"_s);
    QCOMPARE(before2, u"ABC.DEF"_s);

    GLIS_RANGE(f.display, qint16(first), qint16(last), qint16(dot), display2);
    QCOMPARE(::shown1(f.display), shown1);
    QCOMPARE(::shown2(f.display), shown2);

    GLIS_RANGE(f.display, qint16(first), qint16(last), qint16(dot), display2);
    QCOMPARE(::shown1(f.display), back1.isNull() ? before1 : back1);
    QCOMPARE(::shown2(f.display), before2);
}

void TestDigitBlink::blankAndHiddenPositions()
{
    PanelFixture f;
    darken(f.display);
    DIS2_SHOW_RANGE(f.display, u"7", u"7", u"", u"", u"", u"");
    DIS2_SHOW_RANGE(f.display, u" ", u"", u"", u"", u"", u"");  // a lit blank, a hidden 7
    QCOMPARE(shown2(f.display), u" _____"_s);

    GLIS_RANGE(f.display, 0, 1, 10, true);
    QCOMPARE(shown2(f.display), u"_7____"_s);  // the hidden one comes back with its old glyph
    GLIS_RANGE(f.display, 0, 1, 10, true);
    QCOMPARE(shown2(f.display), u" _____"_s);
}

void TestDigitBlink::timerTickBlinksThePanelsRun()
{
    PanelFixture f;
    drawBoth(f);
    f.state.BLINK_FIRST = 4;
    f.state.BLINK_LAST = 5;
    f.state.BLINK_DOT = shell::kNoBlink;
    f.state.BLINK_DISP2 = true;
    IMG_Timer_Timer(f.panel);
    QCOMPARE(shown2(f.display), u"ABC.D__"_s);
    QCOMPARE(shown1(f.display), u"01.23456"_s);
}

QTEST_GUILESS_MAIN(TestDigitBlink)
#include "tst_digit_blink.moc"
