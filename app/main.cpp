// Ravelo: remote front panel and data logger for a dual-display bench
// multimeter on a serial line.

#include "platform/end_signals.h"
#include "platform/program_folder.h"
#include "core/dmm_link.h"
#include "windows/dialogs_window.h"
#include "windows/main_window.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    // A SIGTERM, SIGINT or SIGHUP ends the program as its close does; one
    // that comes during the start-up is heard once the window is up.
    rt::catchEndSignals();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("RAVELO"));
    QApplication::setApplicationVersion(QStringLiteral(RAVELO_VERSION));

    windows::installDialogs();
    shell::Class1 link;
    shell::MDImain window(link, rt::programFolder());
    window.show();
    rt::EndSignals endSignals;
    QObject::connect(&endSignals, &rt::EndSignals::endAsked, &window, &shell::MDImain::endProgram);
    return app.exec();
}
