#pragma once
// The scanner window's controls as values: the channel table, the four scan
// settings, the run mode, the name boxes, the result grids and the run
// timers. The window shows them and forwards the user's actions; tests read
// and drive them without a window.

#include "scan/channel_table.h"
#include "scan/scan_grid.h"
#include "scan/run_state.h"
#include "platform/panel_timer.h"

#include <QColor>
#include <QObject>
#include <QPoint>
#include <QString>

#include <array>
#include <functional>
#include <optional>
#include <utility>

namespace shell {
struct PanelState;
}

namespace scan {

inline const QColor kCaptionBlack(0, 0, 0);
inline const QColor kCaptionGrey(100, 100, 100);

// Where the scan data name box stands, in twips, after OK and after Cancel.
inline constexpr QPoint kNameBoxAfterOk(2700, 6100);
inline constexpr QPoint kNameBoxAfterCancel(2400, 2500);

// Characters a scan setting box takes at most: Count, Scan Delay, System
// Delay, Repeat.
inline constexpr int kCountLength = 3;
inline constexpr int kDelayLength = 4;
inline constexpr int kRepeatLength = 4;

// Typed keys the boxes keep (the character of the key; backspace is 8).
// Text pasted or set from code is not filtered.
bool isDigitKey(QChar key);      // Count, Scan Delay, System Delay, Repeat
bool isSetupNameKey(QChar key);  // the set-up name: letters, digits, "_"

class ScanControls : public QObject
{
    Q_OBJECT
public:
    explicit ScanControls(QObject *parent = nullptr);

    ChannelTable table;

    // Scan settings, as typed.
    QString Count_TEXT;
    QString Timer_TEXT;     // "Scan Delay:"
    QString SYS_DEL_TEXT;   // "System Delay:"
    QString Repeat_TEXT;
    bool Repeat_TEXT_enabled = true;

    // Run mode: option 0 repeats a count, option 1 runs continuously; the
    // check box "Continuous" chooses between them too.
    int Cont_OPT = -1;  // the selected option; -1 before the first choice
    bool Check1 = false;
    QColor Repeat_LAB_color = kCaptionBlack;
    QColor Cont_OPT1_color = kCaptionBlack;  // caption "Continuous" of option 1

    // Scan data name box.
    bool Save_DATA_CHK = false;
    QString INPU_NAME_TEXT = QStringLiteral("ScanData");
    bool INPU_NAME_Frame_front = false;
    QPoint INPU_NAME_Frame_at = kNameBoxAfterOk;  // twips

    // Set-up name box.
    QString SSBS_Input_Text = QStringLiteral("Set Data");
    bool SSBS_Frame_front = false;

    // What the window is doing with the instrument. The controls own it:
    // it changes through the methods below alone.
    const RunState &run = m_run;
    // A run is active: from a start until its end or Stop (run.phase() is
    // Running).
    bool runActive() const { return run.running(); }
    // Entering a phase starts it afresh: Running forgets an earlier Stop
    // and armed pass, ReadingBack an earlier Quit. Idle lets go of the
    // line (lineReleased); quitAsked stays for the window to read.
    void setPhase(RunPhase phase, shell::PanelState &panel);
    // Quit has been taken and the window is on its way out: nothing in it
    // takes the user's hand any more, also while its last exchange waits.
    bool closing = false;

    void askStop() { m_run.m_stopAsked = true; }
    void askQuit() { m_run.m_quitAsked = true; }
    void setPassArmed(bool armed) { m_run.m_passArmed = armed; }
    // Whether a pass was armed, and it is no longer.
    bool takePassArmed() { return std::exchange(m_run.m_passArmed, false); }

    // The channel table's enabled flags as a run found them; the lock keeps
    // them, the unlock puts them back.
    struct RowEnabled
    {
        bool on, autoBox, function, range;
    };
    std::optional<std::array<RowEnabled, kChannelCount>> tableBeforeLock;

    // The run's status line. Its changes signal statusChanged() alone, so a
    // fetch repaints the label, not the window.
    QString SET_SHOW = QStringLiteral("Data_Setting");
    QColor SET_SHOW_color = kCaptionBlack;
    bool SET_SHOW_visible = false;
    void showStatus(const QString &caption, const QColor &colour);
    void showStatus();  // as it stands
    void hideStatus();

    // The instrument's trigger source is external (read back at opening).
    bool EXT_TRIGGER = false;

    rt::PanelTimer Timer1_Scan;
    rt::PanelTimer Timer1_STEP;

    std::array<ScanGridModel, 2> Scan_Grid;
    // The grid row the next results go into (1: the first under the
    // headings), and the row both grids scroll to the top.
    int SCAN_ROW = 0;
    int Scan_Grid_TopRow = 1;
    // The highest ticked channel of the last set-up, and the readings this
    // fetch has placed.
    int LAST_CHANNEL = 0;
    int FETCH_COUNT = 0;
    // The scan data file that fetched results are appended to: the one the
    // last start or roll-over began.
    QString scanFilePath;

    // The pass being fetched, counted from 1 at each start (for the status
    // log).
    int passNumber = 0;

    // Selecting an option runs its rule when the selection changes.
    void selectRunMode(int option);
    void setCheck1(bool checked);
    void Cont_OPT_Click(int option);

    // After a procedure has changed some of the fields above: one changed()
    // for all of them. Changes of the table signal on their own.
    void touch() { emit changed(); }

signals:
    void changed();
    void statusChanged();
    // The window has stopped holding the line: its run or read-back is over.
    void lineReleased();

private:
    RunState m_run;
};

// Holds the window in a phase for the length of a procedure: on every way
// out, early returns and exceptions too, the phase goes back to Idle, by
// `leave` when one is given (which ends what the phase began). keep() hands
// the phase on instead: a run that goes on with its timers.
class PhaseScope
{
public:
    PhaseScope(ScanControls &c, RunPhase phase, shell::PanelState &panel, std::function<void()> leave = {});
    ~PhaseScope();
    PhaseScope(const PhaseScope &) = delete;
    PhaseScope &operator=(const PhaseScope &) = delete;

    void keep() { m_kept = true; }

private:
    ScanControls &m_c;
    shell::PanelState &m_panel;
    std::function<void()> m_leave;
    bool m_kept = false;
};

// Whether each control of the window takes the user's hand now: all of it
// follows from the run's state (and Repeat from the run mode too); none
// while the window closes.
struct ControlsEnabled
{
    bool tabs = true;        // the channel table's page and the result grids
    bool tableButtons = true;  // On/Auto All Open/Clear, the run-mode options and "Continuous"
    bool settings = true;    // Count, Scan Delay, System Delay
    bool repeat = true;      // Repeat
    bool saveData = true;    // "SAVE DATA"
    bool start = true;       // Scan, Step
    bool stop = true;
    bool quit = true;        // Quit and the close box
    bool setupFiles = true;  // the main window's save and load set-up entries
};
ControlsEnabled controlsEnabled(const ScanControls &c);

// The result grids' layout at opening: headings and one empty row each.
void SCAN_GRID_INIT(ScanControls &c);

} // namespace scan
