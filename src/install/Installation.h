#pragma once

#include "base/Cancel.h"
#include "base/FolderItem.h"
#include "install/InstallSteps.h"
#include "platform/Platform.h"
#include "platform/Process.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QTimer>

#include <memory>
#include <optional>

namespace Orvoinstaller {

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
    bool cancelled = false;     // cancel was asked for before the run ended
    Failure record;             // why the install record could not be written, if so
    bool editorRunning = false; // Final Cut Pro ran when the run ended: it must be restarted

    int count(TemplateOutcome outcome) const;
    // Every template, the fonts and the script did what was asked.
    bool succeeded() const;
};

struct InstallationOptions {
    bool compareBytes = false; // see TemplateInstaller::setCompareBytes
    bool fonts = false;        // the pack's fonts, before the script so that it sees them
    bool script = true;        // the pack's post-install script, after the templates
};

// One installation run, the same for the window and the command line: waits for the
// templates folder's lock, plans, installs each template with its record entries, then the
// fonts (when asked) and the post-install script, and looks for the editor. It lives on the
// platform's worker from start() on and runs there as a series of steps, each posted after
// the one before, so that other file work (previews, a listing) goes on between templates.
// What happens is reported by the signals below, queued to receivers on other threads, in
// this order: waiting (only while another installer works), started, then per template
// templateStarted and templateFinished, scriptStarted (only when a script runs), and
// finished. progressed comes a few times a second meanwhile.
//
// Once started, it must be deleted on the worker: its owner holds it as an Installation::Owned.
class Installation : public QObject {
    Q_OBJECT

public:
    Installation(Platform platform, QList<FolderItem> templates, InstallationOptions options = {},
                 QObject* parent = nullptr);
    ~Installation() override;

    // Cancels, then deletes on the worker: the template in hand is stopped at its next safe
    // point, the rest are not started, nor is the script.
    struct Deleter {
        void operator()(Installation* run) const;
    };
    using Owned = std::unique_ptr<Installation, Deleter>;

    // Not changed once made: readable from any thread.
    const QList<FolderItem>& templates() const { return m_templates; }
    // Once.
    void start();
    // Stops at the next safe point: the copy in flight is abandoned, templates not yet begun
    // are not, and a running script is stopped (terminated, killed after 3 s). From any
    // thread; a signal handler may cancel the token directly.
    void cancel() { m_cancel->cancel(); }
    const std::shared_ptr<CancelToken>& cancelToken() const { return m_cancel; }

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
    // Why `needed` bytes cannot be written into `folder`, when its volume has less free.
    static Failure spaceShortage(const FileReader& fs, const QString& folder, qint64 needed);
    // The steps, in order; each ends by posting the next.
    void waitForLock();
    void plan();
    void installTemplate(int index);
    void installFonts();
    void unlock();
    void runScript();
    void scriptEnded(const ProcessOutcome& outcome);
    void lookForEditor();
    void finish();

    void next(void (Installation::*step)());
    void watchCancel();
    void publishProgress(bool throttled);

    Platform m_platform; // without the worker, which must not be held by what lives on it
    QList<FolderItem> m_templates;
    InstallationOptions m_options;
    std::shared_ptr<CancelToken> m_cancel;
    bool m_started = false;
    // On the worker only, from here on.
    std::unique_ptr<InstallSteps> m_steps;
    RunPlans m_plans;
    bool m_locked = false, m_saidWaiting = false;
    std::optional<QString> m_resources;
    QTimer* m_watch = nullptr;     // looks at the cancel token while the run waits
    bool m_waitingForLock = false; // and a cancel ends the wait at once
    bool m_scriptRunning = false;  // or stops the script
    InstallationReport m_report;
    RunProgress m_progress, m_published; // counted, and last told
    QElapsedTimer m_clock, m_sincePublished;
};

} // namespace Orvoinstaller

Q_DECLARE_METATYPE(Orvoinstaller::InstallationReport)
