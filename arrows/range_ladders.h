#pragma once
// The ladders of display 1 (voltage, current, resistance) and display 2,
// as tables per key and mode, and the one engine that applies a row. The
// voltage and resistance ladders find the present range from the points and
// prefix lamps the last drawing left; the current ladders from the range
// label. Each returns false when a command failed and ended the press.

#include "arrows/value_edits.h"

struct Panel;

namespace arrows {

enum class Target { Display2, Paired, Single };

bool stepVoltage1(Panel &p, Arrow key, Target target);
bool stepCurrent1(Panel &p, Arrow key, Target target);
bool stepResistance1(Panel &p, Arrow key, Target target);

bool stepVoltage2(Panel &p, Arrow key);
bool stepCurrent2(Panel &p, Arrow key);
bool stepResistance2(Panel &p, Arrow key);

// The reading timers stopped for an exchange with the instrument, and
// started again when the scope ends, whichever way it ends.
class ReadingPause
{
public:
    explicit ReadingPause(Panel &p);
    ~ReadingPause();
    ReadingPause(const ReadingPause &) = delete;
    ReadingPause &operator=(const ReadingPause &) = delete;

private:
    Panel &m_p;
};

} // namespace arrows
