#pragma once

#include "model/InstallerViewModel.h"
#include "platform/RealFileSystem.h"
#include "support/TestPlatform.h"

#include <QVariant>

namespace Orvoinstaller::Testing {

inline const QString templates = QStringLiteral("/Movies/Motion Templates.localized/");

// The real file system, but `hook` may fail or disturb any change before it is made.
class HookedFileSystem : public RealFileSystem {
public:
    using RealFileSystem::RealFileSystem;
    std::function<Status(const QString& operation, const QString& from, const QString& to)> hook;
    int operations = 0; // changes asked for so far

    Status createDirectories(const QString& path) override {
        const Status error = before("createDirectories", path);
        return error ? error : RealFileSystem::createDirectories(path);
    }
    Status copyItem(const QString& from, const QString& to) override {
        const Status error = before("copyItem", from, to);
        return error ? error : RealFileSystem::copyItem(from, to);
    }
    Status removeItem(const QString& path) override {
        const Status error = before("removeItem", path);
        return error ? error : RealFileSystem::removeItem(path);
    }
    Status replaceItem(const QString& from, const QString& to) override {
        const Status error = before("replaceItem", from, to);
        return error ? error : RealFileSystem::replaceItem(from, to);
    }

private:
    Status before(const QString& operation, const QString& from, const QString& to = {}) {
        ++operations;
        return hook ? hook(operation, from, to) : std::nullopt;
    }
};

// Answers every run with success on the next turn of `queue`.
class FakeProcessRunner : public ProcessRunner {
public:
    explicit FakeProcessRunner(MainQueue& queue) : m_queue(queue) {}
    void run(const QString& program, const QStringList& arguments, QObject* context,
             std::function<void(ProcessOutcome)> done) override {
        calls << program + ' ' + arguments.join(' ');
        m_queue.post(context, [done] { done({}); });
    }
    QStringList calls;

private:
    MainQueue& m_queue;
};

// A sandbox whose main queue, file system and script runner the test drives. Call start()
// once the resource folder is laid out: the state object scans it when it is made.
struct Engine : Sandbox {
    std::shared_ptr<ManualQueue> queue = std::make_shared<ManualQueue>();
    std::shared_ptr<HookedFileSystem> fs = std::make_shared<HookedFileSystem>(homePath());
    std::shared_ptr<FakeProcessRunner> runner = std::make_shared<FakeProcessRunner>(*queue);
    std::shared_ptr<InstallerViewModel> model;
    QStringList changes;
    QStringList stateBefore; // of the change announced last, until it is recorded

    void start() {
        Platform services = platform(queue);
        services.fileSystem = fs;
        services.processRunner = runner;
        model = std::make_shared<InstallerViewModel>(services);
        queue->runAll(); // the tutorial address
        clearLines();
        QObject::connect(model.get(), &InstallerViewModel::objectWillChange, model.get(), [this] {
            recordChange();
            stateBefore = state();
        });
    }
    // Runs `action` (an installation run by default) and every turn it leads to. Returns each
    // announced change as "property=value" once stored, and "|" for each turn.
    QStringList record(const std::function<void()>& action = {}) {
        model->setInstallationSummary({-1, -1}); // so that the run's own always shows
        recordChange();
        changes.clear();
        if (action)
            action();
        else
            model->installPlugins();
        while (queue->pending() > 0) {
            recordChange();
            changes << "|";
            queue->runOne();
        }
        recordChange();
        return changes;
    }
    QStringList state() const {
        const InstallationSummary& summary = model->installationSummary();
        return {"installationProgress=" + model->installationProgress(),
                "isInstalling=" + QVariant(model->isInstalling()).toString(),
                "showInstallationAlert=" + QVariant(model->showInstallationAlert()).toString(),
                QString("installationSummary=%1 of %2 failed")
                    .arg(summary.failedCount)
                    .arg(summary.itemCount)};
    }
    void recordChange() {
        if (stateBefore.isEmpty())
            return;
        QStringList changed;
        for (const QString& now : state())
            if (!stateBefore.contains(now))
                changed << now;
        changes << (changed.isEmpty() ? "(same value)" : changed.join("; "));
        stateBefore.clear();
    }
    QString installed(const QString& relative) const { return homePath() + templates + relative; }
    QStringList failureLines() const { return lines().filter("处理项目失败: "); }
};

} // namespace Orvoinstaller::Testing
