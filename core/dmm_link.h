#pragma once
// The command channel to the instrument: one serial port, one command per
// Write, one reply per Read. Every other part of the program talks to the
// instrument through the one DMM_LINK.
//
// On the wire every command ends in exactly one LF: a text ending in the
// three characters "\10", in CR LF, in CR or in LF loses that ending first.
// Replies may end in CR, LF, CR LF or LF CR; Read hands each one back with
// exactly one CR at its end, which the callers drop or count back from.

#include <QDeadlineTimer>
#include <QObject>
#include <QSerialPort>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class QIODevice;

namespace shell {

enum class LinkError {
    None,
    NoPortChosen,      // port 0: nothing chosen in the settings yet
    NoBaudChosen,      // baud rate 0 or a text that is not a rate
    MissingDevice,     // no device at the port's path
    PortBusy,          // another program holds the port
    PermissionDenied,  // the user may not open the device
    OpenFailed,        // any other refusal to open
    NotOpen,           // Write or Read with no open port
    WriteFailed,
    TimedOut,          // no complete reply within the bound
    LineLost,          // the port went away (adapter unplugged, far end hung up)
    Busy,              // another exchange is waiting for its reply
    Cancelled,         // the program is ending: nothing more is waited for
    Interrupted,       // the wait was ended from inside its events (interruptWait)
};

// The device path of "COM n": $RAVELO_COM<n> when set, otherwise
// /dev/ttyUSB<n-1> when it exists, otherwise /dev/ttyS<n-1> (COM<n> on Windows).
QString devicePathForPort(int port);

// The text on the wire for one command text.
QByteArray wireBytes(const QString &command);

// Reading queries wait for a measurement: their bound grows with it.
bool isReadingQuery(const QString &command);

class Class1 : public QObject
{
    Q_OBJECT
public:
    // Opens a device for a port number and rate, or says why it cannot.
    using DeviceFactory = std::function<std::unique_ptr<QIODevice>(
        int port, qint32 baud, LinkError *error, QString *why)>;

    explicit Class1(QObject *parent = nullptr);  // real serial ports
    explicit Class1(DeviceFactory factory, QObject *parent = nullptr);
    ~Class1() override;

    void Port(int port);
    int port() const { return m_port; }
    void BaudRate(qint32 baud);
    bool BaudRate(const QString &text);  // the baud list's text, "9600"
    qint32 baudRate() const { return m_baud; }

    // Opens the port with the number and rate set (closing any open one).
    bool Open();
    // Sends one command. Replies still owed to queries that timed out are
    // waited for and dropped first, so they never answer this one.
    bool Write(const QString &command);
    // One reply with one CR at its end, or nothing when no complete reply
    // came within the bound (the channel then owes the instrument that
    // reply and drops it when it comes), or the port is not open or went
    // away.
    //
    // Every wait runs the program's events in short slices (paint, closing,
    // timers, whose ticks wait for the exchange to end), but not the user's
    // input, which the window system keeps until the wait is over (unless
    // an AllEventsInWaits lives); so one exchange is on the line at a time
    // and the window never freezes.
    std::optional<QString> Read();
    // Reads a line the instrument sends of its own accord, asked by no
    // query: as Read, but a line that does not come in time is not owed, so
    // nothing waits for it later.
    std::optional<QString> ReadUnasked();
    void Flush();
    int InputCount();
    void Reset();

    bool isOpen() const;
    // An exchange is waiting for its reply (events run meanwhile). A wait
    // begun inside another's events (refused, but counted) does not end it.
    bool isWaiting() const { return m_waitDepth > 0; }
    // The program is ending: the wait in progress and every later one give
    // up at once.
    void cancelWaits() { m_cancelled = true; }

    // While one of these lives, a wait's slices run every event, the user's
    // input too, so something inside a wait can end it (interruptWait).
    // Whoever opens one answers for what that input may do there; the
    // channel does not look at it. They nest.
    class AllEventsInWaits
    {
    public:
        explicit AllEventsInWaits(Class1 &link);
        ~AllEventsInWaits();
        AllEventsInWaits(const AllEventsInWaits &) = delete;
        AllEventsInWaits &operator=(const AllEventsInWaits &) = delete;

