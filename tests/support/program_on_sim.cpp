#include "support/program_on_sim.h"

#include "formats/setting_record.h"
#include "platform/program_folder.h"

#include <QFile>

ProgramOnSim::ProgramOnSim(const QStringList &simArguments, const QString &testTime, const QString &speed)
    : sim(QStringList{QStringLiteral("--baud"), QStringLiteral("115200")} + simArguments)
{
    qputenv("RAVELO_COM1", QFile::encodeName(sim.linkPath()));
    shell::SETTING setting;
    setting.PORT = 1;
    setting.BAUD = 115200;
    setting.REC_EVERY = QStringLiteral("1");
    setting.TEST_TIME_TEXT = testTime;
    setting.SPEED = speed;
    m_recordWritten = shell::writeSetting(shell::settingPath(folder.path()), setting);
    rt::setProgramFolder(folder.path());
}

ProgramOnSim::~ProgramOnSim()
{
    window.reset();
    rt::setProgramFolder({});
    qunsetenv("RAVELO_COM1");
}

std::unique_ptr<shell::MDImain> &ProgramOnSim::start()
{
    window = std::make_unique<shell::MDImain>(link, folder.path());
    return window;
}
