#include "loader/sliced_work.h"

#include "loader/loader_state.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <exception>
#include <semaphore>
#include <system_error>
#include <thread>

namespace loader {

namespace {
// The window paints about sixty times a second; more costs the work.
constexpr qint64 kPaintEvery = 16;  // ms

// Runs `work` on a thread of its own, calling `turn` about every paint
// meanwhile.
void besideWindow(const std::function<void()> &work, const std::function<void()> &turn)
{
    std::binary_semaphore done(0);
    std::exception_ptr failure;
    std::jthread worker;
    try {
        worker = std::jthread([&] {
            try {
                work();
            } catch (...) {
                failure = std::current_exception();
            }
            done.release();
        });
    } catch (const std::system_error &) {
        return work();  // no thread to be had
    }
    while (!done.try_acquire_for(std::chrono::milliseconds(kPaintEvery)))
        turn();
    worker.join();
    if (failure)
        std::rethrow_exception(failure);
}
} // namespace

SlicedWork::SlicedWork(Loader &ld, void (Loader::*progress)(int), bool &cancelled)
    : m_ld(ld), m_progress(progress), m_cancelled(cancelled)
{
    m_cancelled = false;
    m_clock.start();
}

SlicedWork::~SlicedWork()
{
    m_cancelled = false;
}

bool SlicedWork::sliceDone(double done)
{
    if (m_clock.elapsed() >= m_ld.progressAfter.count())
        Q_EMIT(m_ld.*m_progress)(int(std::clamp(done, 0.0, 1.0) * 100));
    if (m_clock.elapsed() - m_painted >= kPaintEvery) {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        m_painted = m_clock.elapsed();
    }
    return m_cancelled;
}

bool SlicedWork::runBeside(const std::function<void()> &work, double done)
{
    if (sliceDone(done))
        return true;
    besideWindow(work, [&] { sliceDone(done); });
    // A Cancel pressed while it ran is heard here, however short it was.
    return sliceDone(done);
}

void runBeside(const std::function<void()> &work)
{
    const rt::HeldTicks hold;
    besideWindow(work, [] { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); });
}

} // namespace loader
