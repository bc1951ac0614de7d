// The panel's pictures: ravelo-pictures draws every file the panel loads,
// at the size it is shown, with glyphs that can be told apart; the picture
// store finds them without regard to letter case and stands a placeholder,
// reported once, in for a picture it cannot have.

#include "windows/picture_store.h"

#include <QCoreApplication>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString picturesProgram()
{
#ifdef RAVELO_PICTURES_PROGRAM
    return QStringLiteral(RAVELO_PICTURES_PROGRAM);
#else
    // The tests sit in tests/ of the build folder, the generator at its top.
    return QStandardPaths::findExecutable(u"ravelo-pictures"_s,
                                          {QCoreApplication::applicationDirPath() + u"/.."_s});
#endif
}

struct Run
{
    int exitCode = -1;
    QString errors;
};

Run runPictures(const QStringList &arguments)
{
    QProcess process;
    process.start(picturesProgram(), arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {-1, process.errorString()};
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardError())};
}

// The glyphs of the two displays, as the words and numbers name them.
const QStringList kGlyphs = {
    u"0"_s, u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s, u"8"_s, u"9"_s,
    u"A"_s, u"B"_s, u"C"_s, u"D"_s, u"E"_s, u"F"_s, u"G"_s, u"H"_s, u"I"_s, u"J"_s,
    u"K"_s, u"L"_s, u"M"_s, u"N"_s, u"O"_s, u"P"_s, u"Q"_s, u"R"_s, u"S"_s, u"T"_s,
    u"U"_s, u"V"_s, u"W"_s, u"X"_s, u"Y"_s, u"Z"_s,
    u"I2"_s, u"M2"_s, u"U2"_s, u"ohm"_s, u"SUB"_s, u"-"_s, u"SUB1"_s, u"-1"_s,
    u"ADD"_s, u"MOD"_s, u"PSU"_s, u"PSD"_s, u"LEFT"_s, u" "_s, u"STA"_s,
};

const QStringList kKeys = {
    u"ACV"_s, u"DCV"_s, u"ACI"_s, u"DCI"_s, u"W2W4"_s, u"D_C"_s, u"Hz_P"_s, u"T_CF"_s,
    u"AUTO"_s, u"UP"_s, u"DOWN"_s, u"HOLD"_s, u"TRIG"_s, u"REL"_s, u"MXMN"_s, u"ND2"_s,
    u"START"_s, u"SHIFT"_s,
};

// A lit segment is bright; a dark one, however faintly it shows, is not.
bool isLit(QRgb pixel)
{
    return QColor(pixel).lightness() >= 128;
}

int litPixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += isLit(image.pixel(x, y));
    return count;
}

double meanLightness(const QImage &image)
{
    double sum = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            sum += QColor(image.pixel(x, y)).lightness();
    return sum / (image.width() * image.height());
}

struct Tint
{
    double red = 0, blue = 0;
};

// The colour of a key's cap, away from its well and its print.
Tint capTint(const QImage &key)
{
    Tint t;
    int n = 0;
    for (int x = 4; x < key.width() - 4; ++x) {
        const QColor c(key.pixel(x, 3));
        t.red += c.red();
        t.blue += c.blue();
        ++n;
    }
    t.red /= n;
    t.blue /= n;
    return t;
}

} // namespace

class TestPictures : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void generatorRefuses_data();
    void generatorRefuses();
    void panelPictureExists_data();
    void panelPictureExists();
    void glyphsAreDistinct();
    void litSegments_data();
    void litSegments();
    void keyPressesIn_data();
    void keyPressesIn();
    void lookupIgnoresCase_data();
    void lookupIgnoresCase();
    void missingPicture_data();
    void missingPicture();
    void unreadablePicture();
    void pictureIsKeptOnceRead();

private:
    QImage drawn(const QString &fileName) const
    {
        return QImage(m_dir.filePath(fileName)).convertToFormat(QImage::Format_RGB32);
    }

    QTemporaryDir m_dir;
};

void TestPictures::initTestCase()
{
    QVERIFY2(!picturesProgram().isEmpty(), "ravelo-pictures is not built");
    QVERIFY(m_dir.isValid());
    const Run run = runPictures({m_dir.path()});
    QVERIFY2(run.exitCode == 0, qPrintable(run.errors));
}

void TestPictures::generatorRefuses_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("said");
    QTest::newRow("no folder") << QStringList{} << u"usage"_s;
    QTest::newRow("two folders") << QStringList{u"a"_s, u"b"_s} << u"usage"_s;
    // A folder cannot be made inside a file, whoever runs the test.
    QTest::newRow("folder inside a file") << QStringList{u"<file>/pictures"_s} << u"Cannot make"_s;
}

void TestPictures::generatorRefuses()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, said);
    QTemporaryDir scratch;
    QFile file(scratch.filePath(u"file"_s));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    arguments.replaceInStrings(u"<file>"_s, file.fileName());

    const Run run = runPictures(arguments);
    QVERIFY2(run.exitCode > 0, qPrintable(run.errors));
    QVERIFY2(run.errors.contains(said), qPrintable(run.errors));
}

