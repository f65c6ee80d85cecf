#pragma once

#include "platform/MainQueue.h"
#include "platform/Process.h"

#include <QTimer>

#include <coroutine>
#include <exception>
#include <functional>
#include <memory>
#include <optional>

namespace Orvoinstaller {

// A fire-and-forget coroutine bound to the main thread: it starts at once and frees itself
// when it ends. Whoever starts it keeps alive what it uses (see InstallerViewModel).
struct Task {
    struct promise_type {
        Task get_return_object() noexcept { return {}; }
        std::suspend_never initial_suspend() noexcept { return {}; }
        std::suspend_never final_suspend() noexcept { return {}; }
        void return_void() noexcept {}
        void unhandled_exception() noexcept { std::terminate(); }
    };
};

// Gives the main thread up until a later turn of its event loop.
class NextTurn {
public:
    NextTurn(MainQueue& queue, QObject* context) : m_queue(queue), m_context(context) {}
    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> handle) {
        m_queue.post(m_context, [handle] { handle.resume(); });
    }
    void await_resume() const noexcept {}

private:
    MainQueue& m_queue;
    QObject* m_context;
};

// Gives the main thread up for a while; resumes unless `context` is destroyed first.
class Delay {
public:
    Delay(int milliseconds, QObject* context) : m_milliseconds(milliseconds), m_context(context) {}
    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> handle) {
        QTimer::singleShot(m_milliseconds, m_context, [handle] { handle.resume(); });
    }
    void await_resume() const noexcept {}

private:
    int m_milliseconds;
    QObject* m_context;
};

// Starts a child process and resumes on the main thread once it has ended or failed to start.
class ProcessFinished {
public:
    using Report = std::function<void(const ProcessOutcome&)>;

    // `report` sees the outcome on resumption, before the awaiting coroutine does.
    ProcessFinished(ProcessRunner& runner, ProcessRequest request, QObject* context,
                    Report report = {})
        : m_runner(runner), m_request(std::move(request)), m_context(context),
          m_report(std::move(report)) {}
    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> handle) {
        m_runner.run(m_request, m_context, [this, handle](ProcessOutcome outcome) {
            m_outcome = std::move(outcome);
            handle.resume();
        });
    }
    ProcessOutcome await_resume() {
        if (m_report)
            m_report(*m_outcome);
        return std::move(*m_outcome);
    }

private:
    ProcessRunner& m_runner;
    ProcessRequest m_request;
    QObject* m_context;
    Report m_report;
    std::optional<ProcessOutcome> m_outcome;
};

} // namespace Orvoinstaller
