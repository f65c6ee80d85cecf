#pragma once

#include "model/InstallerViewModel.h"
#include "platform/RealFileSystem.h"
#include "support/TestPlatform.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTest>
#include <QVariant>

namespace Orvoinstaller::Testing {

// Change `failAt` fails (a copy leaves a partial file); with `crash` nothing runs after it.
// failOn() names a change that fails by what it does and the end of a path it is given.
struct FaultyFileSystem : RealFileSystem {
    using RealFileSystem::RealFileSystem;
    int operations = 0; // changes asked for so far
    int failAt = 0;
    bool crash = false;
    QStringList failing; // "operation path-end"
    // Called on the worker before change `hookAt`, and with each piece a copy reports.
    std::function<void()> hook;
    int hookAt = 0;
    std::function<void(std::int64_t files, std::int64_t bytes)> copyHook;
    // What read the content of files: "compare", "copy" or "clone", then the source's name.
    mutable QStringList reads;
    bool refuseClones = false; // as file systems that cannot clone do

    void failOn(const QString& operation, const QString& pathEnd) {
        failing << operation + ' ' + pathEnd;
    }
    Failure createDirectories(const QString& path) override {
        return fails("createDirectories", path) ? failure("createDirectories")
                                                : RealFileSystem::createDirectories(path);
    }
    Failure copyItem(const QString& from, const QString& to,
                     const CopyProgress& progress = {}) override {
        reads << "copy " + lastComponent(from);
        if (!fails("copyItem", from, to)) {
            if (!copyHook)
                return RealFileSystem::copyItem(from, to, progress);
            return RealFileSystem::copyItem(from, to, [&](std::int64_t files, std::int64_t bytes) {
                copyHook(files, bytes);
                return !progress || progress(files, bytes);
            });
        }
        QFile partial(to);
        if ((!crash || operations == failAt) && partial.open(QIODevice::WriteOnly))
            partial.write("ne");
        return failure("copyItem");
    }
    Failure cloneItem(const QString& from, const QString& to) override {
        reads << "clone " + lastComponent(from);
        if (fails("cloneItem", from, to) || refuseClones)
            return failure("cloneItem");
        return RealFileSystem::cloneItem(from, to);
    }
    bool sameRegularFile(const QString& first, const QString& second) const override {
        reads << "compare " + lastComponent(first);
        return RealFileSystem::sameRegularFile(first, second);
    }
    Failure removeItem(const QString& path) override {
        return fails("removeItem", path) ? failure("removeItem") : RealFileSystem::removeItem(path);
    }
    Failure replaceItem(const QString& from, const QString& to) override {
        return fails("replaceItem", from, to) ? failure("replaceItem")
                                              : RealFileSystem::replaceItem(from, to);
    }
    Failure moveNew(const QString& from, const QString& to) override {
        return fails("moveNew", from, to) ? failure("moveNew") : RealFileSystem::moveNew(from, to);
    }
    Failure writeFileAtomically(const QString& path, const QByteArray& bytes) override {
        return fails("writeFileAtomically", path)
                   ? failure("writeFileAtomically")
                   : RealFileSystem::writeFileAtomically(path, bytes);
    }
    Failure appendDurably(const QString& path, const QByteArray& bytes) override {
        return fails("appendDurably", path) ? failure("appendDurably")
                                            : RealFileSystem::appendDurably(path, bytes);
    }
    bool fails(const QString& operation, const QString& path, const QString& other = {}) {
        ++operations;
        if (hook && operations == hookAt)
            hook();
        for (const QString& named : std::as_const(failing))
            if (const QString end = named.section(' ', 1);
                named.section(' ', 0, 0) == operation &&
                (path.endsWith(end) || (!other.isEmpty() && other.endsWith(end))))
                return true;
        return failAt > 0 && (operations == failAt || (crash && operations > failAt));
    }
    static Failure failure(const QString& operation) {
        return Error::saying("injected " + operation);
    }
};

// A sandbox whose queue and file system the test drives; start() once the pack is laid.
struct Engine : Sandbox {
    std::shared_ptr<ManualQueue> queue = std::make_shared<ManualQueue>();
    std::shared_ptr<FaultyFileSystem> fs =
        std::make_shared<FaultyFileSystem>(homePath(), dataPath());
    std::shared_ptr<ProcessRunner> runner; // if not the real one
    std::shared_ptr<InstallerViewModel> model;
    TemplateInstaller installer{*fs, output()};
    QStringList changes;
    QStringList stateBefore; // of the change announced last, until it is recorded

    void start() {
        Platform services = platform(queue);
        services.fileSystem = fs;
        if (runner)
            services.processRunner = runner;
        model = std::make_shared<InstallerViewModel>(services);
        queue->runAll(); // the tutorial address
        clearLines();
        QObject::connect(model.get(), &InstallerViewModel::objectWillChange, model.get(), [this] {
            recordChange();
            stateBefore = state();
        });
    }
    // Runs `action` to the end of the run; returns each visible change as "property=value".
    QStringList record(const std::function<void()>& action) {
        recordChange();
        changes.clear();
        action();
        // A turn is one piece of posted work; the worker's results arrive between turns.
        while (queue->pending() > 0 || model->isInstalling()) {
            if (queue->pending() == 0) {
                if (!waitForWork(30000))
                    break;
                continue;
            }
            queue->runOne();
        }
        recordChange();
        return changes;
    }
    // Waits for events until work is posted, without sleeping, so a talkative script keeps up.
    bool waitForWork(int milliseconds) {
        QDeadlineTimer deadline(milliseconds);
        while (queue->pending() == 0 && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
        return queue->pending() > 0;
    }
    // The summary shows as "failed/items", and only in the alert, as the user sees it.
    QStringList state() const {
        const InstallationSummary& done = model->installationSummary();
        const QString summary = QString("%1/%2%3")
                                    .arg(done.failedCount)
                                    .arg(done.itemCount)
                                    .arg(done.scriptFailed ? ", script failed" : "");
        return {"installationProgress=" + model->installationProgress(),
                "isInstalling=" + QVariant(model->isInstalling()).toString(),
                "showInstallationAlert=" + QVariant(model->showInstallationAlert()).toString(),
                "installationSummary=" + (model->showInstallationAlert() ? summary : "-")};
    }
    void recordChange() {
        if (stateBefore.isEmpty())
            return;
        QStringList changed;
        for (const QString& now : state())
            if (!stateBefore.contains(now))
                changed << now;
        if (!changed.isEmpty())
            changes << changed.join("; ");
        stateBefore.clear();
    }
    // Where the runs of this sandbox's bundle record the templates folder at home.
    ManifestLocation recordLocation() const {
        return manifestLocation(
            *fs, FixedBundle(QStringLiteral("com.example.installer"), bundlePath(), std::nullopt));
    }
    QString installed(const QString& relative) const {
        return homePath() + "/Movies/Motion Templates.localized/" + relative;
    }
    // Content as treeListing() shows it.
    static QString hex(const QByteArray& content) { return QString::fromLatin1(content.toHex()); }
};

} // namespace Orvoinstaller::Testing
