#pragma once
// The real command channel on the in-process simulator: what a test sends
// through DMM_LINK reaches a simulated instrument as bytes, with its framing,
// time-outs and faults.

#include "core/dmm_link.h"
#include "sim/sim_device.h"

#include <QStringList>

struct SimLink
{
    explicit SimLink(sim::Faults faults = {}, sim::Eol eol = sim::Eol::Cr);

    // Sets port 1 at 9600 baud and opens it.
    bool open();

    // Commands the simulator received, as they arrived on the wire.
    QStringList wire() const;

    sim::Instrument instrument;
    sim::Faults faults;
    sim::Eol eol;
    int baud = 0;  // the replies' pace (sim::SimDevice::setBaud); 0: none
    shell::Class1 link;
    QStringList written;              // every text passed to Write, exactly
    sim::SimDevice *device = nullptr;  // the device of the last Open
    int opens = 0;
};
