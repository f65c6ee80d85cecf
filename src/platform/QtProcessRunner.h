#pragma once

#include "platform/Process.h"

namespace Orvoinstaller {

// QProcess with output and error merged into one channel, drained while the child runs so
// a talkative child never stalls on a full pipe.
class QtProcessRunner : public ProcessRunner {
public:
    void run(const QString& program, const QStringList& arguments, QObject* context,
             std::function<void(ProcessOutcome)> done) override;
};

} // namespace Orvoinstaller
