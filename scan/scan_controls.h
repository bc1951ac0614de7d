#pragma once
// The scanner window's controls as values: the channel table, the four scan
// settings, the run mode, the name boxes, the result grids and the run
// timers. The window shows them and forwards the user's actions; tests read
// and drive them without a window.

#include "scan/channel_table.h"
#include "scan/scan_grid.h"
#include "platform/panel_timer.h"

#include <QColor>
#include <QObject>
#include <QPoint>
#include <QString>

#include <array>

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

    bool Quit_BUTT_enabled = true;  // a run disables it, and the close box with it
    bool Scan_BUTT_enabled = true;
    bool STEP_BUTT_enabled = true;
    // Count, Scan Delay, System Delay and Repeat take no typing during a
    // run (Repeat also follows the run mode).
    bool settingsEnabled = true;
    // A run is active: from a start until its end or Stop. "SAVE DATA" and
    // the set-up files wait until it is over.
    bool runActive = false;

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

    // Stop was clicked while a tick waited on the instrument: the tick ends
    // the run once the wait gives way, rather than Stop talking across it.
    bool stopAsked = false;
    // The instrument was told to scan and its end-of-pass line has not been
    // read: it may still come after a stop.
    bool passArmed = false;
    // The pass being fetched, counted from 1 at each start (for the status
    // log).
    int passNumber = 0;

    // The scanner's state is being read back into the window (it may take
    // half a minute on a slow line): the window shows how far it has come,
    // takes nothing but Quit, and Quit ends the read-back before the window
    // closes.
    bool readingBack = false;
    bool quitAsked = false;

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
};

// The result grids' layout at opening: headings and one empty row each.
void SCAN_GRID_INIT(ScanControls &c);

} // namespace scan
