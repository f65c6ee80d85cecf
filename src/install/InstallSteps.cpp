#include "install/InstallSteps.h"

#include "install/ManifestRecorder.h"
#include "install/TemplatesFolderLock.h"

namespace Orvoinstaller {

const char* const InstallSteps::waitingText =
    QT_TR_NOOP("正在等待另一个安装程序完成...");

InstallSteps::InstallSteps(FileSystem& fs, DiagnosticOutput& output, ManifestLocation record)
    : m_fs(fs), m_output(output), m_record(std::move(record)), m_installer(fs, output) {}

InstallSteps::~InstallSteps() = default;

Result<bool> InstallSteps::tryLock() {
    if (m_lock)
        return true;
    if (Failure error = homeProblem(m_fs))
        return *error;
    const QString folder = m_installer.folder().path;
    if (Failure error = m_fs.createDirectories(folder))
        return *error;
    auto lock = lockTemplatesFolder(m_fs, folder);
    if (!lock)
        return lock.error();
    m_lock = std::move(lock).value();
    return m_lock != nullptr;
}

void InstallSteps::unlock() {
    // Folded while the lock still keeps other runs out.
    if (m_recorder)
        noteUnsaved(m_recorder->finish());
    m_lock.reset();
}

RunPlans InstallSteps::plan(const QList<FolderItem>& items) const {
    RunPlans plans;
    for (const FolderItem& item : items)
        plans.push_back(m_installer.plan(item.path, item.type, item.newName));
    return plans;
}

Failure InstallSteps::execute(const TemplatePlan& plan, const CancelToken* cancel,
                              const TemplateInstaller::Progress& progress) {
    if (!m_recorder) {
        m_recorder = std::make_unique<ManifestRecorder>(m_fs, m_record);
        m_installer.setPlacing(m_recorder->placing());
    }
    return m_installer.execute(plan, cancel, progress);
}

Failure InstallSteps::recordFailure() const {
    return m_recorder ? m_recorder->failure() : std::nullopt;
}

void InstallSteps::noteUnsaved(const Failure& error) {
    if (error)
        m_output.line(QStringLiteral("无法保存安装记录: ") + error->description());
}

void plannedTotals(const RunPlans& plans, qint64& files, qint64& bytes) {
    for (const auto& plan : plans) {
        if (plan) {
            files += plan.value().files;
            bytes += plan.value().bytes;
        }
    }
}

} // namespace Orvoinstaller
