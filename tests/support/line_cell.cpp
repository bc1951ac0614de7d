#include "support/line_cell.h"

#include "core/dmm_link.h"
#include "core/link_gate.h"
#include "platform/program_folder.h"
#include "platform/runtime.h"
#include "shell/front_panel.h"
#include "shell/identification.h"
#include "shell/speed_check.h"
#include "support/files.h"

#include <QDir>
#include <QEventLoop>
#include <QRegularExpression>
#include <QTimer>

#include <csignal>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

// ---- the watch --------------------------------------------------------------

void WaitWatch::fault(const QString &what)
{
    if (++m_faultCount <= 5)
        m_firstFaults.append(what);
}

QStringList WaitWatch::faults() const
{
    QStringList all = m_firstFaults;
    if (m_delivered < m_posted - 1)
        all.append(u"%1 slices' events never ran"_s.arg(m_posted - m_delivered));
    if (m_faultCount > m_firstFaults.size())
        all.append(u"and %1 more"_s.arg(m_faultCount - m_firstFaults.size()));
    return all;
}

void WaitWatch::sliceBegins(Waiter waiter, const char *what, qint64 ms)
{
    if (ms == 0)
        return;
    ++m_slices;
    const QLatin1StringView said(what);
    if (ms < 0 || ms > kLongestSlice.count())
        fault(u"%1 for %2 ms in one go"_s.arg(said).arg(ms));
    if (m_delivered < m_posted)
        fault(u"%1 again with no event run since the slice before"_s.arg(said));
    ++m_posted;
    const bool inChannelWait = waiter == Waiter::Channel && m_channelWaits;
    QMetaObject::invokeMethod(
        this,
        [this, said, inChannelWait] {
            ++m_delivered;
            if (inChannelWait && !m_channelWaits())
                fault(u"an event posted as %1 ran only after that wait"_s.arg(said));
        },
        Qt::QueuedConnection);
}

bool WatchedPort::waitForReadyRead(int msecs)
{
    m_watch.sliceBegins(WaitWatch::Waiter::Channel, "the channel waits for input", msecs);
    return QSerialPort::waitForReadyRead(msecs);
}

bool WatchedPort::waitForBytesWritten(int msecs)
{
    m_watch.sliceBegins(WaitWatch::Waiter::Channel, "the channel waits for its output to go", msecs);
    return QSerialPort::waitForBytesWritten(msecs);
}

void WatchedRunClock::sleepFor(runs::Nanos span)
{
    const qint64 ms = span <= 0ns ? 0 : std::max<qint64>(1, std::chrono::ceil<std::chrono::milliseconds>(span).count());
    m_watch.sliceBegins(WaitWatch::Waiter::Run, "the run sleeps", ms);
    runs::systemRunClock().sleepFor(span);
}

// ---- the rows ---------------------------------------------------------------

const std::vector<IdleExchangeRow> &idleExchangeRows()
{
    const QString f = u"--fault"_s;
    static const std::vector<IdleExchangeRow> rows = {
        {"silent", {f, u"silent-after=1"_s}, true, u"not identified: \"\\*IDN\\?\" failed, No reply"_s},
        // Garbled letters still make replies; what the panel makes of them is
        // its own affair, as long as it lives and keeps the window alive.
        {"every reply garbled", {f, u"garble-every=1"_s}, true, {}},
        {"every reply cut", {f, u"cut-every=1"_s}, true, u"not identified: .* failed"_s},
        {"replies 1.5 s late", {f, u"delay-ms=1500"_s}, false, {}},
    };
    return rows;
}

