#pragma once

#include "platform/Platform.h"
#include "support/FixedBundle.h"
#include "support/ManualQueue.h"

#include <QByteArray>
#include <QStringList>
#include <QTemporaryDir>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace Orvoinstaller::Testing {

// Keeps every diagnostic line instead of printing it; the engine writes from its worker.
class CapturedOutput : public DiagnosticOutput {
public:
    void line(const QString& text) override {
        std::lock_guard lock(mutex);
        lines << text;
    }
    std::mutex mutex;
    QStringList lines;
};

// Answers the list of running programs with `answer`.
struct FakePrograms : RunningPrograms {
    Result<QStringList> executablePaths() const override { return answer; }
    Result<QStringList> answer = QStringList();
};

// A scratch tree: a bundle with a resource folder, a home folder and a fonts folder.
class Sandbox {
public:
    Sandbox();
    ~Sandbox();

    QString root() const { return m_dir.path(); }
    QString path(const QString& relative) const; // under root; an absolute path as it is
    QString bundlePath() const { return path(QStringLiteral("apps/Installer.app")); }
    QString resourcePath() const {
        return path(QStringLiteral("apps/Installer.app/Contents/Resources"));
    }
    QString homePath() const { return path(QStringLiteral("home")); }
    QString dataPath() const { return path(QStringLiteral("data")); } // beside the home
    QString fontsPath() const { return path(QStringLiteral("Library/Fonts")); }
    QString userFontsPath() const { return path(QStringLiteral("home/Library/Fonts")); }

    // A folder or file under root (or at an absolute path); returns its absolute path.
    QString makeDir(const QString& relative) const;
    QString writeFile(const QString& relative, const QByteArray& content = "x") const;
    // The same, relative to the resource folder.
    QString makeResourceDir(const QString& relative) const;
    QString writeResourceFile(const QString& relative, const QByteArray& content = "x") const;

    // Real file system at home, a bundle at bundlePath(), captured output, given queue.
    Platform platform(std::shared_ptr<MainQueue> queue = nullptr) const;
    // What the platform's list of running programs answers; none by default.
    std::shared_ptr<FakePrograms> programs = std::make_shared<FakePrograms>();
    QStringList lines() const {
        std::lock_guard lock(m_output->mutex);
        return m_output->lines;
    }
    DiagnosticOutput& output() const { return *m_output; }
    void clearLines() const {
        std::lock_guard lock(m_output->mutex);
        m_output->lines.clear();
    }

private:
    QTemporaryDir m_dir;
    std::shared_ptr<CapturedOutput> m_output = std::make_shared<CapturedOutput>();
};

// Writes `content` to `path`, making its folders; contentOf() is empty if unreadable.
QString writeFileAt(const QString& path, const QByteArray& content = "x");
QByteArray contentOf(const QString& path);

// The trace of locating a resource folder (five lines, `listing` its names as masked below)
// and of scanning one kind folder.
QStringList locateTrace(const QString& identifier, const QString& bundle, const QString& resources,
                        const QString& listing);
QStringList scanTrace(const QString& resources, const QString& kind, const QStringList& names);
// `lines` with the values in the platform's own wording cut down to "…", and the names of a
// listed folder sorted: their order is the file system's.
QStringList maskPlatformWording(QStringList lines);

// Every entry below `root`, sorted: "dir/", "f = hex" (SHA-1 over 4 MiB), "l -> t", odd modes.
QStringList treeListing(const QString& root);
// The path a treeListing() line speaks of, without a folder's "/".
QString listedPath(const QString& line);

// Moves modification times a day back: an installation older than its pack.
void ageFiles(const QString& root);

// Ends the test program if still alive after `seconds`: for code that could block for ever.
class Watchdog {
public:
    Watchdog(int seconds, const char* what);
    ~Watchdog();

private:
    std::mutex m_mutex;
    std::condition_variable m_done;
    bool m_finished = false;
    std::thread m_thread;
};

} // namespace Orvoinstaller::Testing
