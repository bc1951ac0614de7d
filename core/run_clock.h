#pragma once
// The clocks of a run: a monotonic one that paces the passes and measures
// the elapsed time (a run across midnight or a change of the system time
// keeps its pace), and the wall clock for file stamps and record dates.
//
// The acquisition loops wait on the monotonic clock without spinning: they
// sleep towards the next deadline in short slices and let the events run
// between slices, so keys, the stop request and the other windows stay
// live. Tests put a clock of their own in place of the system's and move
// time on as they like.

#include <QDateTime>

#include <chrono>
#include <functional>
#include <map>

namespace runs {

using Nanos = std::chrono::nanoseconds;

class RunClock
{
public:
    virtual ~RunClock() = default;

    // Monotonic time since an arbitrary origin.
    virtual Nanos monotonic() = 0;
    // The date and time for stamps, headers and records.
    virtual QDateTime wallNow() = 0;
    // Sleeps for about `span`, without letting events run.
    virtual void sleepFor(Nanos span) = 0;
};

// steady_clock, the system's date and time, and a real sleep.
class SystemRunClock final : public RunClock
{
public:
    Nanos monotonic() override;
    QDateTime wallNow() override;
    void sleepFor(Nanos span) override;
};

RunClock &systemRunClock();

// A clock that moves only when told: sleepFor() moves it by the span at
// once, advance() by any span. The wall clock is a start date plus the
// monotonic time, so a run can be made to cross midnight. Actions put at a
// moment run once when the clock reaches it (a stop request at 2.5 s).
class ManualRunClock final : public RunClock
{
public:
    explicit ManualRunClock(QDateTime wallStart = QDateTime(QDate(2013, 5, 6), QTime(14, 22, 33)))
        : m_wallStart(std::move(wallStart))
    {
    }

    Nanos monotonic() override { return m_now; }
    QDateTime wallNow() override;
    void sleepFor(Nanos span) override { advance(span); }

    void advance(Nanos span);
    void at(Nanos when, std::function<void()> action) { m_actions.emplace(when, std::move(action)); }

private:
    QDateTime m_wallStart;
    Nanos m_now{0};
    std::multimap<Nanos, std::function<void()>> m_actions;
};

// The longest sleep between two turns of the events while a loop waits.
inline constexpr Nanos kWaitSlice = std::chrono::milliseconds(10);

// Lets the pending events run once.
void letEventsRun();

// Lets events run and sleeps in slices until the monotonic clock reaches
// `deadline` or `stop` says so; true when the deadline was reached.
bool waitUntil(RunClock &clock, Nanos deadline, const std::function<bool()> &stop);

// Seconds between two readings of the monotonic clock.
inline double seconds(Nanos span)
{
    return std::chrono::duration<double>(span).count();
}

} // namespace runs
