#pragma once

#include "model/InstallerViewModel.h"
#include "platform/FileSystem.h"
#include "platform/MainQueue.h"
#include "platform/Process.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace Orvoinstaller::Testing {

// Passes every call to a real file system, but lets a test fail or disturb chosen changes.
// The hook sees the operation ("createDirectories", "copyItem", "removeItem",
// "replaceItem") with its paths (`to` empty where there is one) and may answer an error.
class HookedFileSystem : public FileSystem {
public:
    using Hook =
        std::function<Status(const QString& operation, const QString& from, const QString& to)>;

    HookedFileSystem(std::shared_ptr<FileSystem> inner, Hook hook)
        : m_inner(std::move(inner)), m_hook(std::move(hook)) {}

    // Every change asked for, as "operation from [-> to]", in order.
    QStringList operations;

    QString homeDirectory() const override { return m_inner->homeDirectory(); }
    Result<QStringList> entryNames(const QString& dir) const override {
        return m_inner->entryNames(dir);
    }
    Result<std::vector<Entry>> visibleEntries(const QString& dir,
                                              bool withDirectoryFlag) const override {
        return m_inner->visibleEntries(dir, withDirectoryFlag);
    }
    bool exists(const QString& path) const override { return m_inner->exists(path); }
    bool isDirectory(const QString& path) const override { return m_inner->isDirectory(path); }
    Result<QString> attributes(const QString& path) const override {
        return m_inner->attributes(path);
    }
    Result<QByteArray> readFile(const QString& path) const override {
        return m_inner->readFile(path);
    }
    bool sameRegularFile(const QString& first, const QString& second) const override {
        return m_inner->sameRegularFile(first, second);
    }
    Status createDirectories(const QString& path) override;
    Status copyItem(const QString& from, const QString& to) override;
    Status removeItem(const QString& path) override;
    Status replaceItem(const QString& from, const QString& to) override;

private:
    Status before(const QString& operation, const QString& from, const QString& to = {});

    std::shared_ptr<FileSystem> m_inner;
    Hook m_hook;
};

// Runs posted work one turn at a time, so a test sees exactly where a task gives the
// main thread up.
class SteppingQueue : public MainQueue {
public:
    void post(QObject* context, std::function<void()> work) override;
    bool runOne(); // false when nothing was waiting
    int pending() const { return static_cast<int>(m_work.size()); }

private:
    std::vector<std::pair<QPointer<QObject>, std::function<void()>>> m_work;
};

// Answers every run with a fixed outcome, delivered on the next turn of `queue`.
class FakeProcessRunner : public ProcessRunner {
public:
    explicit FakeProcessRunner(std::shared_ptr<MainQueue> queue) : m_queue(std::move(queue)) {}
    void run(const QString& program, const QStringList& arguments, QObject* context,
             std::function<void(ProcessOutcome)> done) override;

    ProcessOutcome outcome;
    QStringList calls; // "program arg..." per run

private:
    std::shared_ptr<MainQueue> m_queue;
};

// Records each announced change of the state object as "property=value" once it has been
// stored, with "|" wherever the test marked a turn of the main thread.
class ChangeRecorder : public QObject {
public:
    explicit ChangeRecorder(InstallerViewModel& model);
    void markTurn();
    QStringList changes();

private:
    QStringList snapshot() const;
    void closeOpenChange();

    InstallerViewModel& m_model;
    QStringList m_changes;
    QStringList m_before; // the state before the change that was announced last
    bool m_open = false;
};

// Runs `queue` turn by turn until nothing waits, marking each turn in `recorder`.
void runTurns(SteppingQueue& queue, ChangeRecorder& recorder);

} // namespace Orvoinstaller::Testing
