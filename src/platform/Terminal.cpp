#include "platform/Terminal.h"

#include <atomic>
#include <csignal>
#include <unistd.h>

namespace Orvoinstaller {

namespace {

// Lock-free, so a signal handler may set it.
std::atomic<bool> terminationSignalled{false};

extern "C" void noteTermination(int) {
    terminationSignalled.store(true);
}

} // namespace

bool standardErrorIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

void catchTermination() {
    struct sigaction action {};
    action.sa_handler = noteTermination;
    sigemptyset(&action.sa_mask);
    // Restarted calls: the worker's reads and writes carry on until it looks at the token.
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

bool terminationRequested() {
    return terminationSignalled.load();
}

} // namespace Orvoinstaller