    private:
        Class1 &m_link;
    };
    // Whether a wait's slices run every event now (an AllEventsInWaits lives).
    bool runsAllEventsInWaits() const { return m_allEvents > 0; }
    // Called from the events of a wait: the wait ends at once and its Read
    // fails with Interrupted (a Write not yet sent is not sent). What
    // the instrument still owes is then the caller's to declare
    // (expectLateLines). Outside a wait it does nothing.
    void interruptWait();
    // Runs the events of one slice, as a wait does, without waiting: what
    // they do may interrupt the next exchange before a command that must
    // not follow it goes out. It counts as a wait while it runs.
    void runSliceEvents();
    // The instrument may still send this many lines that nobody will read
    // (lines it sends of its own accord, replies to queries whose wait was
    // interrupted): they are waited for, within the reply bound, and dropped
    // before the next exchange.
    void expectLateLines(int lines);
    // Sends a command at once, without first waiting for the replies still
    // owed (they stay owed) and whatever interrupted the wait: a stop that
    // must reach the instrument now.
    bool WriteNow(const QString &command);
    // Waits for what the instrument still owes (within the bound) and drops
    // it with everything else that waits unread: the next exchange starts
    // on a quiet line. Refused (false, Busy) inside another wait, whose
    // reply it would take.
    bool settle();
    // Replies that came after their query had timed out, dropped; a count
    // that grows tells that the instrument answers later than the bound.
    quint64 lateRepliesDropped() const { return m_lateDropped; }
    // Waits, events running, until the line has been quiet for the quiet
    // time (at most about a second), and forgets everything that came: the
    // rest of a stream nobody reads any more. Refused (false, Busy) inside
    // another wait.
    bool discardUntilQuiet();
    LinkError lastError() const { return m_error; }
    QString lastErrorText() const { return m_errorText; }

    // Bounds. While a reading query is unanswered, a read waits the ordinary
    // bound plus the expected reading time at the present rate and filter,
    // at most 60 s.
    void setReplyBound(std::chrono::milliseconds bound) { m_replyBound = bound; }
    void setExpectedReadingTime(std::chrono::milliseconds time) { m_readingTime = time; }
    void setQuietTime(std::chrono::milliseconds quiet) { m_quiet = quiet; }
    std::chrono::milliseconds boundForNextRead() const;
    // The bound of a reading query's reply.
    std::chrono::milliseconds readingBound() const;

    // Sees every text passed to Write, exactly as passed (tests).
    void setWriteTap(std::function<void(const QString &)> tap) { m_tap = std::move(tap); }

    // The device under the channel (tests).
    QIODevice *device() const { return m_io.get(); }

Q_SIGNALS:
    // A plain one-line account of an open failure or a lost line, for the
    // status log.
    void problem(const QString &line);
    // The open line went away (hang-up, end of file, device removed); the
    // port is closed. Emitted when it happens, idle or not.
    void lineLost(const QString &why);

private:
    bool fail(LinkError error, const QString &why);
    // True (and the port closed, the loss reported) when the line went away.
    bool checkLineLost();
    // One slice of a wait: what came in, or events for a moment.
    void waitSlice(const QDeadlineTimer &deadline);
    // The events of one slice: the user's input only under an
    // AllEventsInWaits.
    void runEvents();
    // Sends without settling; the body of Write and WriteNow.
    bool send(const QString &command, bool settleFirst);
    // Inside a wait nothing else may touch the line: Busy.
    bool refusedInsideAWait();
    // The wait was interrupted: the owed counts are the interrupter's now.
    bool takeInterrupt();
    // Replies owed to timed-out queries, waited for and dropped.
    void settleLateReplies();
    std::optional<QString> takeReply();
    std::optional<QString> read(bool owedOnTimeout);
    void readAvailable();
    void discardStale();
    void closeDevice();
    void clearBuffers(QSerialPort::Directions directions);

    DeviceFactory m_factory;
    std::unique_ptr<QIODevice> m_io;
    QByteArray m_rx;
    int m_port = 0;
    qint32 m_baud = 0;
    int m_readingRepliesOwed = 0;  // reading queries sent and not yet answered
    int m_queriesOwed = 0;         // queries of any kind sent and not yet answered
    int m_lateOwed = 0;            // replies of timed-out queries still to come
    bool m_lateReading = false;    // one of them is a reading's
    quint64 m_lateDropped = 0;
    // Waits under way: a wait begun inside another's events (refused, or
    // runSliceEvents) nests, and the outer one is still under way after it.
    int m_waitDepth = 0;
    bool m_cancelled = false;
    int m_allEvents = 0;  // AllEventsInWaits alive
    bool m_interrupted = false;
    // Lines expected late (expectLateLines) come within the bound from when
    // they were expected, or not at all: later exchanges wait no longer.
    QDeadlineTimer m_lateCap{QDeadlineTimer::Forever};
    QString m_lostWhy;     // the serial port reported the device gone
    LinkError m_error = LinkError::None;
    QString m_errorText;
    std::chrono::milliseconds m_replyBound{2000};
    std::chrono::milliseconds m_readingTime{0};
    std::chrono::milliseconds m_quiet{100};
    std::function<void(const QString &)> m_tap;
};

} // namespace shell
