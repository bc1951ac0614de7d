// One pass's results: the wait for the end of the pass, "fetc?", each
// reading formatted into its channel's cell, and the pass's lines appended
// to the scan data file. A pass is filed whole or not at all.

#include "scan/pass_fetch.h"

#include "scan/form_change.h"
#include "scan/run_parts.h"
#include "scan/scan_form.h"
#include "core/link_gate.h"
#include "core/panel.h"
#include "formats/scan_data.h"
#include "platform/runtime.h"

#include <QFile>

#include <vector>

using namespace Qt::StringLiterals;

namespace scan {
namespace {

const QColor kWriteGreen(0, 150, 0);

// A pass ends with this line from the instrument.
constexpr QStringView kScanOk = u"SCAN OK";
// Replies looked at for it before the fetch gives up.
constexpr int kScanOkTries = 10;
// Beyond this row the grids scroll the current row to their top.
constexpr int kRowsInSight = 6;

// Where channel i's readings go: grid and column.
std::pair<int, int> cellOf(int i)
{
    if (i < 8)
        return {0, i};
    if (i < 16)
        return {1, i - 8};
    return {i == 16 ? 0 : 1, 8};
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
                if (!m_c.run.stopAsked())
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
            // A pass read whole is kept, whenever Stop came.
            if (m_c.run.stopAsked() && k < n) {
                p.link.expectLateLines(n - k);
                return End::Stopped;
            }
        }
        return End::Read;
    }

    int placed() const { return int(m_placed.size()); }

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
        if (c.run.stopAsked())
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
    c.setPassArmed(false);

    const std::optional<qint32> count = rt::roundToWhole(valueOf(c.Count_TEXT));
    const int n = count.value_or(0);
    PassReadings pass(s);
    // Asked twice at most: an end-of-pass line among the readings says the
    // first answer came before the pass had ended.
    for (int attempt = 1;; ++attempt) {
        if (!send(s, u"fetc?\\10"_s)) {
            if (c.run.stopAsked())
                return FetchEnd::Stopped;
            return fail(lastLinkError(s));
        }
        const PassReadings::End end = pass.read(n);
        if (end == PassReadings::End::Failed)
            return fail(lastLinkError(s));
        if (end == PassReadings::End::Stopped) {
            // A pass cut short is not saved, and the grids show what the
            // file holds: its readings go.
            p.status.append(u"Pass %1 was cut short after %2 of its %3 readings: it is not saved, and its "
                            "readings are cleared from the grid."_s
                                .arg(c.passNumber)
                                .arg(pass.placed())
                                .arg(n));
            pass.takeBack();
            c.touch();
            return FetchEnd::Stopped;
        }
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
    // Every reading of the pass came, though Stop may have come with the
    // last: the pass is kept whole.
    const bool stopped = c.run.stopAsked();
    pass.finish();
    c.FETCH_COUNT = 0;
    if (c.SCAN_ROW > kRowsInSight)
        c.Scan_Grid_TopRow = c.SCAN_ROW;
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

} // namespace scan
