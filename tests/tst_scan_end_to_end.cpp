// A scan run end to end: the program against ravelo-sim on a pty, the
// scanner window opened from the main window, a three-pass scan with
// "SAVE DATA" through the real buttons, the file on disk, and a picture of
// the window with its result rows.

#include "core/dmm_link.h"
#include "core/panel.h"
#include "formats/setting_record.h"
#include "platform/dialogs.h"
#include "platform/program_folder.h"
#include "windows/main_window.h"
#include "windows/scan_window.h"
#include "support/files.h"
#include "support/program_on_sim.h"

#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

using namespace Qt::StringLiterals;

class TestScanEndToEnd : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void threePassScanWithSave();
};

void TestScanEndToEnd::threePassScanWithSave()
{
    ProgramOnSim program({u"--state"_s,
                          u"scanner=on,chan101=on,VOLT,10,on,chan102=on,RES,1000,off,"
                          "chan117=on,CURR,10,on,scancount=3,scandelay=20,scanread:117=ol"_s},
                         u"Continuous"_s, u"500"_s);
    QVERIFY2(program.ready(), qPrintable(program.sim.errors()));
    const QTemporaryDir &folder = program.folder;
    const rt::MessageRecorder &messages = program.messages;
    std::unique_ptr<shell::MDImain> &window = program.start();
    window->resize(1000, 760);
    window->show();
    QTRY_VERIFY_WITH_TIMEOUT(window->panel().state.REMOTE_OK, 5000);
    scan::Scan_Form *form = window->openScanForm();
    QVERIFY(form);
    QCOMPARE(form->Count_TEXT->text(), u"3"_s);

    // SAVE DATA with the name box's OK, then three passes.
    QTest::mouseClick(form->Save_DATA_CHK, Qt::LeftButton);
    QTRY_VERIFY(form->INPU_NAME_Frame->isVisible());
    form->INPU_NAME_TEXT->clear();
    QTest::keyClicks(form->INPU_NAME_TEXT, u"e2e"_s);
    QTest::mouseClick(form->INPU_NAME_OK, Qt::LeftButton);
    form->Repeat_TEXT->clear();
    QTest::keyClicks(form->Repeat_TEXT, u"3"_s);
    QTest::mouseClick(form->Scan_BUTT, Qt::LeftButton);
    QVERIFY(!form->Scan_BUTT->isEnabled());
    QVERIFY(!form->Save_DATA_CHK->isEnabled());
    QTRY_VERIFY_WITH_TIMEOUT(form->Scan_BUTT->isEnabled(), 15000);
    QVERIFY2(messages.messages().isEmpty(), qPrintable(messages.messages().value(0).text));
    QCOMPARE(form->Repeat_TEXT->text(), u"1"_s);

    const QStringList names = QDir(folder.filePath(u"SCAN DATA"_s)).entryList({u"*.txt"_s}, QDir::Files);
    QCOMPARE(names.size(), 1);
    QVERIFY(QRegularExpression(u"^e2e-\\d{8}-\\d{6}-001\\.txt$"_s).match(names[0]).hasMatch());
    const QList<QByteArray> lines = fileLines(folder.filePath(u"SCAN DATA/"_s + names[0]));
    QCOMPARE(lines.size(), 6 + 3);
    QCOMPARE(lines[2], "    CHAN:101 ,    CHAN:102 ,    CHAN:117 ,                 Now ,\r");
    QCOMPARE(lines[3], "         DCV ,          2W ,      DCI_2A , ,\r");
    QCOMPARE(lines[4], "        AUTO ,         1 k ,        AUTO , ,\r");
    const QRegularExpression row(u"^   01\\.20000 V,0\\.500000 kOhm,  OL         ,  \\d{4}/\\d\\d/\\d\\d-\\d\\d:\\d\\d:\\d\\d,\\r$"_s);
    for (int k = 6; k < 9; ++k)
        QVERIFY2(row.match(QString::fromLatin1(lines[k])).hasMatch(), lines[k].constData());

    form->tabs->setCurrentIndex(1);
    QTest::qWait(100);
    const QString picture = QString::fromLocal8Bit(qgetenv("RAVELO_SCAN_PICTURE"));
    if (!picture.isEmpty())
        QVERIFY(form->grab().save(picture));
    window.reset();
}

QTEST_MAIN(TestScanEndToEnd)
#include "tst_scan_end_to_end.moc"
