#include "platform/Terminal.h"

#include <atomic>
#include <csignal>
#include <unistd.h>

namespace Orvoinstaller {

namespace {

// Lock-free, so a signal handler may use them.
std::atomic<int> caughtSignal{0};
std::atomic<CancelToken*> cancelled{nullptr};
static_assert(std::atomic<int>::is_always_lock_free && std::atomic<CancelToken*>::is_always_lock_free);

extern "C" void noteTermination(int signal) {
    caughtSignal.store(signal);
    if (CancelToken* token = cancelled.load())
        token->cancel();
}

} // namespace

bool standardErrorIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

void cancelOnTermination(CancelToken* token) {
    cancelled.store(token);
    struct sigaction action {};
    action.sa_handler = noteTermination;
    sigemptyset(&action.sa_mask);
    // Restarted calls: the worker's reads and writes carry on until it looks at the token.
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
    // A signal that came before the token was known still counts.
    if (token && caughtSignal.load() != 0)
        token->cancel();
}

int terminationSignal() {
    return caughtSignal.load();
}

} // namespace Orvoinstaller
