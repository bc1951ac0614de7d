// A scan run from its start to its end: the start buttons, the channel
// set-up, the ticks that take each pass and arm the next, Stop, and the
// table's lock. Reading a pass's results is pass_fetch.cpp's.

#include "scan/scan_run.h"

#include "scan/pass_fetch.h"
#include "scan/run_parts.h"
#include "scan/scan_form.h"
#include "scan/scanner_waits.h"
#include "core/link_gate.h"
#include "core/panel.h"
#include "formats/recorded_data.h"
#include "formats/scan_data.h"
#include "platform/dialogs.h"
#include "platform/runtime.h"

using namespace Qt::StringLiterals;

namespace scan {

// ---- what the run and its fetch share (run_parts.h) ----

QString channelName(int i)
{
    return u"1"_s + QString::number(i + 1).rightJustified(2, u'0');
}

double valueOf(QStringView box)
{
    return rt::leadingNumber(box);
}

bool send(ScanContext &s, const QString &command)
{
    return shell::send(s.panel, command, shell::Sender::Scanner);
}

QString lastLinkError(ScanContext &s)
{
    const QString why = s.panel.link.lastErrorText();
    return why.isEmpty() ? u"The instrument did not take a command."_s : why;
}

void openRow(ScanControls &c)
{
    for (ScanGridModel &grid : c.Scan_Grid)
        grid.setDataRows(c.SCAN_ROW);
}

// ---- the run ----

namespace {

// Rows a file and the grids take; the 10,000th row starts over.
constexpr int kRollOverRow = 10000;

// The scanner's function codes, and the range each sends: by the range
// list's position where the row has a list, else its one value. Texts
// compare exactly; the first row that has the text wins.
struct FunctionCode
{
    const char16_t *functions;  // space-separated
    int code;
    std::array<const char16_t *, 7> ranges;  // nullptr past the last
};
constexpr FunctionCode kFunctionCodes[] = {
    {u"VOLT DCV",             1,  {u"0.1", u"1", u"10", u"100", u"1000"}},
    {u"VOLT:AC ACV",          2,  {u"0.1", u"1", u"10", u"100", u"750"}},
    {u"CURR DCI_2A",          3,  {u"10"}},
    {u"CURR:AC ACI_2A",       4,  {u"10"}},
    {u"DCmA",                 5,  {u"1"}},
    {u"ACmA",                 6,  {u"1"}},
    {u"2W RES",               7,  {u"100", u"1000", u"10000", u"100000", u"1000000", u"10000000", u"100000000"}},
    {u"FREQ Hz",              8,  {u"1"}},
    {u"TEMP:TCO:C C TC_C",    9,  {u"1"}},
    {u"CONT CONTINU",         13, {u"1"}},
    {u"PER P",                14, {u"1"}},
    {u"TEMP:TCO:F F TC_F",    15, {u"1"}},
    {u"4W FRES",              16, {u"100", u"1000", u"10000", u"100000", u"1000000", u"10000000", u"100000000"}},
    {u"DIODE",                17, {u"1"}},
    {u"TEMP:RTD:C",           18, {u"1"}},
    {u"TEMP:FRTD:C",          19, {u"1"}},
    {u"TEMP:RTD:F",           20, {u"1"}},
    {u"TEMP:FRTD:F",          21, {u"1"}},
};

const FunctionCode *findFunctionCode(QStringView text)
{
    for (const FunctionCode &row : kFunctionCodes)
        for (QStringView item : QStringView(row.functions).split(u' '))
            if (item == text)
                return &row;
    return nullptr;
}


void resetGrids(ScanControls &c)
{
    for (ScanGridModel &grid : c.Scan_Grid)
        grid.setDataRows(0);
    c.SCAN_ROW = 1;
    for (ScanGridModel &grid : c.Scan_Grid)
        grid.setDataRows(1);
    c.Scan_Grid_TopRow = 1;
}


// The run is over: timers off, the instrument's scan off, the table and
// the buttons back. The command goes out at once: lines the instrument
// still owes are dropped before the next exchange.
void finishRun(ScanContext &s)
{
    ScanControls &c = s.controls;
    c.Timer1_Scan.setEnabled(false);
    c.Timer1_STEP.setEnabled(false);
    if (c.takePassArmed())
        s.panel.link.expectLateLines(1);  // its end-of-pass line may be on its way
    shell::sendNow(s.panel, u"rout:func off\\10"_s, shell::Sender::Scanner);
    c.Repeat_TEXT = u"1"_s;
    SCAN_TABLE_UNLOCK(c);
    c.hideStatus();
    c.setPhase(RunPhase::Idle, s.panel.state);
}

// A tick that cannot go on ends the run as Stop does, and says why.
void failRun(ScanContext &s, const QString &why)
{
    finishRun(s);
    s.panel.status.append(u"Scan stopped: "_s + why);
    rt::messageBox(u"The scan stopped: "_s + why, u"Scan Error"_s, rt::MessageIcon::Critical);
}

bool advanceRow(ScanContext &s, QString *why)
{
    ScanControls &c = s.controls;
    ++c.SCAN_ROW;
    if (c.SCAN_ROW >= kRollOverRow) {
        ++s.panel.state.SCAN_FILE_NO;
        if (c.Save_DATA_CHK && !SCAN_FILE_CREATE(s, why))
            return false;
        resetGrids(c);
    }
    openRow(c);
    return true;
}

QList<formats::ScanHeaderChannel> tickedChannels(const ScanControls &c)
{
    QList<formats::ScanHeaderChannel> channels;
    for (int i = 0; i < kChannelCount; ++i) {
        const ChannelRow &row = c.table.channel(i);
        if (row.CHN_CHK.checked)
            channels.append({i, row.MODE_Comb.text(), row.Combo2.text(), row.S_Auto_CHK.checked});
    }
    return channels;
}

void startRun(ScanContext &s, RunKind kind)
{
    ScanControls &c = s.controls;
    Panel &p = s.panel;
    if (c.run.holdsLine())
        return;
    // The two runs would cross each other's replies on the one line.
    if (p.state.runPhase != shell::RunPhase::Idle)
        return rt::messageBox(u"A measurement run is in progress: stop it before scanning."_s,
                              u"Scan Error"_s, rt::MessageIcon::Critical);
    // The file comes first: a run that cannot save has not started.
    if (c.Save_DATA_CHK) {
        QString why;
        if (!SCAN_FILE_CREATE(s, &why))
            return rt::messageBox(u"The scan data file cannot be begun: "_s + why, u"Scan Error"_s,
                                  rt::MessageIcon::Critical);
    }
    if (kind == RunKind::Scan)
        c.showStatus(u"Data Setting "_s, kSettingRed);
    else
        c.showStatus();
    SCAN_TABLE_LOCK(c);
    // A start that does not end with a pass armed ends the run as Stop
    // does, whichever way it leaves.
    PhaseScope phase(c, RunPhase::Running, p.state, [&s] { finishRun(s); });
    c.SCAN_ROW = 0;
    c.passNumber = 0;
    c.touch();
    // From here Stop is heard inside the waits.
    const ScannerWaits waits(s);
    // Whatever the instrument still owes from before (a stopped run's
    // end-of-pass line, say) must not end this run's first pass.
    p.link.settle();

    const bool armed = send(s, u"TRAC:CLE\r\n"_s)
                       && send(s, u"rout:coun "_s + numberOf(c.Count_TEXT) + u"\\10"_s)
                       && send(s, u"rout:del "_s + numberOf(c.Timer_TEXT) + u"\\10"_s)
                       && send(s, u"trig:del "_s + numberOf(c.SYS_DEL_TEXT) + u"\\10"_s);
    resetGrids(c);
    if (!armed || !SCAN_CHANNEL_SETUP(s)) {
        if (!armed && !c.run.stopAsked())
            rt::messageBox(u"Is Error"_s, u"Err"_s, rt::MessageIcon::Critical);
        return;
    }
    c.showStatus(u"Read Data"_s, kReadBlue);
    // A Stop given during the set-up arms no pass.
    p.link.runSliceEvents();
    if (c.run.stopAsked())
        return;
    const bool started = kind == RunKind::Scan
                             ? send(s, u"rout:scan:fin on\\10"_s) && send(s, u"rout:adv on\\10"_s)
                                   && send(s, u"rout:func scan\\10"_s)
                             : send(s, u"rout:adv on\\10"_s) && send(s, u"rout:func step\\10"_s);
    if (!started && c.run.stopAsked())
        return;
    if (!started)
        return failRun(s, lastLinkError(s));
    c.setPassArmed(true);
    (kind == RunKind::Scan ? c.Timer1_Scan : c.Timer1_STEP).setEnabled(true);
    phase.keep();
}

void runTick(ScanContext &s, RunKind kind)
{
    ScanControls &c = s.controls;
    rt::PanelTimer &timer = kind == RunKind::Scan ? c.Timer1_Scan : c.Timer1_STEP;
    const QString rearm = kind == RunKind::Scan ? u"rout:func scan\\10"_s : u"rout:func step\\10"_s;
    const bool continuous = c.Cont_OPT == 1;
    if (!s.panel.link.isOpen() && (continuous || valueOf(c.Repeat_TEXT) > 0))
        return failRun(s, lastLinkError(s));

    // One pass: its readings, the next row, the next pass armed. Each
    // returns false when the run has ended (stopped or failed).
    const auto pass = [&]() -> bool {
        QString why;
        const FetchEnd end = SCAN_FETCH_RESULTS(s, &why);
        if (end == FetchEnd::Stopped) {
            finishRun(s);
            return false;
        }
        if (end == FetchEnd::Failed) {
            failRun(s, why);
            return false;
        }
        return true;
    };
    const auto next = [&]() -> bool {
        QString why;
        if (!advanceRow(s, &why)) {
            failRun(s, why);
            return false;
        }
        // A Stop given as the pass ended arms no new one.
        s.panel.link.runSliceEvents();
        const bool armed = !c.run.stopAsked() && send(s, u"rout:adv on\\10"_s) && send(s, rearm);
        c.setPassArmed(armed);
        if (c.run.stopAsked()) {
            finishRun(s);
            return false;
        }
        if (!armed) {
            failRun(s, lastLinkError(s));
            return false;
        }
        timer.setEnabled(true);
        c.touch();
        return true;
    };

    // Stop is heard inside the tick's waits.
    const ScannerWaits waits(s);
    if (continuous) {
        if (s.panel.link.InputCount() == 0)
            return;
        timer.setEnabled(false);
        if (pass())
            next();
        return;
    }
    if (s.panel.link.InputCount() != 0 && valueOf(c.Repeat_TEXT) > 0) {
        c.Repeat_TEXT = rt::numberText(valueOf(c.Repeat_TEXT) - 1);
        c.touch();
        timer.setEnabled(false);
        if (!pass())
            return;
        c.FETCH_COUNT = 0;
        if (valueOf(c.Repeat_TEXT) > 0 && !next())
            return;
    }
    if (valueOf(c.Repeat_TEXT) <= 0)
        finishRun(s);
}

} // namespace

QString numberOf(QStringView box)
{
    return rt::numberText(valueOf(box));
}

QString channelCommand(const ScanControls &c, int i)
{
    const ChannelRow &row = c.table.channel(i);
    const FunctionCode *function = findFunctionCode(row.MODE_Comb.text());
    // A text outside the table cannot come from the lists; code 0 tells the
    // instrument nothing it would take for a real function.
    const int code = function ? function->code : 0;
    QString range = u"1"_s;
    if (function) {
        const int at = row.Combo2.index;
        const bool oneValue = function->ranges[1] == nullptr;
        if (oneValue)
            range = QString::fromUtf16(function->ranges[0]);
        else if (at >= 0 && at < int(function->ranges.size()) && function->ranges[std::size_t(at)])
            range = QString::fromUtf16(function->ranges[std::size_t(at)]);
    }
    return u"rout:chan %1,%2,%3,%4\\10"_s.arg(channelName(i))
        .arg(code)
        .arg(range, row.S_Auto_CHK.checked ? u"1"_s : u"0"_s);
}

bool SCAN_CHANNEL_SETUP(ScanContext &s)
{
    ScanControls &c = s.controls;
    const auto failed = [&] {
        c.hideStatus();
        // A command refused because Stop ended its wait is no error.
        if (!c.run.stopAsked())
            rt::messageBox(u"Is Error"_s, u"Err"_s, rt::MessageIcon::Critical);
        return false;
    };
    if (!send(s, u"rout:open:all\\10"_s))
        return failed();
    for (int i = 0; i < kChannelCount; ++i) {
        QString command;
        if (!c.table.channel(i).CHN_CHK.checked) {
            command = u"rout:clos "_s + channelName(i) + u"\\10"_s;
        } else {
            c.LAST_CHANNEL = i;
            command = channelCommand(c, i);
        }
        if (!send(s, command))
            return failed();
        // The scanner takes a moment to switch its relays.
        if (s.pace)
            s.pace(2);
        else
            Delay(2);
    }
    c.hideStatus();
    return true;
}

void SCAN_TABLE_LOCK(ScanControls &c)
{
    // What the table's rules made of it is kept for the unlock: a locked
    // four-wire partner, say, or a list the read-back left as it found it.
    if (!c.tableBeforeLock) {
        std::array<ScanControls::RowEnabled, kChannelCount> before{};
        for (int i = 0; i < kChannelCount; ++i) {
            const ChannelRow &row = c.table.channel(i);
            before[std::size_t(i)] = {row.CHN_CHK.enabled, row.S_Auto_CHK.enabled, row.MODE_Comb.enabled,
                                      row.Combo2.enabled};
        }
        c.tableBeforeLock = before;
    }
    for (int i = 0; i < kChannelCount; ++i)
        c.table.setRowEnabled(i, false, false, false, false);
}

void SCAN_TABLE_UNLOCK(ScanControls &c)
{
    // Nothing changes the table while it is locked: it comes back as it
    // was. Unlocked already (Stop while idle), it stays as it is.
    const std::optional<std::array<ScanControls::RowEnabled, kChannelCount>> before
        = std::exchange(c.tableBeforeLock, std::nullopt);
    if (!before)
        return;
    for (int i = 0; i < kChannelCount; ++i) {
        const ScanControls::RowEnabled &row = (*before)[std::size_t(i)];
        c.table.setRowEnabled(i, row.on, row.autoBox, row.function, row.range);
    }
}

bool SCAN_FILE_CREATE(ScanContext &s, QString *why)
{
    shell::PanelState &state = s.panel.state;
    const QDateTime now = s.now();
    state.FILE_STAMP = formats::fileStamp(now, state.SCAN_FILE_NO);
    const QString path = formats::scanPath(state.SCAN_NAME, state.FILE_STAMP);
    if (!formats::appendScanFile(path, formats::scanHeaderBytes(now, tickedChannels(s.controls)), why))
        return false;
    s.controls.scanFilePath = path;
    return true;
}

void Scan_BUTT_Click(ScanContext &s) { startRun(s, RunKind::Scan); }
void STEP_BUTT_Click(ScanContext &s) { startRun(s, RunKind::Step); }

void STOP_BUTT_Click(ScanContext &s)
{
    if (s.panel.link.isWaiting()) {
        // Heard inside a wait of the run: the run ends as soon as the wait
        // gives way.
        s.controls.askStop();
        s.panel.link.interruptWait();
        return;
    }
    finishRun(s);
}

void Timer1_Scan_Timer(ScanContext &s) { runTick(s, RunKind::Scan); }
void Timer1_STEP_Timer(ScanContext &s) { runTick(s, RunKind::Step); }

void connectScanTimers(ScanContext &s)
{
    s.controls.Timer1_Scan.setHandler([&s] { Timer1_Scan_Timer(s); });
    s.controls.Timer1_STEP.setHandler([&s] { Timer1_STEP_Timer(s); });
}

} // namespace scan
