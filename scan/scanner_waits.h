#pragma once
// The scanner window's waits on the instrument. From its opening to the end
// of the read-back, and from Scan or Step to the run's end, its waits run
// every event, so its Stop and Quit (and the program's Quit) are heard
// inside them. What else of the user's input may act there is the window's
// to say, since it knows its controls: a press on anything it does not hear
// is refused with one status line and changes nothing.

#include "core/dmm_link.h"

#include <QString>

#include <functional>
#include <memory>

struct Panel;

namespace scan {

class ScanControls;
struct ScanContext;

// A press refused inside a wait of the read-back.
inline constexpr char16_t kReadBackRefusal[] =
    u"Not now: the scanner window is reading the scanner's state back; Quit ends it.";

// The window's rule for the user's input inside its waits, opened for the
// length of one procedure: it calls `refused` once for each press it
// refuses, and holds while the handle it returns lives.
using OpenWaitInput = std::function<std::shared_ptr<void>(std::function<void()> refused)>;

// For the length of one of the window's procedures.
class ScannerWaits
{
public:
    ScannerWaits(Panel &p, const ScanControls &c, const OpenWaitInput &openInput);
    explicit ScannerWaits(ScanContext &s);

private:
    shell::Class1::AllEventsInWaits m_events;
    std::shared_ptr<void> m_input;
};

} // namespace scan
