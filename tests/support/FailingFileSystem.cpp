#include "support/FailingFileSystem.h"

namespace Orvoinstaller::Testing {

std::optional<Error> FailingFileSystem::check(Operation operation, const QString& path) const {
    if (!m_failures.contains({operation, path}))
        return std::nullopt;
    ++m_failureCount;
    return Error{QStringLiteral("injected failure (operation %1) at “%2”")
                     .arg(static_cast<int>(operation))
                     .arg(path)};
}

Result<QStringList> FailingFileSystem::entryNames(const QString& dir) const {
    if (auto error = check(Operation::entryNames, dir))
        return *error;
    return m_inner->entryNames(dir);
}

Result<std::vector<FileSystem::Entry>> FailingFileSystem::visibleEntries(
    const QString& dir, bool withDirectoryFlag) const {
    if (auto error = check(Operation::visibleEntries, dir))
        return *error;
    auto entries = m_inner->visibleEntries(dir, withDirectoryFlag);
    if (entries && withDirectoryFlag && check(Operation::directoryFlag, dir)) {
        auto copy = entries.value();
        for (auto& entry : copy)
            entry.isDirectory.reset();
        return copy;
    }
    return entries;
}

Result<QString> FailingFileSystem::attributes(const QString& path) const {
    if (auto error = check(Operation::attributes, path))
        return *error;
    return m_inner->attributes(path);
}

Status FailingFileSystem::createDirectories(const QString& path) {
    if (auto error = check(Operation::createDirectories, path))
        return error;
    return m_inner->createDirectories(path);
}

Status FailingFileSystem::copyItem(const QString& from, const QString& to) {
    if (auto error = check(Operation::copyItem, from))
        return error;
    if (auto error = check(Operation::copyItem, to))
        return error;
    return m_inner->copyItem(from, to);
}

Status FailingFileSystem::removeItem(const QString& path) {
    if (auto error = check(Operation::removeItem, path))
        return error;
    return m_inner->removeItem(path);
}

Status FailingFileSystem::replaceItem(const QString& from, const QString& to) {
    if (auto error = check(Operation::replaceItem, from))
        return error;
    if (auto error = check(Operation::replaceItem, to))
        return error;
    return m_inner->replaceItem(from, to);
}

Result<QByteArray> FailingFileSystem::readFile(const QString& path) const {
    if (auto error = check(Operation::readFile, path))
        return *error;
    return m_inner->readFile(path);
}

} // namespace Orvoinstaller::Testing
