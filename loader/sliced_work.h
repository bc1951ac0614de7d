#pragma once
// Long work on the window's thread (reading a large file, plotting millions
// of points) done a slice at a time. Between slices the window paints
// about sixty times a second; clicks wait for the end of the work, except
// on the progress the window shows from the first half second on, whose
// Cancel stops the work before its next slice. The panel's timers wait
// too: a run's tick started inside the work would hold the work, and its
// modal progress, until the run ended.

#include "platform/panel_timer.h"

#include <QElapsedTimer>

#include <functional>

namespace loader {

class Loader;

class SlicedWork
{
public:
    // `progress` is the loader's signal for this work's progress and
    // `cancelled` the flag its Cancel sets; the flag is cleared at the
    // start and at the end.
    SlicedWork(Loader &ld, void (Loader::*progress)(int), bool &cancelled);
    ~SlicedWork();
    SlicedWork(const SlicedWork &) = delete;
    SlicedWork &operator=(const SlicedWork &) = delete;

    // After each slice, with the share of the work done (0 to 1): reports
    // it once the work has run `progressAfter`, and lets the window paint
    // when it is due. True once Cancel was pressed.
    bool sliceDone(double done);
    // Runs `work` on a thread of its own and returns when it is done,
    // reporting `done` as above as it starts, meanwhile and as it ends. `work` must
    // touch nothing the window's events touch. Where no thread can be had it
    // runs here. What it throws is thrown here. True once Cancel was
    // pressed, before it (then `work` is not run) or during it.
    bool runBeside(const std::function<void()> &work, double done);

private:
    Loader &m_ld;
    void (Loader::*m_progress)(int);
    bool &m_cancelled;
    rt::HeldTicks m_hold;
    QElapsedTimer m_clock;
    qint64 m_painted = 0;
};

// The same for work that reports no progress of its own.
void runBeside(const std::function<void()> &work);

} // namespace loader
