#include "support/run_fixture.h"

#include "support/files.h"

#include "platform/program_folder.h"
#include "shell/front_panel.h"
#include "shell/speed_check.h"

#include <QDir>
#include <QFile>

using namespace Qt::StringLiterals;

RunFixture::RunFixture(sim::Faults faults, const QString &minutes)
    : f(faults), run(f.panel, table, clock)
{
    rt::setProgramFolder(dir.path());
    f.linkUp();
    f.display.setAllLit(false);
    f.display.setLit(display::Lamp::M_LAB, true);
    f.state.MODE1 = u"DCV"_s;
    f.state.MODE1_RANGE = u"AUTO"_s;
    f.state.SETTING.REC_EVERY = u"1"_s;
    f.controls.CHK_COM_TF.enabled = false;  // an identification succeeded
    f.controls.Speed_TIME.items = shell::sampleIntervals();
    f.controls.CONT_TIME_LIST.items = shell::testTimes();
    setInterval(u"1000"_s);
    setTestTime(minutes);
    runs::connectRunTimers(run);
    QObject::connect(&run.events, &runs::RunEvents::nameBoxOpened, [this] {
        ++nameBoxOpenings;
        if (onNameBox)
            return onNameBox();
        const Answer answer = m_answers.isEmpty() ? Answer{true, u"bench"_s}
                              : m_answers.size() == 1 ? m_answers.first() : m_answers.takeFirst();
        if (answer.ok) {
            f.controls.INPU_NAME_TEXT = answer.name;
            runs::INPU_NAME_OK_Click(run);
        } else {
            runs::NAME_BUTT_CANC_Click(run);
        }
    });
}

RunFixture::~RunFixture()
{
    rt::setProgramFolder({});
}

void RunFixture::answerOk(const QString &name)
{
    m_answers.append(Answer{true, name});
}

void RunFixture::answerCancel()
{
    m_answers.append(Answer{false, QString()});
}

void RunFixture::setInterval(const QString &ms)
{
    f.controls.Speed_TIME.text = ms;
    shell::Speed_TIME_Click(f.panel);
}

void RunFixture::setTestTime(const QString &minutes)
{
    f.controls.CONT_TIME_LIST.text = minutes;
    shell::CONT_TIME_LIST_Click(f.panel);
}

void RunFixture::demonstration()
{
    f.controls.CHK_COM_TF.enabled = true;
    f.controls.CHK_COM_TF.checked = true;
    f.controls.Ran_CHK.checked = true;
    f.state.REMOTE_OK = false;
}

void RunFixture::start()
{
    runs::START_IMG_MouseDown(run);
    runs::START_IMG_MouseUp(run);
}

void RunFixture::runTicks(int ticks)
{
    for (int i = 0; i < ticks && f.state.runPhase == shell::RunPhase::Timed; ++i)
        f.timers.READ_Timer.tick();
}

QStringList RunFixture::files() const
{
    QDir folder(dir.filePath(u"SAVE DATA"_s));
    QStringList names = folder.entryList(QDir::Files, QDir::Name);
    for (QString &name : names)
        name = folder.filePath(name);
    return names;
}

QList<QByteArray> RunFixture::lines(const QString &path)
{
    return fileLines(path);
}

QList<QByteArray> RunFixture::records(const QString &path)
{
    return lines(path).mid(3);
}
