#pragma once

#include "base/FolderItem.h"
#include "install/ManifestLocation.h"
#include "install/TemplateInstaller.h"

#include <QCoreApplication>
#include <QList>

#include <memory>
#include <vector>

namespace Orvoinstaller {

class ManifestRecorder;

using RunPlans = std::vector<Result<TemplatePlan>>;

// The templates folder's lock, the plans, and each template with the manifest's record of
// what it wrote: what an Installation's steps work with, and what the fonts button holds
// the lock with. On the worker only, one call at a time.
class InstallSteps {
    Q_DECLARE_TR_FUNCTIONS(Orvoinstaller::InstallSteps)

public:
    // `record`: where what the run puts in place is recorded.
    InstallSteps(FileSystem& fs, DiagnosticOutput& output, ManifestLocation record);
    ~InstallSteps();

    TemplateInstaller& installer() { return m_installer; }

    // Another installer writing into the same folder would trip over this one's entries.
    // True once taken, false while another installer holds it; an error when no lock can be
    // had (no home folder, a templates folder that cannot be created).
    Result<bool> tryLock();
    // Folds the record's journal into it, then lets other runs in.
    void unlock();

    RunPlans plan(const QList<FolderItem>& items) const;
    // A record entry that cannot be written keeps its file from appearing: the template
    // fails with it.
    Failure execute(const TemplatePlan& plan, const CancelToken* cancel,
                    const TemplateInstaller::Progress& progress);
    // Why the record could not be written, if it could not: the run has failed then, even
    // where every file is in place.
    Failure recordFailure() const;

    // What a run says while another installer holds the lock.
    static const char* const waitingText;

private:
    void noteUnsaved(const Failure& error);

    FileSystem& m_fs;
    DiagnosticOutput& m_output;
    const ManifestLocation m_record;
    TemplateInstaller m_installer;
    std::unique_ptr<FileWriter::Lock> m_lock;
    std::unique_ptr<ManifestRecorder> m_recorder;
};

// Files and bytes of every template that could be planned.
void plannedTotals(const RunPlans& plans, qint64& files, qint64& bytes);

} // namespace Orvoinstaller
