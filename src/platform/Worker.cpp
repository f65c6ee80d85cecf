#include "platform/Worker.h"

#include <QTimer>

namespace Orvoinstaller {

Worker::Worker() : m_context(new QObject) {
    m_thread.setObjectName(QStringLiteral("installer worker"));
    m_context->moveToThread(&m_thread);
    m_thread.start();
}

Worker::~Worker() {
    // Whoever holds the last reference must not be work of this thread: it cannot wait for
    // itself.
    Q_ASSERT(QThread::currentThread() != &m_thread);
    m_thread.quit();
    m_thread.wait();
    delete m_context; // its thread has ended: nothing else can touch it
}

void Worker::post(std::function<void()> work) {
    QMetaObject::invokeMethod(m_context, std::move(work), Qt::QueuedConnection);
}

void Worker::postAfter(int milliseconds, std::function<void()> work) {
    // The timer is started on the worker's thread, where it fires.
    post([this, milliseconds, work = std::move(work)] {
        QTimer::singleShot(milliseconds, m_context, work);
    });
}

void Worker::adopt(QObject* object) {
    object->moveToThread(&m_thread);
}

} // namespace Orvoinstaller
