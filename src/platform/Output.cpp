#include "platform/Output.h"

#include <QCoreApplication>
#include <QThread>

#include <cstdio>

namespace Orvoinstaller {

void StdoutOutput::line(const QString& text) {
    // One call per line, so lines from other threads never split one.
    const QByteArray bytes = text.toUtf8().append('\n');
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    // A scan lists thousands of folders in one go: send each burst in one write, at the end
    // of the current event-loop turn. Without an event loop on this thread, at once.
    static bool flushPending = false; // touched on the application's thread only
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || app->thread() != QThread::currentThread()) {
        std::fflush(stdout);
        return;
    }
    if (flushPending)
        return;
    flushPending = true;
    QMetaObject::invokeMethod(
        app,
        [] {
            flushPending = false;
            std::fflush(stdout);
        },
        Qt::QueuedConnection);
}

} // namespace Orvoinstaller
