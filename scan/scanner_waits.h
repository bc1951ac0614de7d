#pragma once
// The scanner window's waits on the instrument. From its opening to the end
// of the read-back, and from Scan or Step to the run's end, nothing of the
// user's runs inside them but what the window hears (its Stop and Quit, the
// program's Quit); every other press or key stroke is refused there with
// one status line, and changes nothing.

#include "core/dmm_link.h"

#include <QString>

#include <functional>

class QObject;
struct Panel;

namespace scan {

class ScanControls;
struct ScanContext;

// A press refused inside a wait of the read-back.
inline constexpr char16_t kReadBackRefusal[] =
    u"Not now: the scanner window is reading the scanner's state back; Quit ends it.";

// For the length of one of the window's procedures.
class ScannerWaits
{
public:
    ScannerWaits(Panel &p, const ScanControls &c, const std::function<bool(const QObject *)> &heard);
    explicit ScannerWaits(ScanContext &s);

private:
    shell::Class1::InputDuringWaits m_input;
};

} // namespace scan
