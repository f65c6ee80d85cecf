#pragma once

#include <atomic>

namespace Orvoinstaller {

// Asks a running installation to stop at its next safe point: between templates, between
// files, and between pieces of a large file. Lock-free, so any thread and a signal handler
// may ask.
class CancelToken {
public:
    void cancel() { m_cancelled.store(true, std::memory_order_relaxed); }
    bool isCancelled() const { return m_cancelled.load(std::memory_order_relaxed); }

private:
    std::atomic<bool> m_cancelled{false};
};

static_assert(std::atomic<bool>::is_always_lock_free);

} // namespace Orvoinstaller
