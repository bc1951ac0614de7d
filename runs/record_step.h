#pragma once
// One record step: the reading the panel's state holds now is counted
// (RECORD_COUNT + 1); when the step is due (every REC_EVERY steps) it gets
// its row in the readings table and its record in the file; a full file
// rolls over. The normal loop, the fast loop, the demonstration tick and the
// triggered reading all record through here.

#include "runs/run_control.h"

#include <QString>

#include <optional>

namespace runs {

// Which rows a step adds to the readings table.
enum class StepRows {
    None,   // the fast loop writes straight to the file
    Loop,   // one row per recorded step
    Graph,  // the trend graph's step: one empty row kept below the newest
};

// Records one step with the given elapsed text (hh:mm:ss); a file that
// cannot be written ends the run.
std::optional<RunEnd> recordStep(RunContext &r, const QString &elapsed, StepRows rows);

// The trend graph's step for a demonstration tick or a trigger press: the
// elapsed time shown, the reading plotted (RunEvents::pointTaken) and
// recorded. False when its record could not be written (the recorder has
// said why in the status log).
bool SHOW_Graph(RunContext &r);

// The trend graph's "Return DATA Table": the numbering restarts.
void Graph_Command1_Click(RunContext &r);

} // namespace runs
