#pragma once

#include "platform/Process.h"

#include <QList>
#include <QPointer>
#include <QProcess>

namespace Orvoinstaller {

// QProcess with output and error merged into one channel, drained while the child runs so
// a talkative child never stalls on a full pipe.
class QtProcessRunner : public ProcessRunner {
public:
    void run(const ProcessRequest& request, QObject* context,
             std::function<void(ProcessOutcome)> done) override;
    void stop() override;

private:
    QList<QPointer<QProcess>> m_running;
};

} // namespace Orvoinstaller
