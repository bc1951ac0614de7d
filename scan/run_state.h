#pragma once
// What the scanner window is doing with the instrument, and what the user
// asked of it meanwhile. From the opening to the end of the read-back, and
// from Scan or Step to the run's end, the window holds the line: only it
// talks to the instrument, and the user's Stop and Quit are the only input
// taken inside its waits.

namespace scan {

enum class RunPhase {
    Idle,         // the window is open and talks to nobody
    ReadingBack,  // the scanner's state is read back at opening
    Running,      // a scan or step run, from its start to its end or Stop
};

struct RunState
{
    RunPhase phase = RunPhase::Idle;
    // Stop was clicked (or the program is ending) while the run waited on
    // the instrument: the run ends once the wait gives way, rather than Stop
    // talking across it.
    bool stopAsked = false;
    // Quit was clicked (or the program is ending) during the read-back: it
    // ends where it is, then the window closes.
    bool quitAsked = false;
    // The instrument was told to scan and its end-of-pass line has not been
    // read: it may still come after a stop.
    bool passArmed = false;

    bool holdsLine() const { return phase != RunPhase::Idle; }
    bool running() const { return phase == RunPhase::Running; }
    bool readingBack() const { return phase == RunPhase::ReadingBack; }
};

} // namespace scan
