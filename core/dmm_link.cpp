#include "core/dmm_link.h"

#include "platform/panel_timer.h"
#include "platform/runtime.h"

#include <QCoreApplication>

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QSerialPort>
#include <QtGlobal>

#include <algorithm>
#include <climits>

#ifndef Q_OS_WIN
#include <cerrno>
#include <unistd.h>
#endif

using namespace std::chrono_literals;

namespace shell {
namespace {

constexpr auto kLongestReadingBound = 60000ms;
constexpr auto kLongestDrain = 1500ms;
// The window's events run at least this often while the channel waits.
constexpr auto kWaitSlice = 10ms;

bool isTerminator(char c) { return c == '\r' || c == '\n'; }

QString portName(int port, const QString &path)
{
    return QStringLiteral("COM %1 (%2)").arg(port).arg(path);
}

std::unique_ptr<QIODevice> openSerialPort(int port, qint32 baud, LinkError *error, QString *why)
{
    const QString path = devicePathForPort(port);
#ifndef Q_OS_WIN
    // The serial port class reports a busy port and a forbidden one alike;
    // look first, so the user is told which of the two it is.
    if (!QFileInfo::exists(path)) {
        *error = LinkError::MissingDevice;
        *why = QStringLiteral("No serial device for %1: check that the cable or adapter is "
                              "plugged in and the port number is right.")
                   .arg(portName(port, path));
        return nullptr;
    }
    if (::access(QFile::encodeName(path).constData(), R_OK | W_OK) != 0 && errno == EACCES) {
        *error = LinkError::PermissionDenied;
        *why = QStringLiteral("No permission to open %1: the user needs read and write "
                              "access to it (on Linux, membership of the dialout group).")
                   .arg(portName(port, path));
        return nullptr;
    }
#endif
    auto serial = std::make_unique<QSerialPort>();
    serial->setPortName(path);
    serial->setBaudRate(baud);
    serial->setDataBits(QSerialPort::Data8);
    serial->setParity(QSerialPort::NoParity);
    serial->setStopBits(QSerialPort::OneStop);
    serial->setFlowControl(QSerialPort::NoFlowControl);
    if (serial->open(QIODevice::ReadWrite))
        return serial;

    switch (serial->error()) {
    case QSerialPort::DeviceNotFoundError:
        *error = LinkError::MissingDevice;
        *why = QStringLiteral("No serial device for %1: check that the cable or adapter is "
                              "plugged in and the port number is right.")
                   .arg(portName(port, path));
        break;
    case QSerialPort::PermissionError:
        *error = LinkError::PortBusy;
        *why = QStringLiteral("%1 is in use by another program: close it and try again.")
                   .arg(portName(port, path));
        break;
    default:
        *error = LinkError::OpenFailed;
        *why = QStringLiteral("%1 could not be opened: %2.")
                   .arg(portName(port, path), serial->errorString());
        break;
    }
    return nullptr;
}

} // namespace

QString devicePathForPort(int port)
{
    const QByteArray variable = "RAVELO_COM" + QByteArray::number(port);
    const QString configured = qEnvironmentVariable(variable.constData());
    if (!configured.isEmpty())
        return configured;
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(port);
#else
    const QString usb = QStringLiteral("/dev/ttyUSB%1").arg(port - 1);
    if (QFileInfo::exists(usb))
        return usb;
    return QStringLiteral("/dev/ttyS%1").arg(port - 1);
#endif
}

QByteArray wireBytes(const QString &command)
{
    QStringView text(command);
    if (text.endsWith(u"\\10"))
        text.chop(3);
    else if (text.endsWith(u"\r\n"))
        text.chop(2);
    else if (text.endsWith(u'\r') || text.endsWith(u'\n'))
        text.chop(1);
    return text.toLatin1() + '\n';
}

bool isReadingQuery(const QString &command)
{
    QByteArray text = wireBytes(command).chopped(1).trimmed().toLower();
    static const QByteArray kReadingQueries[] = {"read?",     "read? buf", "calc:max?",
                                                 "calc:min?", "val1?",     "val2?"};
    return std::find(std::begin(kReadingQueries), std::end(kReadingQueries), text)
           != std::end(kReadingQueries);
}

Class1::Class1(QObject *parent) : Class1(openSerialPort, parent) {}

Class1::Class1(DeviceFactory factory, QObject *parent)
    : QObject(parent), m_factory(std::move(factory))
{
}

Class1::~Class1() { closeDevice(); }

void Class1::Port(int port) { m_port = port; }

void Class1::BaudRate(qint32 baud) { m_baud = baud; }

bool Class1::BaudRate(const QString &text)
{
    const std::optional<qint32> baud = rt::toWhole(text);
    m_baud = baud.value_or(0);
    return baud.has_value() && *baud > 0;
}

bool Class1::isOpen() const { return m_io && m_io->isOpen(); }

bool Class1::fail(LinkError error, const QString &why)
{
    m_error = error;
    m_errorText = why;
    return false;
}

void Class1::closeDevice()
{
    if (m_io) {
        m_io->disconnect(this);
        m_io->close();
        m_io.reset();
    }
    m_rx.clear();
    m_readingRepliesOwed = 0;
    m_queriesOwed = 0;
    m_lateOwed = 0;
    m_lateCap = QDeadlineTimer(QDeadlineTimer::Forever);
    m_lateReading = false;
}

bool Class1::Open()
{
    closeDevice();
    if (m_port < 1)
        return fail(LinkError::NoPortChosen,
                    QStringLiteral("No serial port is chosen: choose one in the settings."));
    if (m_baud <= 0)
        return fail(LinkError::NoBaudChosen,
                    QStringLiteral("No baud rate is chosen: choose one in the settings."));

    LinkError error = LinkError::OpenFailed;
    QString why;
    m_io = m_factory(m_port, m_baud, &error, &why);
    if (!m_io || !m_io->isOpen()) {
        m_io.reset();
        fail(error, why.isEmpty() ? QStringLiteral("COM %1 could not be opened.").arg(m_port) : why);
        Q_EMIT problem(m_errorText);
        return false;
    }
    if (auto *serial = qobject_cast<QSerialPort *>(m_io.get())) {
        // An unplugged adapter shows as a resource error; a line whose far
        // end hung up reads end-of-file, which the port reports as a read
        // error. Either can come while nobody talks to the instrument, and
        // the port keeps signalling until it is closed. It must not be
        // closed from inside its own signal: close it as soon as control
        // is back in the event loop.
        connect(serial, &QSerialPort::errorOccurred, this,
                [this, serial](QSerialPort::SerialPortError e) {
                    const bool gone = e == QSerialPort::ResourceError || e == QSerialPort::ReadError;
                    if (!gone || !m_lostWhy.isEmpty())
                        return;
                    m_lostWhy = e == QSerialPort::ReadError ? QStringLiteral("the line hung up")
                                                            : QStringLiteral("the device was removed");
                    QMetaObject::invokeMethod(
                        this, [this, serial] {
                            if (m_io.get() == serial)
                                checkLineLost();
                        },
                        Qt::QueuedConnection);
                });
    }
    m_lostWhy.clear();
    m_error = LinkError::None;
    m_errorText.clear();
    return true;
}

bool Class1::checkLineLost()
{
    if (m_io && m_io->isOpen() && m_lostWhy.isEmpty())
        return false;
    if (!m_io)
        return false;
    const QString detail = !m_lostWhy.isEmpty() ? m_lostWhy : m_io->errorString();
    closeDevice();
    m_lostWhy.clear();
    fail(LinkError::LineLost,
         QStringLiteral("The line to COM %1 was lost (%2): check the cable, then test the "
                        "connection in the settings.")
             .arg(m_port)
             .arg(detail.isEmpty() ? QStringLiteral("device closed") : detail));
    Q_EMIT problem(m_errorText);
    Q_EMIT lineLost(detail);
    return true;
}

Class1::AllEventsInWaits::AllEventsInWaits(Class1 &link) : m_link(link) { ++m_link.m_allEvents; }

Class1::AllEventsInWaits::~AllEventsInWaits() { --m_link.m_allEvents; }

void Class1::runEvents()
{
    QCoreApplication::processEvents(m_allEvents > 0 ? QEventLoop::AllEvents
                                                    : QEventLoop::ExcludeUserInputEvents);
}

void Class1::waitSlice(const QDeadlineTimer &deadline)
{
    const rt::HeldTicks hold;
    ++m_waitDepth;
    const qint64 left = deadline.remainingTime();
    const int slice = int(left < 0 ? kWaitSlice.count() : std::clamp<qint64>(left, 0, kWaitSlice.count()));
    if (m_io && m_io->bytesAvailable() <= 0)
        m_io->waitForReadyRead(slice);
    runEvents();
    --m_waitDepth;
}

void Class1::runSliceEvents()
{
    const rt::HeldTicks hold;
    ++m_waitDepth;
    runEvents();
    --m_waitDepth;
}

void Class1::interruptWait()
{
    if (isWaiting())
        m_interrupted = true;
}

bool Class1::takeInterrupt()
{
    if (!std::exchange(m_interrupted, false))
        return false;
    m_queriesOwed = 0;
    m_readingRepliesOwed = 0;
    fail(LinkError::Interrupted, QStringLiteral("The wait for the instrument was ended."));
    return true;
}

void Class1::expectLateLines(int lines)
{
    if (lines <= 0 || !isOpen())
        return;
    // Replies owed to timed-out queries keep their own, longer wait.
    if (m_lateOwed == 0)
        m_lateCap = QDeadlineTimer(m_replyBound);
    m_lateOwed += lines;
}

bool Class1::refusedInsideAWait()
{
    if (!isWaiting())
        return false;
    fail(LinkError::Busy, QStringLiteral("The instrument is answering another query."));
    return true;
}

bool Class1::settle()
{
    if (refusedInsideAWait())
        return false;
    settleLateReplies();
    m_interrupted = false;
    Flush();
    return true;
}

void Class1::settleLateReplies()
{
    if (m_lateOwed <= 0)
        return;
    // Each owed reply gets the bound its query had.
    const std::chrono::milliseconds bound =
        m_lateReading ? std::min(m_replyBound + m_readingTime, kLongestReadingBound) : m_replyBound;
    const auto capped = [this](QDeadlineTimer deadline) {
        return m_lateCap.deadlineNSecs() < deadline.deadlineNSecs() ? m_lateCap : deadline;
    };
    QDeadlineTimer deadline = capped(QDeadlineTimer(bound));
    while (m_lateOwed > 0 && isOpen() && !m_cancelled && !m_interrupted) {
        readAvailable();
        if (takeReply()) {
            --m_lateOwed;
            ++m_lateDropped;
            deadline = capped(QDeadlineTimer(bound));
            continue;
        }
        if (deadline.hasExpired())
            break;
        waitSlice(deadline);
    }
    // Cut short by the user: what is still owed waits for the next exchange.
    if (m_interrupted && isOpen())
        return;
    m_lateOwed = 0;
    m_lateCap = QDeadlineTimer(QDeadlineTimer::Forever);
    m_lateReading = false;
    m_rx.clear();
}

bool Class1::discardUntilQuiet()
{
    if (refusedInsideAWait())
        return false;
    m_rx.clear();
    m_readingRepliesOwed = 0;
    m_queriesOwed = 0;
    m_lateOwed = 0;
    m_lateCap = QDeadlineTimer(QDeadlineTimer::Forever);
    const QDeadlineTimer cap(kLongestDrain);
    QDeadlineTimer quiet(m_quiet);
    while (isOpen() && !cap.hasExpired() && !quiet.hasExpired() && !m_cancelled && !m_interrupted) {
        if (m_io->bytesAvailable() > 0) {
            m_io->readAll();
            quiet = QDeadlineTimer(m_quiet);
            continue;
        }
        waitSlice(quiet);
    }
    m_interrupted = false;
    if (isOpen())
        m_io->readAll();
    return true;
}

bool Class1::Write(const QString &command) { return send(command, true); }

bool Class1::WriteNow(const QString &command) { return send(command, false); }

bool Class1::send(const QString &command, bool settleFirst)
{
    if (m_tap)
        m_tap(command);
    if (refusedInsideAWait())
        return false;
    if (checkLineLost())
        return false;
    if (!isOpen())
        return fail(LinkError::NotOpen, QStringLiteral("The serial port is not open."));
    if (settleFirst) {
        settleLateReplies();
        if (takeInterrupt())
            return false;
    } else {
        m_interrupted = false;  // the stop goes out whatever ended the wait
    }
    if (!isOpen())
        return fail(m_error == LinkError::LineLost ? m_error : LinkError::NotOpen,
                    m_error == LinkError::LineLost ? m_errorText : QStringLiteral("The serial port is not open."));
    const QByteArray bytes = wireBytes(command);
    const bool query = bytes.contains('?');
    // With no question outstanding, whatever waits unread is a late answer
    // to one that was given up on: it must not answer this one.
    if (query && m_queriesOwed == 0)
        discardStale();

    if (query)
        ++m_queriesOwed;
    if (isReadingQuery(command))
        ++m_readingRepliesOwed;
    if (m_io->write(bytes) != bytes.size()) {
        if (checkLineLost())
            return false;
        return fail(LinkError::WriteFailed,
                    QStringLiteral("Sending to COM %1 failed: %2.").arg(m_port).arg(m_io->errorString()));
    }
    const QDeadlineTimer deadline(m_replyBound);
    while (isOpen() && m_io->bytesToWrite() > 0) {
        if (deadline.hasExpired() || m_cancelled)
            return fail(LinkError::WriteFailed,
                        QStringLiteral("Sending to COM %1 did not finish in time.").arg(m_port));
        const rt::HeldTicks hold;
        ++m_waitDepth;
        m_io->waitForBytesWritten(int(kWaitSlice.count()));
        runEvents();
        --m_waitDepth;
    }
    if (!isOpen() || checkLineLost())
        return m_error == LinkError::LineLost
                   ? false
                   : fail(LinkError::NotOpen, QStringLiteral("The serial port is not open."));
    return true;
}

std::chrono::milliseconds Class1::readingBound() const
{
    return std::min(m_replyBound + m_readingTime, kLongestReadingBound);
}

std::chrono::milliseconds Class1::boundForNextRead() const
{
    // While a measurement is owed (a "read?" answered only after "*TRG",
    // say) every reply may take as long as a reading.
    if (m_readingRepliesOwed == 0)
        return m_replyBound;
    return std::min(m_replyBound + m_readingTime, kLongestReadingBound);
}

void Class1::readAvailable()
{
    if (!isOpen())
        return;
    m_rx += m_io->readAll();
    // No reply starts with a terminator: what leads the buffer is the rest
    // of the last one (the LF of CR LF) or a blank line, never input.
    qsizetype start = 0;
    while (start < m_rx.size() && isTerminator(m_rx.at(start)))
        ++start;
    m_rx.remove(0, start);
}

std::optional<QString> Class1::takeReply()
{
    // Blank lines and the second half of a two-character terminator that
    // came after the last reply was taken are not replies.
    qsizetype start = 0;
    while (start < m_rx.size() && isTerminator(m_rx.at(start)))
        ++start;
    qsizetype end = start;
    while (end < m_rx.size() && !isTerminator(m_rx.at(end)))
        ++end;
    if (end == m_rx.size()) {
        m_rx.remove(0, start);
        return std::nullopt;
    }
    QString reply = QString::fromLatin1(m_rx.constData() + start, end - start);
    // Take the second character of a CR LF or LF CR pair with its reply.
    qsizetype next = end + 1;
    if (next < m_rx.size() && isTerminator(m_rx.at(next)) && m_rx.at(next) != m_rx.at(end))
        ++next;
    m_rx.remove(0, next);
    reply += u'\r';
    return reply;
}

std::optional<QString> Class1::Read() { return read(true); }

std::optional<QString> Class1::ReadUnasked() { return read(false); }

std::optional<QString> Class1::read(bool owedOnTimeout)
{
    if (refusedInsideAWait())
        return std::nullopt;
    if (checkLineLost())
        return std::nullopt;
    if (!isOpen()) {
        fail(LinkError::NotOpen, QStringLiteral("The serial port is not open."));
        return std::nullopt;
    }
    const std::chrono::milliseconds bound = boundForNextRead();
    const QDeadlineTimer deadline(bound);
    for (;;) {
        readAvailable();
        if (std::optional<QString> reply = takeReply()) {
            if (m_readingRepliesOwed > 0)
                --m_readingRepliesOwed;
            if (m_queriesOwed > 0)
                --m_queriesOwed;
            // The reply came with the interrupt: the interrupter sees it.
            m_interrupted = false;
            m_error = LinkError::None;
            m_errorText.clear();
            return reply;
        }
        if (checkLineLost())
            return std::nullopt;
        if (!isOpen()) {
            // Closed while the events ran: the loss has been reported.
            if (m_error != LinkError::LineLost)
                fail(LinkError::NotOpen, QStringLiteral("The serial port is not open."));
            return std::nullopt;
        }
        if (m_cancelled) {
            fail(LinkError::Cancelled, QStringLiteral("The program is ending."));
            return std::nullopt;
        }
        if (takeInterrupt())
            return std::nullopt;
        if (deadline.hasExpired()) {
            // The reply may still come: it is owed, and dropped when it
            // does, before the next exchange.
            if (owedOnTimeout || m_queriesOwed > 0) {
                m_lateOwed += std::max(m_queriesOwed, 1);
                m_lateCap = QDeadlineTimer(QDeadlineTimer::Forever);
            }
            m_lateReading = m_lateReading || m_readingRepliesOwed > 0;
            m_queriesOwed = 0;
            m_readingRepliesOwed = 0;
            fail(LinkError::TimedOut, QStringLiteral("No reply from the instrument within %1 s.")
                                          .arg(rt::numberText(double(bound.count()) / 1000.0)));
            return std::nullopt;
        }
        waitSlice(deadline);
    }
}

void Class1::discardStale()
{
    m_io->waitForReadyRead(0);  // take in what the system holds, without waiting
    readAvailable();
    m_rx.clear();
}

void Class1::Flush()
{
    if (refusedInsideAWait())
        return;
    clearBuffers(QSerialPort::Input);
}

int Class1::InputCount()
{
    if (!isOpen())
        return 0;
    // Take in what the system holds for us, without waiting.
    m_io->waitForReadyRead(0);
    readAvailable();
    return int(std::min<qint64>(m_rx.size(), INT_MAX));
}

void Class1::Reset()
{
    if (refusedInsideAWait())
        return;
    clearBuffers(QSerialPort::AllDirections);
}

// Flush and Reset: nothing unread is kept and no reply is owed any more.
void Class1::clearBuffers(QSerialPort::Directions directions)
{
    if (!isOpen())
        return;
    discardStale();
    m_readingRepliesOwed = 0;
    m_queriesOwed = 0;
    m_lateOwed = 0;
    m_lateCap = QDeadlineTimer(QDeadlineTimer::Forever);
    if (auto *serial = qobject_cast<QSerialPort *>(m_io.get()))
        serial->clear(directions);
}

} // namespace shell
