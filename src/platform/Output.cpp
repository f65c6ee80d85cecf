#include "platform/Output.h"

#include <QCoreApplication>
#include <QThread>

#include <atomic>
#include <cstdio>

namespace Orvoinstaller {

void StdoutOutput::line(const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    std::fputc('\n', stdout);
    // A scan lists thousands of folders in one go: send each burst in one write, at the end
    // of the current event-loop turn. Without an event loop on this thread, at once.
    static std::atomic_bool flushPending = false;
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || app->thread() != QThread::currentThread()) {
        std::fflush(stdout);
        return;
    }
    if (flushPending.exchange(true))
        return;
    QMetaObject::invokeMethod(
        app,
        [] {
            flushPending = false;
            std::fflush(stdout);
        },
        Qt::QueuedConnection);
}

} // namespace Orvoinstaller
