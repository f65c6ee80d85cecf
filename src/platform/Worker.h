#pragma once

#include <QObject>
#include <QThread>

#include <functional>

namespace Orvoinstaller {

// The program's one thread for file work, so the window never waits on a disk. Work runs in
// the order it is posted, never two pieces at once: a piece that must wait for something
// posts itself again (postAfter) instead of holding the thread.
class Worker {
public:
    Worker();
    ~Worker(); // waits for the work in hand; work not yet begun is dropped
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    // From any thread.
    void post(std::function<void()> work);
    // Posts `work` once `milliseconds` have passed.
    void postAfter(int milliseconds, std::function<void()> work);
    // Moves `object` onto the worker's thread: its slots and timers run there. It must be
    // deleted there too (deleteLater).
    void adopt(QObject* object);
    // An object living on the worker's thread, for callbacks that are to arrive there.
    QObject* context() const { return m_context; }

private:
    QThread m_thread;
    QObject* m_context; // lives on m_thread
};

} // namespace Orvoinstaller
