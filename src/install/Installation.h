#pragma once

#include "base/Cancel.h"
#include "base/FolderItem.h"
#include "platform/Platform.h"
#include "platform/Process.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QTimer>

#include <memory>
#include <optional>

namespace Orvoinstaller {

class Worker;

// What became of one template, decided when it was executed.
enum class TemplateOutcome {
    installed, // the folder was new
    merged,    // the folder existed and something was written into it
    unchanged, // the folder existed and already held everything the pack brings
    failed,
    cancelled, // not done, or stopped part-way, because the run was cancelled
};
QString outcomeName(TemplateOutcome outcome); // "installed", …, as scripts read it

struct TemplateResult {
    TemplateOutcome outcome = TemplateOutcome::cancelled;
    QString destination; // the folder it became or was merged into
    Failure error;       // why it failed or stopped
};

struct FontsResult {
    enum class State { skipped, installed, installedPerUser, failed } state = State::skipped;
    Failure error;
    QStringList kept; // installed fonts of the same names, other bytes, left as they were
};

struct ScriptResult {
    enum class State { skipped, absent, ok, failed, cancelled } state = State::skipped;
    std::optional<ProcessOutcome> process; // once it was started
};

// How far a run has got, in files and bytes of all its templates.
struct RunProgress {
    qint64 filesDone = 0;
    qint64 filesTotal = 0;
    qint64 bytesDone = 0;
    qint64 bytesTotal = 0;
    std::optional<int> secondsLeft; // once it can be estimated
    bool operator==(const RunProgress&) const = default;
};

struct InstallationReport {
    QList<TemplateResult> templates; // one per template, in the run's order
    Failure blocked;                 // why no template could be installed at all, if so
    FontsResult fonts;
    ScriptResult script;
    bool cancelled = false; // cancel was asked for before the run ended
    Failure record;         // why the install record could not be written, if so

    int count(TemplateOutcome outcome) const;
    // Every template, the fonts and the script did what was asked.
    bool succeeded() const;
};

// Why `needed` bytes cannot be written into `folder`, when its volume has less free.
Failure spaceShortage(const FileReader& fs, const QString& folder, qint64 needed);

struct InstallationOptions {
    bool compareBytes = false; // see TemplateInstaller::setCompareBytes
    bool fonts = false;        // the pack's fonts, before the script so that it sees them
    bool script = true;        // the pack's post-install script, after the templates
};

// One installation run, the same for the window and the command line: waits for the
// templates folder's lock, plans, installs each template with its record entries, then the
// fonts (when asked) and the post-install script. The file work runs on a thread of its
// own; what happens is reported by the signals below, on the thread that created the
// object, in this order: waiting (only while another installer works), started, then per
// template templateStarted and templateFinished, scriptStarted (only when a script runs),
// and finished. progressed comes a few times a second meanwhile.
class Installation : public QObject {
    Q_OBJECT

public:
    Installation(Platform platform, QList<FolderItem> templates, InstallationOptions options = {},
                 QObject* parent = nullptr);
    // Waits for the template in hand; the rest are not started, nor is the script.
    ~Installation() override;

    const QList<FolderItem>& templates() const { return m_templates; }
    void start();
    // Stops at the next safe point: the copy in flight is abandoned, templates not yet begun
    // are not, and a running script is stopped (terminated, killed after 3 s). From any
    // thread; a signal handler may cancel the token directly.
    void cancel() { m_cancel->cancel(); }
    const std::shared_ptr<CancelToken>& cancelToken() const { return m_cancel; }
    bool isRunning() const { return m_running; }

    // The trace line of a template that could not be installed.
    static QString templateFailedLine(const QString& name, const Error& error);
    // How often a waiting run looks at the lock again.
    static constexpr int lockRetryMilliseconds = 250;

Q_SIGNALS:
    void waiting();
    void started(RunProgress totals);
    void templateStarted(int index);
    void templateFinished(int index, TemplateResult result);
    void progressed(RunProgress progress);
    void scriptStarted();
    void finished(InstallationReport report);

private:
    struct Shared;
    void workDone(FontsResult fonts, std::optional<QString> script, bool scriptIsNotAFile);
    void runScript(const QString& path);
    void finish();
    void publishProgress();

    Platform m_platform;
    QList<FolderItem> m_templates;
    InstallationOptions m_options;
    std::shared_ptr<CancelToken> m_cancel;
    std::shared_ptr<Shared> m_shared; // with the worker
    InstallationReport m_report;
    RunProgress m_progress;
    QTimer m_ticker;
    QElapsedTimer m_clock;
    bool m_running = false;
    std::unique_ptr<Worker> m_worker; // last: ends first, while the rest is still there
};

} // namespace Orvoinstaller

Q_DECLARE_METATYPE(Orvoinstaller::InstallationReport)
