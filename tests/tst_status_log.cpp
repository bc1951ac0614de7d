#include "core/status_log.h"

#include <QSignalSpy>
#include <QTextCursor>
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
    // An all-night run on a flaky line writes a line a minute for ever: the
    // log keeps the newest lines only, in order, and new ones still land.
    void keepsTheNewestLines()
    {
        shell::StatusLog log;
        const int extra = 25;
        for (int i = 1; i <= shell::StatusLog::kMaxLines + extra; ++i)
            log.append(u"line %1"_s.arg(i));
        QCOMPARE(log.lineCount(), shell::StatusLog::kMaxLines);
        const QStringList lines = log.lines();
        QCOMPARE(lines.first(), u"line %1"_s.arg(extra + 1));
        QCOMPARE(lines.last(), u"line %1"_s.arg(shell::StatusLog::kMaxLines + extra));
        log.clear();
        log.append(u"again"_s);
        QCOMPARE(log.lines(), QStringList{u"again"_s});
    }
    // The box edits the log's own document: what is typed there is the log.
    void typedTextIsTheLog()
    {
        shell::StatusLog log;
        log.append(u"first"_s);
        QTextCursor cursor(&log.document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(u"\nfetch sample"_s);
        QCOMPARE(log.lines(), (QStringList{u"first"_s, u"fetch sample"_s}));
        cursor.select(QTextCursor::Document);
        cursor.removeSelectedText();
        QCOMPARE(log.lineCount(), 0);
        QVERIFY(log.lines().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestStatusLog)
#include "tst_status_log.moc"
