#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QObject;

namespace Orvoinstaller {

struct ProcessOutcome {
    std::optional<QString> startError; // set when the program could not be started
    std::optional<QString> readError;  // set when its output could not be read
    int exitStatus = 0;                // non-zero also when ended by a signal
    QByteArray output;                 // standard output and error, interleaved
};

// Runs a child process without blocking the main thread.
class ProcessRunner {
public:
    virtual ~ProcessRunner() = default;
    // `done` runs once, on a later turn of the main thread's event loop, unless `context`
    // is destroyed first.
    virtual void run(const QString& program, const QStringList& arguments, QObject* context,
                     std::function<void(ProcessOutcome)> done) = 0;
};

} // namespace Orvoinstaller
