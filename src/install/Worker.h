#pragma once

#include <QObject>
#include <QThread>

#include <functional>

namespace Orvoinstaller {

// One thread for the installer's file work, so the window never waits on a disk. Work runs
// in the order it is posted, never two pieces at once.
class Worker {
public:
    Worker();
    ~Worker(); // waits for the work in hand
    Worker(const Worker&) = delete;
    Worker& operator=(const Worker&) = delete;

    void post(std::function<void()> work);

private:
    QThread m_thread;
    QObject* m_context; // lives on m_thread
};

} // namespace Orvoinstaller
