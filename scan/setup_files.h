#pragma once
// Saving and loading scanner set-ups (formats/scan_setup.h) from the
// scanner window: the set-up name box's OK, and the main window's
// "Load ScanBox Status(&L)".

#include "formats/scan_setup.h"

#include <QString>

namespace scan {

class ScanControls;
struct ScanContext;

// The table and the four settings as a set-up file holds them.
formats::ScanSetup currentSetup(const ScanControls &c);

// A set-up whose positions every list has (-1 for none; a range only with
// a function): "" when so, else the line at fault and why.
QString setupProblem(const formats::ScanSetup &setup);

// Puts a checked set-up into the table, line by line: on box, auto box,
// function, range, each running its rule, so four-wire channels lock their
// partners as they come and a later partner line overrides what the lock
// wrote. Then the four settings.
void applySetup(ScanControls &c, const formats::ScanSetup &setup);

// OK of the set-up name box: closes the box, then saves the table under the
// typed name in "SCAN DATA". An existing set-up of that name is replaced
// only after OK to the question, and only by a whole new file. A name that
// cannot be part of a file name, and a failed write, get a message; success
// gets "Save Ok".
void SSBS_OK_BUTT_Click(ScanContext &s);

// Asks for a set-up file in "SCAN DATA" and loads it. A file that is not a
// set-up is refused whole, with a message naming the line, or the file's
// size when it is larger than a set-up can be (then it is not read): the
// table stays as it was.
void File_Open_Ctrl(ScanContext &s);

} // namespace scan
