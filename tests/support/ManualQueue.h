#pragma once

#include "platform/MainQueue.h"

#include <QPointer>

#include <deque>
#include <functional>

namespace Orvoinstaller {

// Runs posted work only when asked, so that a test, the renderer or the bench can stop
// between turns, or never run them.
class ManualQueue : public MainQueue {
public:
    void post(QObject* context, std::function<void()> work) override;
    // Runs the oldest posted work (skipped if its context is gone); false when none waited.
    bool runOne();
    // Runs everything posted so far, and what that posts in turn; returns how many ran.
    int runAll();
    int pending() const { return static_cast<int>(m_work.size()); }
    // Runs posted work one piece at a time, `between` after each, while `going` holds,
    // meanwhile letting the event loop deliver what other threads send; false when no work
    // came within 30 s.
    bool runWhile(const std::function<bool()>& going, const std::function<void()>& between = {});

private:
    std::deque<std::pair<QPointer<QObject>, std::function<void()>>> m_work;
};

} // namespace Orvoinstaller
