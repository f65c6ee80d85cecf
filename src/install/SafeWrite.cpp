#include "install/SafeWrite.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QUuid>

namespace Orvoinstaller {

namespace {

const QLatin1String temporaryPrefix(".orvo-tmp-");

template <typename Copy, typename Move>
Failure copyThenMove(FileWriter& fs, const QString& target, const Staged& staged, Copy copy,
                     Move move) {
    const QString temporary = temporaryPath(parentPath(target));
    Failure error = copy(temporary);
    if (!error && staged)
        error = staged(temporary, target);
    if (!error)
        error = move(temporary, target);
    if (error) {
        fs.removeItem(temporary);
        // The temporary's name means nothing to the reader; the target's does.
        error->replace(temporary, target);
    }
    return error;
}

} // namespace

QString temporaryPath(const QString& folder) {
    return joinPath(folder, temporaryPrefix + QUuid::createUuid().toString(QUuid::Id128));
}

bool isTemporaryName(const QString& name) {
    // ".orvo-" alone with the same digits is what earlier versions left behind.
    static const QRegularExpression pattern(QStringLiteral("^\\.orvo-(tmp-)?[0-9a-f]{32}$"));
    return pattern.match(name).hasMatch();
}

void removeTemporaries(FileSystem& fs, const QString& folder) {
    const auto names = fs.entryNames(folder);
    if (!names)
        return;
    for (const QString& name : names.value())
        if (isTemporaryName(name))
            fs.removeItem(joinPath(folder, name));
}

Failure copyNew(FileWriter& fs, const QString& source, const QString& target,
                const CopyProgress& progress, const Staged& staged) {
    return copyThenMove(
        fs, target, staged, [&](const QString& to) { return fs.copyItem(source, to, progress); },
        [&](const QString& from, const QString& to) { return fs.moveNew(from, to); });
}

Failure replaceWithCopy(FileWriter& fs, const QString& source, const QString& target,
                        const CopyProgress& progress, const Staged& staged) {
    return copyThenMove(
        fs, target, staged, [&](const QString& to) { return fs.copyItem(source, to, progress); },
        [&](const QString& from, const QString& to) { return fs.replaceItem(from, to); });
}

Failure replaceWithClone(FileWriter& fs, const QString& source, const QString& target,
                         const Staged& staged) {
    return copyThenMove(
        fs, target, staged, [&](const QString& to) { return fs.cloneItem(source, to); },
        [&](const QString& from, const QString& to) { return fs.replaceItem(from, to); });
}

namespace {

// Says why a safe write left a path alone.
struct Refusal {
    Q_DECLARE_TR_FUNCTIONS(Orvoinstaller::Refusal)

public:
    static Error link(const QString& path) {
        return Error::of(ErrorKind::unsafe,
                         Text(tr,
                              QT_TR_NOOP("“%1” 是符号链接：安装程序不会写入链接指向的位置，"
                                         "链接和它指向的内容保持不变"),
                              {path}));
    }

    static Error otherType(const QString& path) {
        return Error::of(
            ErrorKind::unsafe,
            Text(tr, QT_TR_NOOP("“%1” 不是普通文件、文件夹或链接，不会打开它"), {path}));
    }

    static Error folder(const QString& path) {
        return Error::of(
            ErrorKind::exists,
            Text(tr, QT_TR_NOOP("“%1” 是文件夹，不能用文件替换：文件夹及其中的内容保持不变"),
                 {path}));
    }
};

} // namespace

Error linkRefused(const QString& path) {
    return Refusal::link(path);
}

Error otherTypeRefused(const QString& path) {
    return Refusal::otherType(path);
}

Error folderKept(const QString& path) {
    return Refusal::folder(path);
}

} // namespace Orvoinstaller
