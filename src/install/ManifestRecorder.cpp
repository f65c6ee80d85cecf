#include "install/ManifestRecorder.h"

#include "install/ManifestFormat.h"

#include <QDir>
#include <QElapsedTimer>
#include <QMap>

#include <cerrno>
#include <mutex>
#include <utility>

namespace Orvoinstaller {

using Type = FileSystem::Type;

struct ManifestRecorder::State {
    State(FileSystem& fs, ManifestLocation location)
        : fs(fs), location(std::move(location)),
          prefix(QDir::cleanPath(this->location.templatesFolder) + u'/') {}

    FileSystem& fs;
    const ManifestLocation location;
    const QString prefix; // the templates folder with its trailing "/"
    std::mutex mutex;
    QMap<QString, QByteArray> entries; // serialised, by path
    bool loaded = false;
    bool changed = false; // since the last write
    bool folderMade = false;
    Failure discarded;
    QElapsedTimer sinceWrite;
    qint64 writeCost = 0; // of the last write, in nanoseconds

    Failure write(bool now);
};

ManifestRecorder::ManifestRecorder(FileSystem& fs, ManifestLocation location)
    : m_state(std::make_unique<State>(fs, std::move(location))) {}

ManifestRecorder::~ManifestRecorder() {
    // What save() left for later; a failure here has nobody to hear it.
    m_state->write(true);
}

TemplateInstaller::Installed ManifestRecorder::observer() {
    return [state = m_state.get()](const QString& destination) {
        const QString path = QDir::cleanPath(destination);
        const QString relative = path.mid(state->prefix.size());
        if (!path.startsWith(state->prefix) || !insideTemplates(relative))
            return;
        const FileSystem::Facts facts = state->fs.facts(path);
        if (facts.type != Type::file && facts.type != Type::link)
            return;
        const std::lock_guard lock(state->mutex);
        state->entries.insert(relative, entryJson(relative, facts));
        state->changed = true;
    };
}

Failure ManifestRecorder::save() {
    return m_state->write(false);
}

Failure ManifestRecorder::finish() {
    return m_state->write(true);
}

// The earlier manifest is loaded late, under the lock the run holds by then, and only to be
// written again: later writes only add.
Failure ManifestRecorder::State::write(bool now) {
    const std::lock_guard lock(mutex);
    if (!changed)
        return std::nullopt;
    if (!loaded) {
        loaded = true;
        const auto earlier = loadManifest(fs, location);
        if (earlier) {
            for (const ManifestEntry& entry : earlier.value())
                if (!entries.contains(entry.path))
                    entries.insert(entry.path, entryJson(entry.path, entry.facts));
        } else if (earlier.error().code != ENOENT) {
            discarded = earlier.error();
        }
    }
    // Each write is the whole file, synced: with thousands of entries it costs milliseconds.
    // Writing at most once per ten times that keeps saving a small part of any run.
    if (!now && sinceWrite.isValid() && sinceWrite.nsecsElapsed() < 10 * writeCost)
        return std::nullopt;
    QElapsedTimer clock;
    clock.start();
    Failure error = writeManifest(fs, location, entries, !folderMade);
    folderMade = folderMade || !error;
    writeCost = clock.nsecsElapsed();
    sinceWrite.start();
    if (!error)
        changed = false;
    return error;
}

Failure ManifestRecorder::discarded() const {
    const std::lock_guard lock(m_state->mutex);
    return m_state->discarded;
}

} // namespace Orvoinstaller
