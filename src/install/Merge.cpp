#include "model/InstallerViewModel.h"

#include <QUuid>

namespace Orvoinstaller {

namespace {

// A hidden name beside `target`, so a copy that is cut short is never merged as content.
QString temporarySibling(const QString& target) {
    return joinPath(parentPath(target),
                    QStringLiteral(".orvo-") + QUuid::createUuid().toString(QUuid::Id128));
}

// Puts a copy of `source` where `target` stands without losing the target when the copy
// fails: the copy is made beside it first, then the target is moved aside, the copy moved
// in, and only then the old entry removed. Moving onto a free name rather than over the
// target also spares ext4 the forced write-out it starts for a file renamed over another.
Status replaceWithCopy(FileSystem& fs, const QString& source, const QString& target) {
    const QString copy = temporarySibling(target);
    if (auto error = fs.copyItem(source, copy)) {
        fs.removeItem(copy);
        return error;
    }
    const QString aside = temporarySibling(target);
    if (auto error = fs.replaceItem(target, aside)) {
        fs.removeItem(copy);
        return error;
    }
    if (auto error = fs.replaceItem(copy, target)) {
        fs.replaceItem(aside, target);
        fs.removeItem(copy);
        return error;
    }
    return fs.removeItem(aside);
}

} // namespace

Status InstallerViewModel::mergeDirectories(const QString& source, const QString& destination) {
    FileSystem& fs = *m_platform.fileSystem;
    print(QStringLiteral("开始合并目录: ") + source + QStringLiteral(" -> ") + destination);

    if (!fs.exists(destination)) {
        if (auto error = fs.createDirectories(destination))
            return error;
    }
    const auto children = fs.visibleEntries(source, true);
    if (!children)
        return children.error();

    for (const FileSystem::Entry& child : children.value()) {
        const QString target = joinPath(destination, lastComponent(child.path));
        // An unreadable is-directory flag counts as a file.
        const bool childIsFolder = child.isDirectory.value_or(false);
        if (!fs.exists(target)) {
            if (auto error = fs.copyItem(child.path, target))
                return error;
        } else if (childIsFolder) {
            if (auto error = mergeDirectories(child.path, target))
                return error;
        } else if (fs.sameRegularFile(child.path, target)) {
            // Already installed byte for byte: a fresh copy would change nothing.
            continue;
        } else if (auto error = replaceWithCopy(fs, child.path, target)) {
            return error;
        }
    }

    print(QStringLiteral("目录合并完成: ") + source);
    return std::nullopt;
}

} // namespace Orvoinstaller
