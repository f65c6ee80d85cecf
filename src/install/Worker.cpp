#include "install/Worker.h"

namespace Orvoinstaller {

Worker::Worker() : m_context(new QObject) {
    m_thread.setObjectName(QStringLiteral("installer worker"));
    m_context->moveToThread(&m_thread);
    m_thread.start();
}

Worker::~Worker() {
    m_thread.quit();
    m_thread.wait();
    delete m_context; // its thread has ended: nothing else can touch it
}

void Worker::post(std::function<void()> work) {
    QMetaObject::invokeMethod(m_context, std::move(work), Qt::QueuedConnection);
}

} // namespace Orvoinstaller
