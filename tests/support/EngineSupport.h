#pragma once

#include "model/InstallerViewModel.h"
#include "platform/RealFileSystem.h"
#include "support/TestPlatform.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFile>
#include <QTest>
#include <QThread>
#include <QVariant>

namespace Orvoinstaller::Testing {

// Change `failAt` fails (a copy leaves a partial file); with `crash` nothing runs after it.
// failOn() names a change that fails by what it does and the end of a path it is given.
struct FaultyFileSystem : RealFileSystem {
    using RealFileSystem::RealFileSystem;
    int operations = 0; // changes asked for so far
    int failAt = 0;
    bool crash = false;
    QList<std::pair<QString, QString>> failing; // operation, end of a path
    // Called on the worker before change `hookAt`, and with each piece a copy reports.
    std::function<void()> hook;
    int hookAt = 0;
    std::function<void(std::int64_t files, std::int64_t bytes)> copyHook;
    // What read the content of files: "compare", "copy" or "clone", then the source's name.
    mutable QStringList reads;
    bool refuseClones = false; // as file systems that cannot clone do
    // The threads that asked for a change or a listing.
    mutable std::mutex threadsMutex;
    mutable QSet<QThread*> threads;

    void failOn(const QString& operation, const QString& pathEnd) {
        failing << std::pair(operation, pathEnd);
    }
    Failure createDirectories(const QString& path) override {
        return change("createDirectories", path, {},
                      [&] { return RealFileSystem::createDirectories(path); });
    }
    Failure copyItem(const QString& from, const QString& to,
                     const CopyProgress& progress = {}) override {
        reads << "copy " + lastComponent(from);
        Failure injected = fails("copyItem", from, to);
        if (!injected) {
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
        return injected;
    }
    Failure cloneItem(const QString& from, const QString& to) override {
        reads << "clone " + lastComponent(from);
        if (Failure injected = fails("cloneItem", from, to); injected || refuseClones)
            return Error::saying(QStringLiteral("injected cloneItem"));
        return RealFileSystem::cloneItem(from, to);
    }
    bool sameRegularFile(const QString& first, const QString& second) const override {
        reads << "compare " + lastComponent(first);
        return RealFileSystem::sameRegularFile(first, second);
    }
    Failure removeItem(const QString& path) override {
        return change("removeItem", path, {}, [&] { return RealFileSystem::removeItem(path); });
    }
    Failure removeFile(const QString& path) override {
        return change("removeFile", path, {}, [&] { return RealFileSystem::removeFile(path); });
    }
    Failure removeEmptyFolder(const QString& path) override {
        return change("removeEmptyFolder", path, {},
                      [&] { return RealFileSystem::removeEmptyFolder(path); });
    }
    Failure replaceItem(const QString& from, const QString& to) override {
        return change("replaceItem", from, to,
                      [&] { return RealFileSystem::replaceItem(from, to); });
    }
    Failure moveNew(const QString& from, const QString& to) override {
        return change("moveNew", from, to, [&] { return RealFileSystem::moveNew(from, to); });
    }
    Failure writeFileAtomically(const QString& path, const QByteArray& bytes) override {
        return change("writeFileAtomically", path, {},
                      [&] { return RealFileSystem::writeFileAtomically(path, bytes); });
    }
    Failure appendDurably(const QString& path, const QByteArray& bytes) override {
        return change("appendDurably", path, {},
                      [&] { return RealFileSystem::appendDurably(path, bytes); });
    }
    Result<std::vector<Entry>> entries(const QString& dir, bool withHidden) const override {
        seen();
        return RealFileSystem::entries(dir, withHidden);
    }
    void seen() const {
        std::lock_guard lock(threadsMutex);
        threads.insert(QThread::currentThread());
    }
    template <typename Real>
    Failure change(const QString& operation, const QString& path, const QString& other, Real real) {
        Failure injected = fails(operation, path, other);
        return injected ? injected : real();
    }
    // The failure to inject into this change, if any.
    Failure fails(const QString& operation, const QString& path, const QString& other = {}) {
        seen();
        ++operations;
        if (hook && operations == hookAt)
            hook();
        const bool named = std::any_of(failing.begin(), failing.end(), [&](const auto& f) {
            return f.first == operation && (path.endsWith(f.second) || other.endsWith(f.second));
        });
        if (named || (failAt > 0 && (operations == failAt || (crash && operations > failAt))))
            return Error::saying("injected " + operation);
        return std::nullopt;
    }
};

// A volume with `free` bytes left.
struct FullVolume : RealFileSystem {
    FullVolume(const QString& home, qint64 free) : RealFileSystem(home), free(free) {}
    std::optional<qint64> freeBytes(const QString&) const override { return free; }
    qint64 free;
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
        // A turn is one piece of posted work; the worker's results arrive between turns. Events
        // are waited for, not slept through, so a talkative script keeps up.
        QDeadlineTimer deadline(30000);
        while ((queue->pending() > 0 || model->isInstalling()) && !deadline.hasExpired()) {
            if (queue->pending() == 0)
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
            else
                queue->runOne(), deadline.setRemainingTime(30000);
        }
        recordChange();
        return changes;
    }
    // The summary shows as "failed/items", and only in the alert, as the user sees it.
    QStringList state() const {
        const InstallationSummary& done = model->installationSummary();
        const QString summary = QString::number(done.failedCount) + '/' +
                                QString::number(done.itemCount) +
                                (done.scriptFailed ? ", script failed" : "");
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
