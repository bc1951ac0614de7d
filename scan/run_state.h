#pragma once
// What the scanner window is doing with the instrument, and what the user
// asked of it meanwhile. From the opening to the end of the read-back, and
// from Scan or Step to the run's end, the window holds the line: only it
// talks to the instrument, and the user's Stop and Quit are the only input
// taken inside its waits.
//
// Everyone reads it; only its owner, the window's controls
// (scan_controls.h), changes it.

namespace scan {

enum class RunPhase {
    Idle,         // the window is open and talks to nobody
    ReadingBack,  // the scanner's state is read back at opening
    Running,      // a scan or step run, from its start to its end or Stop
};

class RunState
{
public:
    RunPhase phase() const { return m_phase; }
    // Stop was clicked (or the program is ending) while the run waited on
    // the instrument: the run ends once the wait gives way, rather than Stop
    // talking across it.
    bool stopAsked() const { return m_stopAsked; }
    // Quit was clicked (or the program is ending) during the read-back: it
    // ends where it is, then the window closes.
    bool quitAsked() const { return m_quitAsked; }
    // The instrument was told to scan and its end-of-pass line has not been
    // read: it may still come after a stop.
    bool passArmed() const { return m_passArmed; }

    bool holdsLine() const { return m_phase != RunPhase::Idle; }
    bool running() const { return m_phase == RunPhase::Running; }
    bool readingBack() const { return m_phase == RunPhase::ReadingBack; }

private:
    friend class ScanControls;
    RunPhase m_phase = RunPhase::Idle;
    bool m_stopAsked = false;
    bool m_quitAsked = false;
    bool m_passArmed = false;
};

} // namespace scan
