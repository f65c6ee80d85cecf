#include "platform/MainQueue.h"

#include <QMetaObject>
#include <QObject>

namespace Orvoinstaller {

void QtMainQueue::post(QObject* context, std::function<void()> work) {
    QMetaObject::invokeMethod(context, std::move(work), Qt::QueuedConnection);
}

} // namespace Orvoinstaller
