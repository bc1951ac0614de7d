#include "scan/scanner_waits.h"

#include "scan/scan_controls.h"
#include "scan/scan_form.h"
#include "core/link_gate.h"
#include "core/panel.h"

namespace scan {

ScannerWaits::ScannerWaits(Panel &p, const ScanControls &c, const OpenWaitInput &openInput)
    : m_events(p.link)
{
    if (!openInput)
        return;
    m_input = openInput([&p, &c] {
        p.status.append(QString::fromUtf16(c.run.readingBack() ? kReadBackRefusal : shell::kScanRefusal));
    });
}

ScannerWaits::ScannerWaits(ScanContext &s) : ScannerWaits(s.panel, s.controls, s.inputDuringWaits) {}

} // namespace scan
