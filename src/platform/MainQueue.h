#pragma once

#include <QPointer>

#include <functional>

namespace Orvoinstaller {

// Runs work on a later turn of the main thread's event loop, in posting order.
class MainQueue {
public:
    virtual ~MainQueue() = default;
    // The work is dropped if `context` is destroyed before it runs.
    virtual void post(QObject* context, std::function<void()> work) = 0;
};

class QtMainQueue : public MainQueue {
public:
    void post(QObject* context, std::function<void()> work) override;
};

} // namespace Orvoinstaller
