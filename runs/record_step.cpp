#include "runs/record_step.h"

#include "core/panel.h"
#include "platform/runtime.h"
#include "runs/readings_table.h"

namespace runs {

std::optional<RunEnd> recordStep(RunContext &r, const QString &elapsed, StepRows rows)
{
    const RunSettings &settings = r.settings;
    r.recorder.nextRecord();
    QString why;
    if (r.recorder.isDue(settings.every)) {
        if (rows != StepRows::None)
            r.table.addReading(readingRow(r.panel.state, r.recorder.now()), settings.every,
                               rows == StepRows::Graph ? RowRule::Graph : RowRule::Loop);
        if (!r.recorder.writeRecord(elapsed, settings.saving, &why))
            return recordingFailed(r, why);
    }
    if (!r.recorder.rollOverIfDue(settings.saving, &why))
        return recordingFailed(r, why);
    return std::nullopt;
}

bool SHOW_Graph(RunContext &r)
{
    const shell::PanelState &s = r.panel.state;
    // A trigger press outside a run records with what the panel shows now.
    if (s.runPhase == shell::RunPhase::Idle)
        r.settings = runSettings(r.panel);
    const QString elapsed = formats::elapsedText(s.ELAPSED_SECS);
    // Readings a fraction of a second apart do not share one time.
    const double at = s.runPhase == shell::RunPhase::Idle ? double(s.ELAPSED_SECS)
                                                          : seconds(r.clock.monotonic() - r.startedAt);
    emit r.events.pointTaken(at, rt::leadingNumber(s.DISPLAY1), elapsed);
    return !recordStep(r, elapsed, StepRows::Graph);
}

void Graph_Command1_Click(RunContext &r)
{
    r.panel.state.RECORD_COUNT = 0;
}

} // namespace runs
