// Ravelo: remote front panel and data logger for a dual-display bench
// multimeter. Until the drawn panel exists the main window shows the status
// log of start-up: the settings record, the port and the start-up commands.

#include "platform/program_folder.h"
#include "shell/dmm_link.h"
#include "shell/link_gate.h"
#include "shell/setting.h"
#include "shell/setting_rules.h"

#include <QApplication>
#include <QMainWindow>
#include <QPlainTextEdit>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("RAVELO"));

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("RAVELO"));
    auto *log = new QPlainTextEdit(&window);
    log->setReadOnly(true);
    window.setCentralWidget(log);
    window.resize(640, 360);

    shell::Class1 link;
    QObject::connect(&link, &shell::Class1::problem, log, &QPlainTextEdit::appendPlainText);

    const shell::SettingRead read =
        shell::readSetting(shell::settingPath(rt::programFolder()));
    const shell::SettingStartup start = shell::settingAtStartup(read);
    if (!start.status.isEmpty())
        log->appendPlainText(start.status);
    if (shell::openAtStartup(link, start.setting)) {
        log->appendPlainText(QStringLiteral("COM %1 open at %2 baud; start-up commands sent.")
                                 .arg(start.setting.PORT)
                                 .arg(start.setting.BAUD));
        if (link.Write(QStringLiteral("*IDN?\\10"))) {
            if (const std::optional<QString> idn = link.Read())
                log->appendPlainText(QStringLiteral("Instrument: ") + idn->chopped(1));
            else
                log->appendPlainText(link.lastErrorText());
        }
    } else if (start.setting.PORT == 0) {
        log->appendPlainText(QStringLiteral("No serial port is chosen yet."));
    } else {
        log->appendPlainText(link.lastErrorText());
    }

    window.show();
    return app.exec();
}
