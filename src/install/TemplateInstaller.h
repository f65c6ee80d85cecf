#pragma once

#include "base/Cancel.h"
#include "base/FolderType.h"
#include "install/TemplatesFolder.h"
#include "platform/FileSystem.h"
#include "platform/Output.h"

#include <QCoreApplication>
#include <QHash>
#include <QSet>

#include <functional>

namespace Orvoinstaller {

// What installing one template will do, worked out before any of it is done.
struct TemplatePlan {
    QString source;          // the template's folder in the pack
    QString kindFolder;      // where templates of its kind are installed
    QString destination;     // the folder it becomes or is merged into
    bool merge = false;      // an installed folder of that name exists
    qint64 files = 0;        // files and links it brings
    qint64 bytes = 0;        // and their size
    qint64 bytesToWrite = 0; // of those not already in place: the room the volume must have
};

// Why `name` cannot be the name of an installed template, if it cannot: empty, "." or "..",
// a "/", a NUL or another control character in it, hidden, or longer than 255 bytes in
// UTF-8. The one rule for the window's rows, --name, the run and the pack check.
Failure checkFolderName(const QString& name);

// Why nothing can be installed at all (no usable home folder in `fs`), if so.
Failure homeProblem(const FileReader& fs);

// Installs templates into the user's templates folder, one at a time, on whichever thread
// calls it: plans a template, then executes the plan with safe writes (see SafeWrite.h),
// telling how far it got and stopping when asked. Knows no window and no state object.
class TemplateInstaller {
    Q_DECLARE_TR_FUNCTIONS(Orvoinstaller::TemplateInstaller)

public:
    // What was done since the last call, on the working thread.
    using Progress = std::function<void(qint64 files, qint64 bytes)>;
    // Told before a file, link or folder this installer wrote appears at `destination`, while
    // it is still the temporary `staged`; a failure keeps it from appearing. On the working
    // thread.
    using Placing = std::function<Failure(const QString& staged, const QString& destination)>;

    TemplateInstaller(FileSystem& fs, DiagnosticOutput& output);

    // Where it installs: inside the file system's home folder.
    const TemplatesFolder& folder() const { return m_folder; }

    // checkFolderName(), said in this class's words.
    static Failure checkName(const QString& name);
    // homeProblem() for `home`.
    static Failure checkHome(const FileReader& fs, const QString& home);
    // Refuses unusable names and a missing home folder before anything is written.
    Result<TemplatePlan> plan(const QString& source, FolderType kind, const QString& newName) const;
    // Copies or merges as planned. Fails with a reason, or with cancelled() when stopped.
    Failure execute(const TemplatePlan& plan, const CancelToken* cancel = nullptr,
                    const Progress& progress = {});

    // Merges `source` into `destination` entry by entry, with its trace lines.
    Failure merge(const QString& source, const QString& destination,
                  const CancelToken* cancel = nullptr, const Progress& progress = {});

    // Compare bytes even where size, modification time and permission bits already say a
    // file is unchanged (a maker's tool may keep all three while changing the content).
    void setCompareBytes(bool compare) { m_compareBytes = compare; }
    void setPlacing(Placing placing) { m_placing = std::move(placing); }
    // How many writes this installer has made: a merge that made none left the folder as it was.
    qint64 writes() const { return m_writes; }

    // The reason a stopped installation gives.
    static Error cancelled();

private:
    // Files and bytes of a tree copied whole (hidden entries included), or of what a merge
    // of `source` into `destination` will go through.
    void count(const QString& path, qint64& files, qint64& bytes) const;
    void countMerge(const QString& source, const QString& destination, qint64& files, qint64& bytes,
                    qint64& toWrite) const;
    Failure copyCounted(const QString& source, const QString& target, const CancelToken* cancel,
                        const Progress& progress, bool replace);
    // rsync's quick check: both regular files with equal size, time to the second and mode.
    bool unchanged(const QString& source, const QString& target) const;
    bool upToDateWithoutCopy(const QString& source, const QString& target,
                             FileReader::Type targetType);
    // Whether the file system of `target` (on `device`) keeps permission bits; asked once.
    bool keepsModes(const QString& target, quint64 device) const;

    FileSystem& m_fs;
    DiagnosticOutput& m_output;
    const TemplatesFolder m_folder;
    QSet<QString> m_cleanedFolders;            // kind folders already cleared of temporaries
    mutable QHash<quint64, bool> m_keepsModes; // by device
    bool m_compareBytes = false;
    Placing m_placing;
    qint64 m_writes = 0;
};

} // namespace Orvoinstaller
