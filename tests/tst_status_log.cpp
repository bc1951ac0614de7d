#include "core/status_log.h"

#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

class TestStatusLog : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void lines_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("one line") << u"Test Speed: 500 ms"_s << QStringList{u"Test Speed: 500 ms"_s};
        QTest::newRow("trailing CR LF is not an extra line") << u"a\r\n"_s << QStringList{u"a"_s};
        QTest::newRow("embedded line ends split") << u"a\r\nb\nc\rd"_s
                                                  << QStringList{u"a"_s, u"b"_s, u"c"_s, u"d"_s};
        QTest::newRow("empty line kept") << QString() << QStringList{QString()};
    }
    void lines()
    {
        QFETCH(QString, line);
        QFETCH(QStringList, lines);
        shell::StatusLog log;
        QSignalSpy appended(&log, &shell::StatusLog::appended);
        log.append(line);
        QCOMPARE(log.lines(), lines);
        QCOMPARE(appended.count(), lines.size());
    }
    void textEndsEachLineWithCrLf()
    {
        shell::StatusLog log;
        log.append(u"one"_s);
        log.append(u"two"_s);
        QCOMPARE(log.text(), u"one\r\ntwo\r\n"_s);
        log.clear();
        QCOMPARE(log.text(), QString());
    }
};

QTEST_GUILESS_MAIN(TestStatusLog)
#include "tst_status_log.moc"
