#include "install/ManifestRecorder.h"

#include "install/ManifestFormat.h"

#include <QDir>
#include <QMap>

#include <cerrno>
#include <mutex>
#include <utility>

namespace Orvoinstaller {

using Type = FileReader::Type;

namespace {

// The item the record speaks of, unchanged since: a folder by identity alone, since what
// it holds changes its times.
bool sameAsRecorded(const FileReader::Facts& recorded, const FileReader::Facts& now) {
    if (now.type != recorded.type || now.device != recorded.device || now.inode != recorded.inode)
        return false;
    return now.type == Type::folder ||
           (now.size == recorded.size && now.modifiedSeconds == recorded.modifiedSeconds &&
            now.modifiedNanoseconds == recorded.modifiedNanoseconds);
}

} // namespace

struct ManifestRecorder::State {
    State(FileSystem& fs, ManifestLocation location)
        : fs(fs), location(std::move(location)),
          prefix(QDir::cleanPath(this->location.templatesFolder) + u'/') {}

    FileSystem& fs;
    const ManifestLocation location;
    const QString prefix; // the templates folder with its trailing "/"
    mutable std::mutex mutex;
    QMap<QString, FileReader::Facts> entries; // by path, earlier installations' included
    bool loaded = false;
    bool journaled = false; // since the last fold
    Failure discarded;
    Failure failure;

    void load();
    Failure place(const QString& staged, const QString& destination);
    void stage(const QString& staged, const QString& relative, QByteArray& lines,
               QMap<QString, FileReader::Facts>& added) const;
    Failure fold();
    Failure failed(Failure error) {
        if (error && !failure)
            failure = error;
        return error;
    }
};

ManifestRecorder::ManifestRecorder(FileSystem& fs, ManifestLocation location)
    : m_state(std::make_unique<State>(fs, std::move(location))) {}

ManifestRecorder::~ManifestRecorder() {
    // A failure here has nobody to hear it; the journal stays for the next reader.
    const std::lock_guard lock(m_state->mutex);
    m_state->fold();
}

// Loaded late, under the lock the run holds by then: only what it knows decides whether a
// file already there is the installer's.
void ManifestRecorder::State::load() {
    if (loaded)
        return;
    loaded = true;
    const auto earlier = loadManifest(fs, location);
    if (earlier)
        entries = byPath(earlier.value());
    else if (earlier.error().code != ENOENT)
        discarded = earlier.error();
}

void ManifestRecorder::State::stage(const QString& staged, const QString& relative,
                                    QByteArray& lines,
                                    QMap<QString, FileReader::Facts>& added) const {
    const FileReader::Facts facts = fs.facts(staged);
    if (facts.type != Type::file && facts.type != Type::link && facts.type != Type::folder)
        return;
    lines.append(entryJson(relative, facts)).append('\n');
    added.insert(relative, facts);
    if (facts.type == Type::folder)
        if (const auto names = fs.entryNames(staged))
            for (const QString& name : names.value())
                stage(joinPath(staged, name), relative + u'/' + name, lines, added);
}

// What is about to appear at `destination` is the installer's when nothing was there, or
// what was there is the installer's own, recorded and unchanged since. Anything else there
// is the user's, whatever its bytes: the record takes it back rather than claim it.
Failure ManifestRecorder::State::place(const QString& staged, const QString& destination) {
    const QString path = QDir::cleanPath(destination);
    const QString relative = path.mid(prefix.size());
    if (!path.startsWith(prefix) || !insideTemplates(relative, true))
        return std::nullopt;
    load();
    const FileReader::Facts before = fs.facts(path);
    QByteArray lines;
    QMap<QString, FileReader::Facts> added;
    const auto known = entries.constFind(relative);
    if (before.type == Type::missing || (known != entries.cend() && sameAsRecorded(*known, before)))
        stage(staged, relative, lines, added);
    else if (known != entries.cend())
        lines = forgetJson(relative) + '\n';
    if (lines.isEmpty())
        return std::nullopt;
    if (Failure error = failed(appendJournal(fs, location, lines)))
        return error;
    journaled = true;
    if (added.isEmpty())
        entries.remove(relative);
    for (auto entry = added.cbegin(); entry != added.cend(); ++entry)
        entries.insert(entry.key(), entry.value());
    return std::nullopt;
}

Failure ManifestRecorder::State::fold() {
    if (!journaled)
        return std::nullopt;
    Failure error = failed(writeManifest(fs, location, entries));
    journaled = journaled && error;
    return error;
}

TemplateInstaller::Placing ManifestRecorder::placing() {
    return [state = m_state.get()](const QString& staged, const QString& destination) {
        const std::lock_guard lock(state->mutex);
        return state->place(staged, destination);
    };
}

Failure ManifestRecorder::finish() {
    const std::lock_guard lock(m_state->mutex);
    return m_state->fold();
}

Failure ManifestRecorder::discarded() const {
    const std::lock_guard lock(m_state->mutex);
    return m_state->discarded;
}

Failure ManifestRecorder::failure() const {
    const std::lock_guard lock(m_state->mutex);
    return m_state->failure;
}

} // namespace Orvoinstaller
