#include "support/ManualQueue.h"

#include <QCoreApplication>
#include <QDeadlineTimer>

namespace Orvoinstaller {

void ManualQueue::post(QObject* context, std::function<void()> work) {
    m_work.emplace_back(QPointer<QObject>(context), std::move(work));
}

bool ManualQueue::runOne() {
    if (m_work.empty())
        return false;
    auto [context, work] = std::move(m_work.front());
    m_work.pop_front();
    if (context)
        work();
    return true;
}

int ManualQueue::runAll() {
    int ran = 0;
    while (!m_work.empty()) {
        auto [context, work] = std::move(m_work.front());
        m_work.pop_front();
        if (context) {
            work();
            ++ran;
        }
    }
    return ran;
}

bool ManualQueue::runWhile(const std::function<bool()>& going,
                           const std::function<void()>& between) {
    while (going()) {
        if (!runOne()) {
            QDeadlineTimer deadline(30000);
            while (m_work.empty() && !deadline.hasExpired())
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
            if (m_work.empty())
                return false;
            continue;
        }
        if (between)
            between();
    }
    return true;
}

} // namespace Orvoinstaller