const std::vector<RunRow> &runRows()
{
    const QString f = u"--fault"_s;
    static const std::vector<RunRow> rows = {
        // Normal run: 500 ms for 0.1 min (12 passes).
        {"normal, silent", Phase::Normal, {f, u"silent-after=6"_s}, 0, u"three readings in a row did not come"_s, true},
        {"normal, garbled", Phase::Normal, {f, u"garble-every=4"_s}, 0, u"holds no value; nothing recorded"_s, false},
        {"normal, cut", Phase::Normal, {f, u"cut-every=4"_s}, 0, u"No reading at|holds no value"_s, false},
        {"normal, 1.5 s late", Phase::Normal, {f, u"delay-ms=1500"_s}, 0, u"^TEST Speed: 500"_s, false},
        {"normal, 3 s late", Phase::Normal, {f, u"delay-ms=3000"_s}, 0, u"takes longer than the reading bound"_s, true},
        {"normal, slow readings", Phase::Normal, {u"--state"_s, u"timescale=188"_s}, 0,
         u"takes longer than the reading bound"_s, true},
        {"normal, hang-up", Phase::Normal, {f, u"hangup-after=10"_s}, 0, u"line to the instrument was lost"_s, true},
        {"normal, killed", Phase::Normal, {}, 2500, u"line to the instrument was lost"_s, true},
        // Fast run: 33.333 ms for 0.05 min (3 s, 90 samples).
        {"fast, silent", Phase::Fast, {f, u"silent-after=12"_s}, 0, u"samples \\d+ to \\d+ lost"_s, false},
        {"fast, garbled", Phase::Fast, {f, u"garble-every=10"_s}, 0, u"is no value"_s, false},
        {"fast, cut", Phase::Fast, {f, u"cut-every=10"_s}, 0, u"samples lost|is no value"_s, false},
        {"fast, hang-up", Phase::Fast, {f, u"hangup-after=12"_s}, 0, u"line to the instrument was lost"_s, true},
        {"fast, killed", Phase::Fast, {}, 1500, u"line to the instrument was lost"_s, true},
    };
    return rows;
}

// ---- the cell ---------------------------------------------------------------

namespace {

const QRegularExpression kRecord(
    uR"(^(\d{5}),   \d\d:\d\d:\d\d,    \d{4}/\d\d/\d\d \d\d:\d\d:\d\d, +DCV, +([^ ,]+), +[^,]*, +[^,]*,\r$)"_s);

// The simulator's arguments with numbered readings added to its state.
QStringList withNumbering(QStringList arguments)
{
    const qsizetype state = arguments.indexOf(u"--state"_s);
    if (state >= 0 && state + 1 < arguments.size())
        arguments[state + 1] = u"numbered=1,"_s + arguments[state + 1];
    else
        arguments += {u"--state"_s, u"numbered=1"_s};
    return arguments;
}

// A serial port as the channel opens one, its waits watched.
shell::Class1::DeviceFactory watchedPorts(WaitWatch &watch)
{
    return [&watch](int port, qint32 baud, shell::LinkError *error, QString *why) -> std::unique_ptr<QIODevice> {
        auto serial = std::make_unique<WatchedPort>(watch);
        serial->setPortName(shell::devicePathForPort(port));
        serial->setBaudRate(baud);
        if (serial->open(QIODevice::ReadWrite))
            return serial;
        *error = shell::LinkError::OpenFailed;
        *why = serial->errorString();
        return nullptr;
    };
}

} // namespace

LineCell::LineCell(const QStringList &simArguments)
    : sim(withNumbering(simArguments)), link(watchedPorts(watch)), run(parts.panel, table, clock)
{
    watch.setChannelWaits([this] { return link.isWaiting(); });
    rt::setProgramFolder(dir.path());
    qputenv("RAVELO_COM1", QFile::encodeName(sim.linkPath()));
    link.Port(1);
    link.BaudRate(115200);
    link.setWriteTap([this](const QString &command) {
        if (command.startsWith(u"read? buf"))
            ++readingQueries;
    });
    Panel &p = parts.panel;
    p.state.MODE1 = u"DCV"_s;
    p.state.MODE1_RANGE = u"AUTO"_s;
    p.state.SETTING.REC_EVERY = u"1"_s;
    p.display.setAllLit(false);  // no filter: the reading bound is 2 s and a little
    p.display.setLit(display::Lamp::M_LAB, true);
    p.controls.CHK_COM_TF.enabled = false;
    p.controls.Speed_TIME.items = shell::sampleIntervals();
    p.controls.CONT_TIME_LIST.items = shell::testTimes();
    runs::connectRunTimers(run);
    QObject::connect(&run.events, &runs::RunEvents::nameBoxOpened, [this] {
        parts.controls.INPU_NAME_TEXT = u"line"_s;
        runs::INPU_NAME_OK_Click(run);
    });
    // Each pass begins after the one before: the newest record, when
    // the pass before made one, holds the reading of that pass's query.
    run.passBegan = [this](runs::Nanos) { checkNewestRecord(); };
}

