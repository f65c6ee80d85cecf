#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <utility>

class QObject;

namespace Orvoinstaller {

struct ProcessOutcome {
    std::optional<QString> startError; // set when the program could not be started
    std::optional<QString> readError;  // set when its output could not be read
    int exitStatus = 0;                // non-zero also when ended by a signal
    QByteArray output;                 // standard output and error, interleaved: the tail
    qint64 omittedBytes = 0;           // what came before the tail and was not kept
};

// What to run, where, and with what added to the program's own environment.
struct ProcessRequest {
    QString program;
    QStringList arguments;
    QString workingDirectory;                       // empty: the program's own
    QList<std::pair<QString, QString>> environment; // set on top of the inherited one
};

// How much of a child's output is kept: a script that prints without end must not fill
// the memory, and the end of the output is what tells why it failed.
inline constexpr qsizetype processOutputTail = 64 * 1024;

// Runs a child process without blocking the calling thread, with an empty standard input so
// that a child asking a question gets no answer instead of waiting for one. The calling
// thread needs an event loop; run and stop are called on one thread.
class ProcessRunner {
public:
    virtual ~ProcessRunner() = default;
    // `done` runs once, on a later turn of the event loop of `context`'s thread, unless
    // `context` is destroyed first.
    virtual void run(const ProcessRequest& request, QObject* context,
                     std::function<void(ProcessOutcome)> done) = 0;
    // Ends the children still running, each with what it started (its process group): asked
    // to terminate, then killed after 3 s. Their outcome is delivered as usual.
    virtual void stop() {}
};

} // namespace Orvoinstaller