void TestPictures::panelPictureExists_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QSize>("size");
    for (const QString &glyph : kGlyphs)
        QTest::addRow("glyph \"%s\"", qPrintable(glyph))
            << display::PictureStore::glyphFile(glyph) << QSize(34, 65);
    for (const QString &key : kKeys) {
        QTest::addRow("%s released", qPrintable(key)) << key + u"_BUTT1.BMP"_s << QSize(49, 25);
        QTest::addRow("%s pressed", qPrintable(key)) << key + u"_BUTT2.BMP"_s << QSize(49, 25);
    }
    QTest::newRow("point") << u"DROP.BMP"_s << QSize(9, 9);
    QTest::newRow("power on") << u"ON_BUTT.BMP"_s << QSize(40, 25);
    QTest::newRow("power off") << u"OFF_BUTT.BMP"_s << QSize(40, 25);
    QTest::newRow("line across") << u"LINE1.BMP"_s << QSize(640, 2);
    QTest::newRow("line down") << u"LINE2.BMP"_s << QSize(2, 60);
    QTest::newRow("diode") << u"DIODE.BMP"_s << QSize(20, 16);
    QTest::newRow("continuity") << u"CONTINU.BMP"_s << QSize(20, 16);
    QTest::newRow("logo") << u"LOGO.BMP"_s << QSize(100, 25);
}

void TestPictures::panelPictureExists()
{
    QFETCH(QString, fileName);
    QFETCH(QSize, size);
    QImageReader reader(m_dir.filePath(fileName));
    QCOMPARE(reader.format(), QByteArray("bmp"));
    const QImage image = reader.read();
    QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
    QCOMPARE(image.size(), size);
}

void TestPictures::glyphsAreDistinct()
{
    // The two minus signs are one sign under two names; every other pair
    // must differ, look-alikes (0 and O, 1 and I, 5 and S, 2 and Z) above all.
    const QSet<QString> sameSign = {u"SUB"_s, u"-"_s};
    QStringList alike;
    for (qsizetype i = 0; i < kGlyphs.size(); ++i) {
        const QImage a = drawn(display::PictureStore::glyphFile(kGlyphs[i]));
        for (qsizetype j = i + 1; j < kGlyphs.size(); ++j) {
            if (sameSign.contains(kGlyphs[i]) && sameSign.contains(kGlyphs[j]))
                continue;
            if (a == drawn(display::PictureStore::glyphFile(kGlyphs[j])))
                alike << u"\"%1\" = \"%2\""_s.arg(kGlyphs[i], kGlyphs[j]);
        }
    }
    QVERIFY2(alike.isEmpty(), qPrintable(alike.join(u", "_s)));
}

void TestPictures::litSegments_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<bool>("lit");
    QTest::newRow("blank") << u"DIS_ .BMP"_s << false;
    QTest::newRow("eight") << u"DIS_8.BMP"_s << true;
    QTest::newRow("minus") << u"DIS_SUB.BMP"_s << true;
    QTest::newRow("start-up") << u"DIS_STA.BMP"_s << true;
    QTest::newRow("point") << u"DROP.BMP"_s << true;
    QTest::newRow("diode") << u"DIODE.BMP"_s << true;
    QTest::newRow("continuity") << u"CONTINU.BMP"_s << true;
}

void TestPictures::litSegments()
{
    QFETCH(QString, fileName);
    QFETCH(bool, lit);
    const QImage image = drawn(fileName);
    QVERIFY(!image.isNull());
    QCOMPARE(litPixels(image) > 0, lit);
    // Dark or lit, a position shows the dark face around its segments.
    QVERIFY(!isLit(image.pixel(0, 0)));
}

void TestPictures::keyPressesIn_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<bool>("blue");
    for (const QString &key : kKeys)
        QTest::newRow(qPrintable(key)) << key << (key == u"SHIFT"_s);
}

void TestPictures::keyPressesIn()
{
    QFETCH(QString, key);
    QFETCH(bool, blue);
    const QImage released = drawn(key + u"_BUTT1.BMP"_s);
    const QImage pressed = drawn(key + u"_BUTT2.BMP"_s);
    QVERIFY(released != pressed);
    QVERIFY(meanLightness(pressed) < meanLightness(released) - 5);
    const Tint tint = capTint(released);
    QCOMPARE(tint.blue > tint.red + 60, blue);

    // Whatever the cap, its legend stands out from it.
    const QImage glyphStrip = released.copy(6, 8, released.width() - 12, 9);
    int minLight = 255, maxLight = 0;
    for (int y = 0; y < glyphStrip.height(); ++y)
        for (int x = 0; x < glyphStrip.width(); ++x) {
            const int l = QColor(glyphStrip.pixel(x, y)).lightness();
            minLight = std::min(minLight, l);
            maxLight = std::max(maxLight, l);
        }
    QVERIFY2(maxLight - minLight > 100, "the legend does not stand out");
}