LineCell::~LineCell() { rt::setProgramFolder({}); }

bool LineCell::open()
{
    const bool ok = sim.started() && link.Open();
    parts.state.REMOTE_OK = ok;
    return ok;
}

void LineCell::checkNewestRecord()
{
    const qint32 count = parts.state.RECORD_COUNT;
    if (count == m_recordsSeen)
        return;
    m_recordsSeen = count;
    const QList<QByteArray> lines = fileLines(recordFile());
    const QRegularExpressionMatch m = kRecord.match(QString::fromLatin1(lines.value(lines.size() - 1)));
    if (!m.hasMatch() || rt::leadingNumber(m.captured(2)) != double(readingQueries))
        ownQueryMismatches.append(
            u"record %1 holds %2 after query %3"_s.arg(count).arg(m.captured(2)).arg(readingQueries));
}

QString LineCell::recordFile() const
{
    const QDir folder(dir.filePath(u"SAVE DATA"_s));
    const QStringList names = folder.entryList(QDir::Files, QDir::Name);
    return names.isEmpty() ? QString() : folder.filePath(names.last());
}

void LineCell::runFor(const QString &interval, const QString &minutes, std::chrono::milliseconds limit)
{
    parts.controls.Speed_TIME.text = interval;
    shell::Speed_TIME_Click(parts.panel);
    parts.controls.CONT_TIME_LIST.text = minutes;
    shell::CONT_TIME_LIST_Click(parts.panel);
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (parts.state.runPhase == shell::RunPhase::Idle)
            loop.quit();
    });
    QTimer::singleShot(limit, &loop, &QEventLoop::quit);
    runs::START_IMG_MouseDown(run);
    runs::START_IMG_MouseUp(run);
    poll.start(50);
    loop.exec();
}

void LineCell::runRow(const RunRow &row)
{
    link.setExpectedReadingTime(50ms);
    if (row.killAfterMs > 0)
        QTimer::singleShot(row.killAfterMs, [this] { killSimulator(); });
    const bool fast = row.phase == Phase::Fast;
    runFor(fast ? u"33.333"_s : u"500"_s, fast ? u"0.05"_s : u"0.1"_s, 60s);
    if (!fast)
        checkNewestRecord();
}

bool LineCell::exchange(const IdleExchangeRow &row)
{
    if (!row.identify)
        return shell::ask(parts.panel, u"*IDN?\\10"_s, shell::Sender::Always).has_value();
    shell::RDX_INF_TEST(parts.panel);
    return true;
}

QString LineCell::checkRecords(bool rising) const
{
    if (recordFile().isEmpty())
        return {};  // no file, or one that never got a record and went
    const QList<QByteArray> lines = fileLines(recordFile());
    double last = 0;
    for (qsizetype i = 3; i < lines.size(); ++i) {
        const QRegularExpressionMatch m = kRecord.match(QString::fromLatin1(lines[i]));
        if (!m.hasMatch())
            return u"line %1 is no record: %2"_s.arg(i + 1).arg(QString::fromLatin1(lines[i]));
        if (m.captured(1).toInt() != i - 2)
            return u"line %1 is numbered %2"_s.arg(i + 1).arg(m.captured(1));
        const double value = rt::leadingNumber(m.captured(2));
        if (rising && value <= last)
            return u"line %1 holds %2 after %3"_s.arg(i + 1).arg(value).arg(last);
        last = value;
    }
    return {};
}

void LineCell::killSimulator() { ::kill(pid_t(sim.process().processId()), SIGKILL); }

bool LineCell::says(const QString &pattern) const
{
    const QRegularExpression re(pattern);
    for (const QString &line : parts.status.lines())
        if (re.match(line).hasMatch())
            return true;
    for (const rt::Message &m : messages.messages())
        if (re.match(m.text).hasMatch())
            return true;
    return false;
}
