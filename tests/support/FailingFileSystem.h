#pragma once

#include "platform/FileSystem.h"

#include <set>

#include <memory>
#include <utility>

namespace Orvoinstaller::Testing {

// Wraps a file system and makes chosen operations fail on chosen paths, for failures that
// permissions cannot provoke when the tests run as root.
class FailingFileSystem : public FileSystem {
public:
    enum class Operation {
        entryNames,
        visibleEntries,
        directoryFlag,  // the is-directory flag of entries listed in the given folder
        attributes,
        createDirectories,
        copyItem,       // matched against the source and the destination
        removeItem,
        replaceItem,    // matched against the source and the destination
        readFile,
    };

    explicit FailingFileSystem(std::shared_ptr<FileSystem> inner) : m_inner(std::move(inner)) {}

    // From now on `operation` on exactly `path` fails with a description naming both.
    void fail(Operation operation, const QString& path) { m_failures.insert({operation, path}); }
    // How often an operation failed because of fail().
    int failureCount() const { return m_failureCount; }

    QString homeDirectory() const override { return m_inner->homeDirectory(); }
    Result<QStringList> entryNames(const QString& dir) const override;
    Result<std::vector<Entry>> visibleEntries(const QString& dir,
                                              bool withDirectoryFlag) const override;
    bool exists(const QString& path) const override { return m_inner->exists(path); }
    bool isDirectory(const QString& path) const override { return m_inner->isDirectory(path); }
    Result<QString> attributes(const QString& path) const override;
    Status createDirectories(const QString& path) override;
    Status copyItem(const QString& from, const QString& to) override;
    Status removeItem(const QString& path) override;
    Status replaceItem(const QString& from, const QString& to) override;
    Result<QByteArray> readFile(const QString& path) const override;

private:
    std::optional<Error> check(Operation operation, const QString& path) const;

    std::shared_ptr<FileSystem> m_inner;
    std::set<std::pair<Operation, QString>> m_failures;
    mutable int m_failureCount = 0;
};

} // namespace Orvoinstaller::Testing
