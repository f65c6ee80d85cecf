#include "platform/QtProcessRunner.h"

#include <QMetaObject>
#include <QPointer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTimer>

#include <csignal>
#include <memory>
#include <unistd.h>

namespace Orvoinstaller {

void QtProcessRunner::run(const ProcessRequest& request, QObject* context,
                          std::function<void(ProcessOutcome)> done) {
    const QString& program = request.program;
    auto* process = new QProcess;
    process->setProcessChannelMode(QProcess::MergedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    process->setWorkingDirectory(request.workingDirectory);
    if (!request.environment.isEmpty()) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const auto& [name, value] : request.environment)
            environment.insert(name, value);
        process->setProcessEnvironment(environment);
    }
    // Its own process group, so that stopping it reaches whatever it started too.
    process->setChildProcessModifier([] { ::setpgid(0, 0); });

    struct State {
        QByteArray output;
        qint64 omitted = 0;
        bool delivered = false;
        void take(QProcess* process) {
            output += process->readAllStandardOutput();
            if (output.size() <= processOutputTail)
                return;
            qsizetype cut = output.size() - processOutputTail;
            // Start the tail on a whole UTF-8 character.
            while (cut < output.size() && (static_cast<unsigned char>(output[cut]) & 0xC0) == 0x80)
                ++cut;
            omitted += cut;
            output.remove(0, cut);
        }
    };
    auto state = std::make_shared<State>();
    QPointer<QObject> receiver(context);

    auto deliver = [process, state, receiver, done](ProcessOutcome outcome) {
        if (state->delivered)
            return;
        state->delivered = true;
        process->deleteLater();
        if (receiver)
            QMetaObject::invokeMethod(
                receiver.data(), [done, outcome] { done(outcome); }, Qt::QueuedConnection);
    };

    QObject::connect(process, &QProcess::readyReadStandardOutput, process,
                     [process, state] { state->take(process); });
    QObject::connect(
        process, &QProcess::errorOccurred, process,
        [process, program, deliver](QProcess::ProcessError error) {
            if (error != QProcess::FailedToStart)
                return;
            ProcessOutcome outcome;
            outcome.startError =
                QStringLiteral("无法启动 “%1”: %2").arg(program, process->errorString());
            deliver(outcome);
        });
    QObject::connect(process, &QProcess::finished, process,
                     [process, state, deliver](int exitCode, QProcess::ExitStatus exitStatus) {
                         state->take(process);
                         ProcessOutcome outcome;
                         // A child ended by a signal never counts as a success.
                         const bool crashed = exitStatus == QProcess::CrashExit;
                         outcome.exitStatus = crashed && exitCode == 0 ? 1 : exitCode;
                         outcome.output = std::move(state->output);
                         outcome.omittedBytes = state->omitted;
                         deliver(outcome);
                     });
    m_running.removeAll(nullptr);
    m_running << process;
    process->start(program, request.arguments);
}

void QtProcessRunner::stop() {
    for (const QPointer<QProcess>& process : std::as_const(m_running)) {
        if (!process || process->state() == QProcess::NotRunning)
            continue;
        const auto group = static_cast<pid_t>(process->processId());
        ::kill(-group, SIGTERM);
        // A child that ignores the request is not waited for much longer; nor is what it
        // started, which may outlive it.
        QTimer::singleShot(3000, [group] { ::kill(-group, SIGKILL); });
    }
}

} // namespace Orvoinstaller
