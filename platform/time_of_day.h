#pragma once
// The clock of the runtime the panel was first written for: seconds since
// local midnight, with their fraction. The demonstration reading reseeds its
// random draws from it and the runs stamp their start with it; tests fix it.

namespace rt {

// Seconds since local midnight, 0 <= t < 86400, to the millisecond.
double secondsSinceMidnight();

// While one lives, secondsSinceMidnight() returns its value (tests).
// Nested ones stack: the newest wins, the one before comes back with its end.
class FixedTimeOfDay
{
public:
    explicit FixedTimeOfDay(double seconds);
    ~FixedTimeOfDay();
    FixedTimeOfDay(const FixedTimeOfDay &) = delete;
    FixedTimeOfDay &operator=(const FixedTimeOfDay &) = delete;

    void set(double seconds) { m_seconds = seconds; }
    double seconds() const { return m_seconds; }

private:
    double m_seconds;
    FixedTimeOfDay *m_before;
};

} // namespace rt
