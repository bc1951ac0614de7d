#include "scan/scan_run.h"

#include "scan/form_change.h"
#include "scan/scan_form.h"
#include "scan/scanner_waits.h"
#include "core/link_gate.h"
#include "core/panel.h"
#include "formats/recorded_data.h"
#include "formats/scan_data.h"
#include "platform/dialogs.h"
#include "platform/runtime.h"

#include <QFile>

#include <vector>

using namespace Qt::StringLiterals;

namespace scan {
namespace {

const QColor kSettingRed(255, 0, 0);
const QColor kReadBlue(0, 0, 255);
const QColor kWriteGreen(0, 150, 0);

// A pass ends with this line from the instrument.
constexpr QStringView kScanOk = u"SCAN OK";
// Replies looked at for it before the fetch gives up.
constexpr int kScanOkTries = 10;
// Rows a file and the grids take; the 10,000th row starts over.
constexpr int kRollOverRow = 10000;
// Beyond this row the grids scroll the current row to their top.
constexpr int kRowsInSight = 6;

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

QString channelName(int i)
{
    return u"1"_s + QString::number(i + 1).rightJustified(2, u'0');
}

double valueOf(QStringView box)
{
    return rt::leadingNumber(box);
}

Panel &panelOf(ScanContext &s) { return s.panel; }

bool send(ScanContext &s, const QString &command)
{
    return shell::send(panelOf(s), command, shell::Sender::Scanner);
}

QString lastLinkError(ScanContext &s)
{
    const QString why = s.panel.link.lastErrorText();
    return why.isEmpty() ? u"The instrument did not take a command."_s : why;
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

// One empty row waits under the last one for the next readings.
void openRow(ScanControls &c)
{
    for (ScanGridModel &grid : c.Scan_Grid)
        grid.setDataRows(c.SCAN_ROW);
}

// Where channel i's readings go: grid and column.
std::pair<int, int> cellOf(int i)
{
    if (i < 8)
        return {0, i};
    if (i < 16)
        return {1, i - 8};
    return {i == 16 ? 0 : 1, 8};
}

// The run is over: timers off, the instrument's scan off, the table and
// the buttons back. The command goes out at once: lines the instrument
// still owes are dropped before the next exchange.
void finishRun(ScanContext &s)
{
    ScanControls &c = s.controls;
    c.Timer1_Scan.setEnabled(false);
    c.Timer1_STEP.setEnabled(false);
    if (std::exchange(c.run.passArmed, false))
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
    c.setPhase(RunPhase::Running, p.state);
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
        if (!armed && !c.run.stopAsked)
            rt::messageBox(u"Is Error"_s, u"Err"_s, rt::MessageIcon::Critical);
        return finishRun(s);
    }
    c.showStatus(u"Read Data"_s, kReadBlue);
    // A Stop given during the set-up arms no pass.
    p.link.runSliceEvents();
    if (c.run.stopAsked)
        return finishRun(s);
    const bool started = kind == RunKind::Scan
                             ? send(s, u"rout:scan:fin on\\10"_s) && send(s, u"rout:adv on\\10"_s)
                                   && send(s, u"rout:func scan\\10"_s)
                             : send(s, u"rout:adv on\\10"_s) && send(s, u"rout:func step\\10"_s);
    if (!started && c.run.stopAsked)
        return finishRun(s);
    if (!started)
        return failRun(s, lastLinkError(s));
    c.run.passArmed = true;
    (kind == RunKind::Scan ? c.Timer1_Scan : c.Timer1_STEP).setEnabled(true);
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
        const bool armed = !c.run.stopAsked && send(s, u"rout:adv on\\10"_s) && send(s, rearm);
        c.run.passArmed = armed;
        if (c.run.stopAsked) {
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

// The data lines of one fetch, into the file begun last; closed on every
// way out.
class DataLines
{
public:
    bool open(const QString &path, QString *why)
    {
        QString problem;
        // The folder may have gone since the file was begun.
        if (!formats::appendScanFile(path, {}, &problem)) {
            *why = problem;
            return false;
        }
        m_file.setFileName(path);
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append)) {
            *why = u"%1 cannot be opened: %2"_s.arg(path, m_file.errorString());
            return false;
        }
        return true;
    }
    bool isOpen() const { return m_file.isOpen(); }
    bool write(const QString &line, QString *why)
    {
        const QByteArray bytes = line.toUtf8();
        if (m_file.write(bytes) != bytes.size() || !m_file.flush()) {
            *why = u"Writing %1 failed: %2"_s.arg(m_file.fileName(), m_file.errorString());
            return false;
        }
        return true;
    }

private:
    QFile m_file;
};

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
        if (!c.run.stopAsked)
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
    for (int i = 0; i < kChannelCount; ++i)
        c.table.setRowEnabled(i, false, false, false, false);
}

void SCAN_TABLE_UNLOCK(ScanControls &c)
{
    for (int i = 0; i < kChannelCount; ++i) {
        const ChannelRow &row = c.table.channel(i);
        const bool on = row.CHN_CHK.checked;
        c.table.setRowEnabled(i, true, true, on, on && !row.S_Auto_CHK.checked);
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

namespace {

// One fetch of a pass's readings into the grids: where each went and the
// file lines it made, so a pass that turns out not to line up with its
// channels can be taken back whole.
class PassReadings
{
public:
    explicit PassReadings(ScanContext &s) : m_s(s), m_c(s.controls), m_firstRow(s.controls.SCAN_ROW) {}

    enum class End { Read, OutOfLine, Stopped, Failed };

    // Reads n readings after "fetc?" and places them.
    End read(int n)
    {
        Panel &p = m_s.panel;
        for (int k = 1; k <= n; ++k) {
            m_c.showStatus(u"Write Data"_s, kWriteGreen);
            std::optional<QString> reading;
            if (shell::mayTalk(p, shell::Sender::Scanner))
                reading = p.link.Read();
            if (!reading) {
                if (!m_c.run.stopAsked)
                    return End::Failed;
                // This reading and the rest are still on their way.
                p.link.expectLateLines(n - k + 1);
                return End::Stopped;
            }
            if (reading->contains(kScanOk)) {
                // The pass had not ended when its readings were asked for:
                // what came before belongs to no one pass, and the answer
                // to "fetc?" is still on its way.
                p.link.expectLateLines(n - k + 1);
                return End::OutOfLine;
            }
            place(*reading);
            if (m_c.run.stopAsked) {
                p.link.expectLateLines(n - k);
                return End::Stopped;
            }
        }
        return End::Read;
    }

    // Takes every reading of this fetch back out of the grids.
    void takeBack()
    {
        for (const auto &[grid, column, row] : m_placed)
            m_c.Scan_Grid[std::size_t(grid)].setCell(row, column, QString());
        m_placed.clear();
        m_lines.clear();
        m_line.clear();
        m_notes.clear();
        m_c.SCAN_ROW = m_firstRow;
        openRow(m_c);
        m_c.FETCH_COUNT = 0;
    }

    // The partly filled row's line, stamped now, and everything said about
    // the pass.
    void finish()
    {
        if (!m_line.isEmpty())
            completeLine();
        for (const QString &note : std::as_const(m_notes))
            m_s.panel.status.append(note);
        m_notes.clear();
    }

    const QStringList &lines() const { return m_lines; }

private:
    void place(const QString &reading)
    {
        ScanControls &c = m_c;
        int target = -1;
        for (int i = 0; i < kChannelCount && target < 0; ++i) {
            if (!c.table.channel(i).CHN_CHK.checked)
                continue;
            const auto [grid, column] = cellOf(i);
            if (c.Scan_Grid[std::size_t(grid)].cell(c.SCAN_ROW, column).isEmpty())
                target = i;
        }
        if (target < 0)
            return;  // every ticked channel of the row has its reading

        QString text = Form_Change(c, reading, target);
        if (text == kNotANumber)
            m_notes.append(u"Pass %1, channel %2: the reading \"%3\" is not a number; it is shown and saved as %4."_s
                               .arg(c.passNumber)
                               .arg(channelName(target), QStringView(reading).trimmed(), kNotANumber));
        const QString field = formats::scanField(text);
        if (field == formats::kOverloadField)
            text = u"OL"_s;
        m_line += field;
        const auto [grid, column] = cellOf(target);
        c.Scan_Grid[std::size_t(grid)].setCell(c.SCAN_ROW, column, text);
        m_placed.push_back({grid, column, c.SCAN_ROW});
        ++c.FETCH_COUNT;
        if (target != c.LAST_CHANNEL)
            return;
        // The row is complete.
        if (valueOf(c.Count_TEXT) > c.FETCH_COUNT) {
            ++c.SCAN_ROW;
            openRow(c);
        }
        if (c.SCAN_ROW > kRowsInSight)
            c.Scan_Grid_TopRow = c.SCAN_ROW;
        completeLine();
    }

    void completeLine()
    {
        m_lines.append(m_line + formats::scanLineTail(m_s.now()));
        m_line.clear();
    }

    struct Placed
    {
        int grid, column, row;
    };
    ScanContext &m_s;
    ScanControls &m_c;
    int m_firstRow;
    std::vector<Placed> m_placed;
    QStringList m_lines;  // the completed rows' file lines
    QString m_line;       // the row being filled
    QStringList m_notes;  // for the status log, once the pass is kept
};

} // namespace

FetchEnd SCAN_FETCH_RESULTS(ScanContext &s, QString *why)
{
    ScanControls &c = s.controls;
    Panel &p = s.panel;
    QString problem;
    const auto fail = [&](const QString &reason) {
        if (why)
            *why = reason;
        return FetchEnd::Failed;
    };
    ++c.passNumber;

    // The end of the pass: a trigger (unless an external one paces the
    // scanner) and a reply, until "SCAN OK" comes. A reply that does not
    // come in time counts as one that is not it; the scanner owes none.
    for (int tries = 1;; ++tries) {
        const bool triggered = c.EXT_TRIGGER || send(s, u"*trg\\10"_s);
        std::optional<QString> reply;
        if (triggered && shell::mayTalk(p, shell::Sender::Scanner))
            reply = p.link.ReadUnasked();
        if (c.run.stopAsked)
            return FetchEnd::Stopped;  // the end-of-pass line may still come
        if (!triggered || (!reply && p.link.lastError() != shell::LinkError::TimedOut))
            return fail(lastLinkError(s));
        if (tries > kScanOkTries) {
            c.showStatus(kNoScanData.toString(), kSettingRed);
            p.status.append(kNoScanData.toString());
            return FetchEnd::NoScanOk;
        }
        if (reply && reply->contains(kScanOk))
            break;
    }
    c.run.passArmed = false;

    const std::optional<qint32> count = rt::roundToWhole(valueOf(c.Count_TEXT));
    const int n = count.value_or(0);
    PassReadings pass(s);
    // Asked twice at most: an end-of-pass line among the readings says the
    // first answer came before the pass had ended.
    for (int attempt = 1;; ++attempt) {
        if (!send(s, u"fetc?\\10"_s)) {
            if (c.run.stopAsked)
                return FetchEnd::Stopped;
            return fail(lastLinkError(s));
        }
        const PassReadings::End end = pass.read(n);
        if (end == PassReadings::End::Failed)
            return fail(lastLinkError(s));
        if (end != PassReadings::End::OutOfLine)
            break;
        pass.takeBack();
        if (attempt == 2) {
            p.status.append(u"Pass %1 was not saved: its readings did not line up with its channels "
                            "(the end-of-pass line came among them)."_s
                                .arg(c.passNumber));
            c.showStatus(u"Read Data"_s, kReadBlue);
            c.touch();
            return FetchEnd::Done;
        }
        p.status.append(u"Pass %1: the end-of-pass line came among the readings; they are asked for again."_s
                            .arg(c.passNumber));
    }
    const bool stopped = c.run.stopAsked;
    pass.finish();
    c.FETCH_COUNT = 0;
    if (c.SCAN_ROW > kRowsInSight)
        c.Scan_Grid_TopRow = c.SCAN_ROW;
    // What was read is kept, also when Stop came in the middle.
    if (c.Save_DATA_CHK && !pass.lines().isEmpty()) {
        DataLines file;
        if (!file.open(c.scanFilePath, &problem))
            return fail(problem);
        for (const QString &line : pass.lines())
            if (!file.write(line, &problem))
                return fail(problem);
    }
    if (stopped)
        return FetchEnd::Stopped;
    c.showStatus(u"Read Data"_s, kReadBlue);
    c.touch();
    return FetchEnd::Done;
}

void Scan_BUTT_Click(ScanContext &s) { startRun(s, RunKind::Scan); }
void STEP_BUTT_Click(ScanContext &s) { startRun(s, RunKind::Step); }

void STOP_BUTT_Click(ScanContext &s)
{
    if (s.panel.link.isWaiting()) {
        // Heard inside a wait of the run: the run ends as soon as the wait
        // gives way.
        s.controls.run.stopAsked = true;
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
