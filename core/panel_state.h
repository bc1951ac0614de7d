#pragma once
// What the whole program remembers about the instrument and the drawn front
// panel: which function and range each display shows, whether the link is
// up, the reading texts, the run clock and file names, and the front panel's
// own flags for its set-up menus and its editing. It has no behaviour: the
// procedures that set an item are the ones that give it meaning.
//
// The front panel owns the one PanelState for the whole run and hands it to
// every procedure that needs it. The names are the panel's long-standing
// names, so that code, simulator logs and old notes read alike. Every flag is
// a plain bool; every item without a start value below starts at 0, false or
// the empty text. The values given are those the panel holds once the main
// window and the front panel have loaded, before anything has been drawn.

#include "core/setting.h"

#include <QString>
#include <QStringView>
#include <span>
#include <string_view>

namespace shell {

// ---- Closed vocabularies. Compared exactly, letter case included: "acv"
// and "hz" are no codes at all. The empty text means "none" and is in none
// of the tables.

// Function codes of display 1 (MODE1).
inline constexpr std::u16string_view kFunctionCodes1[] = {
    u"ACV", u"DCV", u"ACI", u"DCI", u"2W", u"4W", u"Hz", u"P",
    u"C", u"F", u"DIODE", u"CONTINU", u"dB", u"dBm",
};

// Codes of display 2 (MODE2) when it measures a function of its own
// (MODE2_ON is set first).
inline constexpr std::u16string_view kMeasureCodes2[] = {
    u"ACV", u"DCV", u"ACI", u"DCI", u"2W", u"4W", u"Hz", u"P",
};

// Codes of display 2 when it shows something that belongs to display 1's
// function: dBm beside dB, the hold reference, the compare result, a math
// function or a running statistic.
inline constexpr std::u16string_view kViewCodes2[] = {
    u"dBm", u"HOLD", u"COMP", u"MX+B", u"1/X", u"REF%",
    u"COUNT", u"MIN", u"MAX", u"AVG", u"STDEV",
};

// The running statistics by their index (AVER_DISP_SEL 0..4).
inline constexpr std::u16string_view kStatisticCodes[] = {
    u"COUNT", u"MIN", u"MAX", u"AVG", u"STDEV",
};

// Range labels (MODE1_RANGE, MODE2_RANGE): one vocabulary for both displays.
// Resistance labels carry no unit; temperature has no range (empty label).
inline constexpr std::u16string_view kAutoRange = u"AUTO";
inline constexpr std::u16string_view kAcVoltRanges[] = {u"100mV", u"1V", u"10V", u"100V", u"750V"};
inline constexpr std::u16string_view kDcVoltRanges[] = {u"100mV", u"1V", u"10V", u"100V", u"1000V"};
inline constexpr std::u16string_view kCurrentRanges[] = {u"100uA", u"1mA", u"10mA", u"100mA", u"1A", u"10A"};
inline constexpr std::u16string_view kOhmRanges[] = {u"100", u"1K", u"10K", u"100K", u"1M", u"10M", u"100M"};

bool isFunctionCode1(QStringView text);
bool isFunctionCode2(QStringView text);  // a measure code or a view code
bool isMeasureCode2(QStringView text);
bool isRangeLabel(QStringView text);     // "AUTO" or any fixed range

// The fixed ranges of a display-1 or display-2 function, lowest first:
// "ACV", "DCV", "ACI"/"DCI", "2W"/"4W". Every other function (frequency,
// period, temperature, diode, continuity, dB, views) has none.
std::span<const std::u16string_view> rangeLabelsOf(QStringView functionCode);

// BLINK_FIRST and BLINK_DOT hold this when no digit or no point blinks.
inline constexpr qint16 kNoBlink = 10;

// TEST_TIME of a run that goes on until stopped; 0 means no run or a stop
// request.
inline constexpr double kContinuousRun = -1;

// What the START key has going. The phase, not the colour of START_TEXT,
// decides what a START press does: a press while the name box is open or
// while a loop unwinds starts nothing.
enum class RunPhase {
    Idle,        // no run
    Naming,      // START waits for the record-name box
    Timed,       // READ_Timer drives: demonstration ticks, or the tick that starts a loop
    NormalLoop,  // the normal acquisition loop holds the event thread
    FastLoop,    // the fast loop holds it: the instrument streams samples
    Ending,      // the end-of-run sequence runs
};

struct PanelState
{
    // ---- Shared by every window for the whole run.

    // Link and settings.
    bool REMOTE_OK = false;       // an identification or link test succeeded
    bool PORT_SET = false;        // the settings record named a port at start-up
    shell::SETTING SETTING;       // the settings record as read or last stored
    qint32 SPEED_MS = 0;          // sample interval in ms; below 35 the fast loop runs

    // What the instrument measures and what the displays read.
    QString MODE1;                // kFunctionCodes1, or empty
    QString MODE2;                // kMeasureCodes2 / kViewCodes2, or empty
    bool MODE2_ON = false;        // display 2 measures a function of its own
    bool READ_OK = false;         // the last reading reply was usable
    QString FW_VERSION;           // first four characters of the identity's fourth field
    QString BRAND_CODE = QStringLiteral("VX");  // "VX" or "QD": About box, logo, pictures
    QString DISPLAY1;             // raw reply going into the parser, shown value + "_unit" out
    QString DISPLAY2;

