#pragma once
// A measurement run without windows: the panel on the simulated instrument,
// the readings table, a run clock that moves only when the run sleeps, a
// program folder of its own for "SAVE DATA", and message boxes recorded.
// The record-name box is answered as soon as it opens.

#include "platform/dialogs.h"
#include "runs/readings_table.h"
#include "core/run_clock.h"
#include "runs/run_control.h"
#include "support/panel_fixture.h"

#include <QList>
#include <QTemporaryDir>

#include <functional>

struct RunFixture
{
    // An instrument run at 1000 ms for `minutes`, DCV at the medium rate,
    // the link up, recording under "bench".
    explicit RunFixture(sim::Faults faults = {}, const QString &minutes = QStringLiteral("0.5"));
    ~RunFixture();

    // The name box: OK with a name (typed first), or Cancel. Each opening
    // takes the next answer; the last one stays.
    void answerOk(const QString &name = QStringLiteral("bench"));
    void answerCancel();
    // Something to do when the box opens instead (a test of the box itself).
    std::function<void()> onNameBox;
    int nameBoxOpenings = 0;

    // The interval text and the test time as the lists would set them.
    void setInterval(const QString &ms);
    void setTestTime(const QString &minutes);
    // Demonstration readings instead of the instrument.
    void demonstration();

    // START, then the ticks of READ_Timer until the run is over (a loop
    // run takes one tick), at most `ticks`.
    void start();
    void runTicks(int ticks = 1);

    // The recorded-data files in "SAVE DATA", oldest name first, and lines.
    QStringList files() const;
    static QList<QByteArray> lines(const QString &path);
    // The records of a file (its lines after the three of the header).
    static QList<QByteArray> records(const QString &path);

    QTemporaryDir dir;
    PanelFixture f;
    runs::ReadingsTableModel table;
    runs::ManualRunClock clock;
    runs::RunContext run;
    rt::MessageRecorder messages;

private:
    struct Answer
    {
        bool ok;
        QString name;
    };
    QList<Answer> m_answers;
};
