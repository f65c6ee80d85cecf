#pragma once

#include "platform/FileSystem.h"

#include <QCoreApplication>

namespace Orvoinstaller {

// The machine's file system, through std::filesystem and POSIX.
class RealFileSystem : public FileSystem {
    Q_DECLARE_TR_FUNCTIONS(Orvoinstaller::RealFileSystem)

public:
    // An empty home means the current user's: HOME, as the system's own tools take it. An
    // empty data folder means that home's own.
    explicit RealFileSystem(QString home = {}, QString dataFolder = {});

    QString homeDirectory() const override;
    QString dataFolder() const override;
    Result<std::vector<Entry>> entries(const QString& dir, bool withHidden) const override;
    Facts facts(const QString& path, bool followLinks = false) const override;
    QString resolvedPath(const QString& path) const override;
    Result<QString> attributes(const QString& path) const override;
    Failure createDirectories(const QString& path) override;
    Failure copyItem(const QString& from, const QString& to,
                     const CopyProgress& progress = {}) override;
    Failure cloneItem(const QString& from, const QString& to) override;
    Failure removeItem(const QString& path) override;
    Failure removeFile(const QString& path) override;
    Failure removeEmptyFolder(const QString& path) override;
    Failure replaceItem(const QString& from, const QString& to) override;
    Failure moveNew(const QString& from, const QString& to) override;
    bool keepsModes(const QString& scratch) override;
    Failure exchangeItems(const QString& first, const QString& second) override;
    Result<QByteArray> readFile(const QString& path) const override;
    Result<std::unique_ptr<Lock>> tryLock(const QString& path) override;
    bool sameRegularFile(const QString& first, const QString& second) const override;
    bool sameContent(const QString& first, const QString& second) const override;
    std::optional<qint64> freeBytes(const QString& path) const override;
    Failure writeFileAtomically(const QString& path, const QByteArray& bytes) override;
    Failure appendDurably(const QString& path, const QByteArray& bytes) override;

private:
    QString m_home;
    QString m_dataFolder;
};

} // namespace Orvoinstaller