void TestPictures::lookupIgnoresCase_data()
{
    QTest::addColumn<QString>("asked");
    QTest::addColumn<QString>("onDisk");
    QTest::newRow("glyph in lower case") << display::PictureStore::glyphFile(u"add"_s) << u"DIS_ADD.BMP"_s;
    QTest::newRow("ohm in upper case") << u"DIS_OHM.BMP"_s << u"DIS_ohm.BMP"_s;
    QTest::newRow("key, extension lower") << u"acv_butt1.bmp"_s << u"ACV_BUTT1.BMP"_s;
    QTest::newRow("mixed key name") << u"HZ_p_BUTT2.BMP"_s << u"Hz_P_BUTT2.BMP"_s;
    QTest::newRow("lit blank") << display::PictureStore::glyphFile(u" "_s) << u"DIS_ .BMP"_s;
    QTest::newRow("leading backslash") << u"\\DIS_STA.BMP"_s << u"DIS_STA.BMP"_s;
}

void TestPictures::lookupIgnoresCase()
{
    QFETCH(QString, asked);
    QFETCH(QString, onDisk);
    display::PictureStore store(m_dir.path());
    QStringList status;
    store.setStatusSink([&](const QString &line) { status << line; });
    const QImage image = store.picture(asked);
    QCOMPARE(image.convertToFormat(QImage::Format_RGB32), drawn(onDisk));
    QVERIFY2(status.isEmpty(), qPrintable(status.join(u'\n')));
}

void TestPictures::missingPicture_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QStringList>("asked");
    QTest::addColumn<QSize>("size");
    // "<drawn>" is the folder the generator filled, "<none>" one that does not exist.
    QTest::newRow("unknown glyph") << u"<drawn>"_s << QStringList{u"DIS_nothing.BMP"_s, u"dis_NOTHING.bmp"_s}
                                   << QSize(34, 65);
    QTest::newRow("unknown key") << u"<drawn>"_s << QStringList{u"BEEP_BUTT2.BMP"_s} << QSize(49, 25);
    QTest::newRow("no folder, point") << u"<none>"_s << QStringList{u"DROP.BMP"_s, u"\\DROP.BMP"_s}
                                      << QSize(9, 9);
    QTest::newRow("no folder, key") << u"<none>"_s << QStringList{u"ACV_BUTT1.BMP"_s, u"ACV_BUTT1.BMP"_s}
                                    << QSize(49, 25);
}

void TestPictures::missingPicture()
{
    QFETCH(QString, folder);
    QFETCH(QStringList, asked);
    QFETCH(QSize, size);
    folder = folder == u"<drawn>"_s ? m_dir.path() : m_dir.filePath(u"no such folder"_s);
    display::PictureStore store(folder);
    QStringList status;
    store.setStatusSink([&](const QString &line) { status << line; });

    for (const QString &name : asked) {
        const QImage image = store.picture(name);
        QCOMPARE(image.size(), size);
        QCOMPARE(QColor(image.pixel(2, size.height() / 2)), QColor(255, 0, 255));
    }
    QCOMPARE(status.size(), 1);
    QVERIFY2(status.first().contains(asked.last().section(u'\\', -1), Qt::CaseInsensitive),
             qPrintable(status.first()));
    // The next missing name gets its own line.
    store.picture(u"DIS_also_nothing.BMP"_s);
    QCOMPARE(status.size(), 2);
}

void TestPictures::unreadablePicture()
{
    QTemporaryDir dir;
    QFile broken(dir.filePath(u"DIS_Q.BMP"_s));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("BM this is no picture");
    broken.close();

    // Without anyone listening, the placeholder still comes.
    QCOMPARE(display::PictureStore(dir.path()).picture(u"DIS_Q.BMP"_s).size(), QSize(34, 65));

    display::PictureStore store(dir.path());
    QStringList status;
    store.setStatusSink([&](const QString &line) { status << line; });
    QCOMPARE(store.picture(u"dis_q.bmp"_s).size(), QSize(34, 65));
    QCOMPARE(store.picture(u"DIS_Q.BMP"_s).size(), QSize(34, 65));
    QCOMPARE(status.size(), 1);
    QVERIFY2(status.first().contains(u"DIS_Q.BMP"_s), qPrintable(status.first()));
}

void TestPictures::pictureIsKeptOnceRead()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"DIS_8.BMP"_s);
    QVERIFY(QFile::copy(m_dir.filePath(u"DIS_8.BMP"_s), path));
    display::PictureStore store(dir.path());
    QStringList status;
    store.setStatusSink([&](const QString &line) { status << line; });

    const QImage &first = store.picture(u"DIS_8.BMP"_s);
    const QImage copy = first;
    QVERIFY(QFile::remove(path));
    // Many more pictures later, the first reference is still the picture.
    for (int i = 0; i < 100; ++i)
        store.picture(u"DIS_%1.BMP"_s.arg(i + 10));
    QCOMPARE(first, copy);
    QCOMPARE(store.picture(u"dis_8.bmp"_s), copy);
    QCOMPARE(status.size(), 100);  // the hundred that never were there
}

QTEST_MAIN(TestPictures)
#include "tst_pictures.moc"
