#include "scan/scanner_waits.h"

#include "scan/scan_controls.h"
#include "scan/scan_form.h"
#include "core/link_gate.h"
#include "core/panel.h"

namespace scan {
namespace {

shell::Class1::WaitInput waitInput(Panel &p, const ScanControls &c,
                                   const std::function<bool(const QObject *)> &heard)
{
    return {heard, [&p, &c] {
                p.status.append(QString::fromUtf16(c.run.readingBack() ? kReadBackRefusal
                                                                        : shell::kScanRefusal));
            }};
}

} // namespace

ScannerWaits::ScannerWaits(Panel &p, const ScanControls &c, const std::function<bool(const QObject *)> &heard)
    : m_input(p.link, waitInput(p, c, heard))
{
}

ScannerWaits::ScannerWaits(ScanContext &s) : ScannerWaits(s.panel, s.controls, s.heardDuringWaits) {}

} // namespace scan
