#pragma once
// The whole program on ravelo-sim, for end-to-end tests: a program folder
// of its own holding a settings record for COM 1 at 115200 baud, the
// simulator's pty as COM 1, message boxes recorded. The main window comes
// with start() and goes before everything else.

#include "core/dmm_link.h"
#include "platform/dialogs.h"
#include "support/sim_process.h"
#include "windows/main_window.h"

#include <QTemporaryDir>

#include <memory>

struct ProgramOnSim
{
    // ravelo-sim's arguments beyond --link and --baud; the record's test
    // time and sample interval.
    ProgramOnSim(const QStringList &simArguments, const QString &testTime, const QString &speed);
    ~ProgramOnSim();
    ProgramOnSim(const ProgramOnSim &) = delete;
    ProgramOnSim &operator=(const ProgramOnSim &) = delete;

    // The simulator runs and the record is written.
    bool ready() const { return sim.started() && m_recordWritten; }
    std::unique_ptr<shell::MDImain> &start();

    QTemporaryDir folder;
    SimProcess sim;
    rt::MessageRecorder messages;
    shell::Class1 link;
    std::unique_ptr<shell::MDImain> window;

private:
    bool m_recordWritten = false;
};