    // Runs and their files.
    bool NAME_DONE = false;       // the record-name prompt has been closed
    qint32 RECORD_COUNT = 0;      // records in the current recorded-data file
    QString LOG_NAME = QStringLiteral("DMM");  // base name of recorded-data files
    QString FILE_STAMP;           // "-yyyymmdd-hhmmss-" and the sequence number as "000"
    qint16 LOG_FILE_NO = 0;       // sequence number of the recorded-data file in a run
    double TEST_TIME = 0;         // run length in s; kContinuousRun; 0 = none or stop
    RunPhase runPhase = RunPhase::Idle;
    bool scanRunning = false;     // the scanner window holds the channel (its read-back or a scan run)
    qint32 START_SECS = 0;        // seconds since midnight at the start of the run
    qint32 ELAPSED_SECS = 0;      // seconds since the start of the run
    double extTriggerOrigin = -1; // seconds since midnight when the external trigger began; -1 = unknown
    bool extStoppedRun = false;   // the switch to the external trigger stopped a waiting run's timers

    // Channel scan files.
    QString SCAN_NAME;            // base name of scan data files
    qint16 SCAN_FILE_NO = 0;      // sequence number of the scan data file

    // ---- The front panel's own.

    // Link, start-up and display.
    qint16 TIMER1_TICKS = 0;      // ticks of the start-up lamp test; stays 3 once it is over
    QString DISPLAY_BMP_PATH;     // picture folder, set when the front panel loads
    QString MODE1_RANGE;          // range label of display 1, or empty
    QString MODE2_RANGE;          // range label of display 2; kept while display 2 is off
    QString SPEED_CODE;           // reading rate "S", "M", "F", or empty before the first check
    QString LAST_REPLY;           // last non-empty reading reply, reused for an empty one
    bool DIS1_OL = false;         // display 1 shows the overload or open form
    bool reading1Shown = false;   // display 1 shows a reading of MODE1, not the zeros of a new function or range
    bool READ_PAUSED = false;     // a key procedure stopped the run timers and restarts them
    bool AUTO_RANGE_FLAG = false; // one-shot: the range view skips relighting the AUTO lamps
    bool ACV_FLAG = false;        // the last of ACV/DCV pressed was ACV
    bool ND2_VIEW = false;        // display 2 shows the MAX, MIN or REL view of the 2ND key
    QString IDN_REPLY;            // trigger-source reply during the identification, 2 characters
    bool scannerReported = false; // the identification found the scanner option fitted

    // The digit run that IMG_Timer blinks.
    qint16 BLINK_FIRST = 0;       // first digit of the run; kNoBlink = none
    qint16 BLINK_LAST = 0;        // last digit of the run; the cursor digit while editing
    qint16 BLINK_DOT = 0;         // point that blinks with them; kNoBlink = none
    bool BLINK_DISP2 = false;     // the run is on display 2 (a list), else display 1 (digits)

    // Math.
    bool MATH_SET = false;        // the math set-up menu is open
    bool MATH_ON = false;         // MX+B, 1/X, REF% or COUNT is on
    bool MATH_DONE = false;       // a math set-up has just ended
    qint16 MATH_ITEM = 0;         // 1 M, 2 B, 3 1/X, 4 REF%, 5 and 6 COUNT steps, 61 COUNT entry
    QString EDIT_DIGITS;          // digit string being edited on a display
    QString MATH_M_VALUE;         // M of MX+B, REF% reference, upper limit or COUNT value
    QString MATH_B_VALUE;         // B of MX+B or lower limit

    // Compare limits and filter.
    QString LIMIT_DIGITS;         // digits being entered for a limit or the filter count
    bool COMP_SET = false;        // the limit entry is open
    bool COMP_ON = false;         // compare is on
    bool COMP_HIGH = false;       // editing the HIGH limit, else LOW
    bool FILT_SET = false;        // the filter set-up is open
    bool FILT_MOVING = false;     // moving filter, else repeating

    // Temperature sensor.
    bool SENSOR_SET = false;      // the sensor set-up is open
    qint16 SENSOR_STATE = 0;      // sensor menu state, 11..53
    QString SENSOR_TYPE = QStringLiteral("TCO");  // "TCO" = thermocouple
    QString TCO_TYPE;             // thermocouple letter B, E, J, K, N, R, S or T
    qint16 RTD_WIRES = 2;         // RTD connection, 2 or 4
    QString RTD_ALPHA;            // RTD coefficients as the instrument gives them
    QString RTD_BETA;
    QString RTD_DELTA;
    QString QUERY_VALUE;          // a value read for editing

    // Hold, REL, MAX/MIN.
    bool HOLD_ON = false;
    qint16 HOLD_REF_INT = 0;      // hold reference, whole number
    bool REL_ON = false;
    bool REL_SET = false;         // the REL reference entry is open
    QString REL_VALUE;            // REL reference digits
    bool MXMN_ON = false;
    bool MIN_SEL = false;         // MAX/MIN shows MIN, else MAX

    // dB and dBm.
    bool dB_ON = false;
    bool dB_DISP1 = false;        // the dB value is on display 1
    bool dB_WITH_dBm = false;     // display 2 shows dBm beside dB
    bool dBm_ON = false;
    QString dBm_REF;              // reference impedance, four characters "0002".."8000"

    // The instrument's running statistics.
    bool AVER_RUNNING = false;
    QString AVER_FUNC_REPLY;      // last statistics-function reply
    qint16 AVER_LAST_POINTS = 0;  // last count seen
    qint16 AVER_DISP_SEL = 0;     // index into kStatisticCodes
};

// While a fast loop runs the instrument streams its samples: a query from
// anyone else would take a sample as its reply. Keys, the error-queue button
// and the raw-command window send nothing then.
inline bool instrumentStreaming(const PanelState &state)
{
    return state.runPhase == RunPhase::FastLoop;
}
// The status line of a refusal; no message box, which would hold up the run.
inline constexpr char16_t kStreamingRefusal[] =
    u"Not now: the instrument is streaming the samples of a fast run.";

} // namespace shell
