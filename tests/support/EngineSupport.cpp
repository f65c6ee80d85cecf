#include "support/EngineSupport.h"

namespace Orvoinstaller::Testing {

Status HookedFileSystem::before(const QString& operation, const QString& from, const QString& to) {
    operations << (to.isEmpty()
                       ? operation + QLatin1Char(' ') + from
                       : operation + QLatin1Char(' ') + from + QStringLiteral(" -> ") + to);
    return m_hook ? m_hook(operation, from, to) : std::nullopt;
}

Status HookedFileSystem::createDirectories(const QString& path) {
    if (auto error = before(QStringLiteral("createDirectories"), path))
        return error;
    return m_inner->createDirectories(path);
}

Status HookedFileSystem::copyItem(const QString& from, const QString& to) {
    if (auto error = before(QStringLiteral("copyItem"), from, to))
        return error;
    return m_inner->copyItem(from, to);
}

Status HookedFileSystem::removeItem(const QString& path) {
    if (auto error = before(QStringLiteral("removeItem"), path))
        return error;
    return m_inner->removeItem(path);
}

Status HookedFileSystem::replaceItem(const QString& from, const QString& to) {
    if (auto error = before(QStringLiteral("replaceItem"), from, to))
        return error;
    return m_inner->replaceItem(from, to);
}

void SteppingQueue::post(QObject* context, std::function<void()> work) {
    m_work.emplace_back(QPointer<QObject>(context), std::move(work));
}

bool SteppingQueue::runOne() {
    if (m_work.empty())
        return false;
    auto [context, work] = std::move(m_work.front());
    m_work.erase(m_work.begin());
    if (context)
        work();
    return true;
}

void FakeProcessRunner::run(const QString& program, const QStringList& arguments, QObject* context,
                            std::function<void(ProcessOutcome)> done) {
    calls << (QStringList{program} + arguments).join(QLatin1Char(' '));
    m_queue->post(context, [done = std::move(done), outcome = outcome] { done(outcome); });
}

ChangeRecorder::ChangeRecorder(InstallerViewModel& model) : m_model(model) {
    connect(&model, &InstallerViewModel::objectWillChange, this, [this] {
        closeOpenChange();
        m_before = snapshot();
        m_open = true;
    });
}

QStringList ChangeRecorder::snapshot() const {
    QStringList names;
    for (const FolderItem& item : m_model.folderItems())
        names << item.newName;
    const auto& summary = m_model.installationSummary();
    auto flag = [](bool value) { return value ? QStringLiteral("true") : QStringLiteral("false"); };
    return {
        QStringLiteral("folderItems=[%1]").arg(names.join(QStringLiteral(", "))),
        QStringLiteral("showingImageAlert=") + flag(m_model.showingImageAlert()),
        QStringLiteral("hasFonts=") + flag(m_model.hasFonts()),
        QStringLiteral("installationProgress=") + m_model.installationProgress(),
        QStringLiteral("isInstalling=") + flag(m_model.isInstalling()),
        QStringLiteral("tutorialURL=") +
            (m_model.tutorialURL() ? m_model.tutorialURL()->toString() : QStringLiteral("-")),
        QStringLiteral("showInstallationAlert=") + flag(m_model.showInstallationAlert()),
        QStringLiteral("installationSummary=%1 of %2 failed")
            .arg(summary.failedCount)
            .arg(summary.itemCount),
    };
}

void ChangeRecorder::closeOpenChange() {
    if (!m_open)
        return;
    m_open = false;
    const QStringList after = snapshot();
    QStringList differences;
    for (qsizetype i = 0; i < after.size(); ++i)
        if (after[i] != m_before[i])
            differences << after[i];
    m_changes << (differences.isEmpty() ? QStringLiteral("(same value)")
                                        : differences.join(QStringLiteral("; ")));
}

void ChangeRecorder::markTurn() {
    closeOpenChange();
    m_changes << QStringLiteral("|");
}

QStringList ChangeRecorder::changes() {
    closeOpenChange();
    return m_changes;
}

void runTurns(SteppingQueue& queue, ChangeRecorder& recorder) {
    while (queue.pending() > 0) {
        recorder.markTurn();
        queue.runOne();
    }
}

} // namespace Orvoinstaller::Testing
