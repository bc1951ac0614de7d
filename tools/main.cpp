// ravelo-pictures OUTDIR: draws every picture of the front panel into
// OUTDIR. The build runs it into DISPLAY_BMP/ beside the program, so the
// panel's pictures always match the code that drew them.

#include "tools/pictures.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    // Nothing is shown: the offscreen platform gives the fonts without a
    // display, on a build machine as on a desktop.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() != 2) {
        std::fputs("usage: ravelo-pictures OUTDIR\n", stderr);
        return 2;
    }
    const QString failure = pictures::writeAll(arguments.at(1));
    if (!failure.isEmpty()) {
        std::fprintf(stderr, "ravelo-pictures: %s\n", qPrintable(failure));
        return 1;
    }
    return 0;
}
