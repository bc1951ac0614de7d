// UP and DOWN in the REL reference entry (opened by no key: the state is
// set here): the cursor digit steps, UP stops at 1999999 and DOWN at
// -1999999, a cursor off the digits only redraws, and a negative value
// shows its sign at position 0 ("-1" from a magnitude of 1000000 on). The
// entry takes the keys before math does.

#include "arrows/arrow_keys.h"
#include "support/display_reading.h"
#include "support/panel_fixture.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestRelEdits : public QObject
{
    Q_OBJECT

private slots:
    void step_data();
    void step();
};

void TestRelEdits::step_data()
{
    QTest::addColumn<QString>("value");  // REL_VALUE before
    QTest::addColumn<int>("cursor");
    QTest::addColumn<bool>("up");
    QTest::addColumn<QString>("after");
    QTest::addColumn<QString>("shown");

    QTest::newRow("digit 3 up")                  << u"0012345"_s << 3 << true  << u"0013345"_s << u"0013345"_s;
    QTest::newRow("digit 0 up")                  << u"0000000"_s << 0 << true  << u"1000000"_s << u"1000000"_s;
    QTest::newRow("below the top, digit 5 up")   << u"1999995"_s << 5 << true  << u"1999999"_s << u"1999999"_s;
    QTest::newRow("at the top, digit 6 up")      << u"1999999"_s << 6 << true  << u"1999999"_s << u"1999999"_s;
    QTest::newRow("1, digit 6 down")             << u"0000001"_s << 6 << false << u"0000000"_s << u"0000000"_s;
    QTest::newRow("0, digit 6 down")             << u"0000000"_s << 6 << false << u"-0000001"_s << u"-000001"_s;
    QTest::newRow("-999999, digit 6 down")       << u"-0999999"_s << 6 << false << u"-1000000"_s << u"[-1]000000"_s;
    QTest::newRow("above the bottom, digit 5 down") << u"-1999995"_s << 5 << false << u"-1999999"_s << u"[-1]999999"_s;
    QTest::newRow("-1, digit 6 up")              << u"-0000001"_s << 6 << true  << u"0000000"_s << u"0000000"_s;
    QTest::newRow("cursor off the digits")       << u"12"_s << 10 << true << u"0000012"_s << u"0000012"_s;
    QTest::newRow("empty value")                 << QString() << 6 << true << u"0000001"_s << u"0000001"_s;
}

void TestRelEdits::step()
{
    QFETCH(QString, value);
    QFETCH(int, cursor);
    QFETCH(bool, up);
    QFETCH(QString, after);
    QFETCH(QString, shown);
    PanelFixture f;
    darken(f.display);
    f.state.REL_SET = true;
    f.state.MATH_ON = true;  // the entry comes first
    f.state.REL_VALUE = value;
    f.state.BLINK_LAST = qint16(cursor);

    QVERIFY(up ? arrows::UP_IMG_ENTER(f.panel) : arrows::DOWN_IMG_ENTER(f.panel));

    QCOMPARE(f.state.REL_VALUE, after);
    QCOMPARE(shown1(f.display), shown);
    QVERIFY(f.sim.written.isEmpty());
}

QTEST_GUILESS_MAIN(TestRelEdits)
#include "tst_rel_edits.moc"
