#pragma once
// What the user's input may do while the channel waits on the instrument
// for a window that holds the line (the scanner window's read-back and
// runs). Such waits run every event, so the window's Stop and Quit act
// inside them; everything else of the user's is judged here:
//
//  - input to what the window hears acts at once;
//  - a press on anything else (a mouse button, a key stroke, a touch) is
//    refused: `refused` is called once, and nothing on screen changes - no
//    control goes down, no window comes forward, the focus stays; the rest
//    of that gesture (its moves, its release) does nothing either;
//  - every other input (the release of a press made before the wait, key
//    releases, moves, the wheel) is held and delivered in order once the
//    wait is over, as the window system holds input in the other waits; so
//    a gesture begun before a wait ends after it, and no control stays
//    drawn pressed.
//
// Outside a wait input goes as usual; held input goes first. A press that
// its control refuses anyway for the moment (keepBackPresses) reaches it
// without bringing its window forward or taking the focus there.

#include "core/dmm_link.h"

#include <functional>

class QObject;
class QPoint;

namespace windows {

class WaitInputFilter;

struct WaitInput
{
    // The objects whose input acts inside a wait; a press is asked for the
    // control under the pointer.
    std::function<bool(const QObject *target)> heard;
    // Called once for each press or key stroke refused.
    std::function<void()> refused;
};

// For the length of one procedure that holds the line. They nest; the
// innermost one judges.
class InputDuringWaits
{
public:
    InputDuringWaits(shell::Class1 &link, WaitInput input);
    ~InputDuringWaits();
    InputDuringWaits(const InputDuringWaits &) = delete;
    InputDuringWaits &operator=(const InputDuringWaits &) = delete;

private:
    shell::Class1::AllEventsInWaits m_events;
    WaitInputFilter &m_filter;
};

// The controls that refuse a press for the moment (the front panel's keys
// while the scanner window holds the line), asked with the point of the
// press in the control: such a press, and its release, reach the control as
// usual, but its window does not come forward and the focus stays.
void keepBackPresses(shell::Class1 &link, std::function<bool(const QObject *control, QPoint at)> refuses);

} // namespace windows
