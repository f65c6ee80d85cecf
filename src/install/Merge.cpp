#include "install/SafeWrite.h"
#include "model/InstallerViewModel.h"

namespace Orvoinstaller {

// Brings the destination up to date entry by entry. What the destination alone has stays;
// a folder is never replaced, a link is never written through, and only regular files are
// ever opened. Stops at the first entry that cannot be merged.
Status InstallerViewModel::mergeDirectories(const QString& source, const QString& destination) {
    using Type = FileSystem::Type;
    FileSystem& fs = *m_platform.fileSystem;
    print(QStringLiteral("开始合并目录: ") + source + QStringLiteral(" -> ") + destination);

    const Type destinationType = fs.type(destination);
    if (destinationType == Type::link)
        return linkRefused(destination);
    if (destinationType == Type::other)
        return otherTypeRefused(destination);
    if (destinationType == Type::missing) {
        if (auto error = fs.createDirectories(destination))
            return error;
    } else if (destinationType == Type::folder) {
        removeTemporaries(fs, destination);
    }
    const auto children = fs.visibleEntries(source, true);
    if (!children)
        return children.error();

    for (const FileSystem::Entry& child : children.value()) {
        // A folder without visible entries has nothing to put into a file in its place.
        if (destinationType == Type::file)
            return Error::saying(
                Text(QT_TRANSLATE_NOOP("Orvoinstaller", "“%1” 是文件，不能把 “%2” 合并进去"),
                     {destination, child.path}));
        const QString target = joinPath(destination, lastComponent(child.path));
        // An unreadable type counts as a file: every step below checks before it opens.
        const Type childType = child.type.value_or(Type::file);
        if (childType == Type::other)
            return otherTypeRefused(child.path);
        const Type targetType = fs.type(target);
        Status error;
        if (targetType == Type::missing) {
            error = copyNew(fs, child.path, target);
        } else if (targetType == Type::other) {
            error = otherTypeRefused(target);
        } else if (childType == Type::folder) {
            error = targetType == Type::link ? linkRefused(target)
                                             : mergeDirectories(child.path, target);
        } else if (targetType == Type::folder) {
            error = folderKept(target);
        } else if (childType == Type::file && fs.sameRegularFile(child.path, target)) {
            continue; // already installed byte for byte: a fresh copy would change nothing
        } else {
            // A link at the target is replaced itself, never followed.
            error = replaceWithCopy(fs, child.path, target);
        }
        if (error)
            return error;
    }

    print(QStringLiteral("目录合并完成: ") + source);
    return std::nullopt;
}

} // namespace Orvoinstaller
