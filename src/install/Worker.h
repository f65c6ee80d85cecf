#pragma once

#include <QObject>
#include <QPointer>
#include <QThread>

#include <coroutine>
#include <functional>
#include <optional>

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

// Runs `work` on the worker, then resumes the awaiting coroutine on the thread of `context`
// (the main thread) with its result.
template <typename T> class OnWorker {
public:
    OnWorker(Worker& worker, QObject* context, std::function<T()> work)
        : m_worker(worker), m_context(context), m_work(std::move(work)) {}
    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> handle) {
        m_worker.post([this, handle, context = QPointer<QObject>(m_context)] {
            m_result.emplace(m_work());
            if (context)
                QMetaObject::invokeMethod(
                    context.data(), [handle] { handle.resume(); }, Qt::QueuedConnection);
        });
    }
    T await_resume() { return std::move(*m_result); }

private:
    Worker& m_worker;
    QObject* m_context;
    std::function<T()> m_work;
    std::optional<T> m_result;
};

} // namespace Orvoinstaller
