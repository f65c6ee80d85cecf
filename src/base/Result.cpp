#include "base/Result.h"

#include <QCoreApplication>

#include <cerrno>

namespace Orvoinstaller {

QString errorCode(ErrorKind kind) {
    switch (kind) {
    case ErrorKind::cancelled:
        return QStringLiteral("cancelled");
    case ErrorKind::refused:
        return QStringLiteral("refused");
    case ErrorKind::missing:
        return QStringLiteral("missing");
    case ErrorKind::exists:
        return QStringLiteral("exists");
    case ErrorKind::noSpace:
        return QStringLiteral("no-space");
    case ErrorKind::invalidName:
        return QStringLiteral("invalid-name");
    case ErrorKind::unsafe:
        return QStringLiteral("unsafe");
    case ErrorKind::io:
        break;
    }
    return QStringLiteral("io");
}

ErrorKind errorKindOf(int code) {
    switch (code) {
    case EACCES:
    case EPERM:
    case EROFS:
        return ErrorKind::refused;
    case ENOENT:
        return ErrorKind::missing;
    // A file where a folder should be: something in the way, which is kept.
    case ENOTDIR:
    case EEXIST:
    case ENOTEMPTY:
    case EISDIR:
        return ErrorKind::exists;
    case ENOSPC:
    case EDQUOT:
        return ErrorKind::noSpace;
    case ENAMETOOLONG:
        return ErrorKind::invalidName;
    case ELOOP:
        return ErrorKind::unsafe;
    case ECANCELED:
        return ErrorKind::cancelled;
    default:
        return ErrorKind::io;
    }
}

namespace {

// Says the system's reasons, the end of most error texts.
struct SystemReason {
    Q_DECLARE_TR_FUNCTIONS(Orvoinstaller::SystemReason)

public:
    static Text of(int code, const QString& raw);
};

} // namespace

Text systemReason(int code, const QString& raw) {
    return SystemReason::of(code, raw);
}

Text SystemReason::of(int code, const QString& raw) {
    // The system's own messages are in English whatever the user reads; these are not.
    switch (code) {
    case ENOENT:
        return Text(tr, QT_TR_NOOP("没有这个文件或文件夹"));
    case EACCES:
        return Text(tr, QT_TR_NOOP("没有权限"));
    case EPERM:
        return Text(tr, QT_TR_NOOP("不允许这样操作"));
    case EEXIST:
        return Text(tr, QT_TR_NOOP("已经存在"));
    case ENOTDIR:
        return Text(tr, QT_TR_NOOP("路径中有一项不是文件夹"));
    case EISDIR:
        return Text(tr, QT_TR_NOOP("这是一个文件夹"));
    case ENOTEMPTY:
        return Text(tr, QT_TR_NOOP("文件夹不是空的"));
    case ENOSPC:
        return Text(tr, QT_TR_NOOP("磁盘空间不足"));
    case EDQUOT:
        return Text(tr, QT_TR_NOOP("超出了磁盘配额"));
    case EROFS:
        return Text(tr, QT_TR_NOOP("磁盘是只读的"));
    case ENAMETOOLONG:
        return Text(tr, QT_TR_NOOP("名称太长"));
    case ELOOP:
        return Text(tr, QT_TR_NOOP("符号链接层数太多"));
    case EBUSY:
    case ETXTBSY:
        return Text(tr, QT_TR_NOOP("正在被其他程序使用"));
    case EXDEV:
        return Text(tr, QT_TR_NOOP("不能跨磁盘移动"));
    case EIO:
        return Text(tr, QT_TR_NOOP("读写磁盘时出错"));
    case EMFILE:
    case ENFILE:
        return Text(tr, QT_TR_NOOP("打开的文件太多"));
    case EFBIG:
        return Text(tr, QT_TR_NOOP("文件太大"));
    case ENOMEM:
        return Text(tr, QT_TR_NOOP("内存不足"));
    case EINVAL:
        return Text(tr, QT_TR_NOOP("参数无效"));
    case ENOTSUP:
#if EOPNOTSUPP != ENOTSUP
    case EOPNOTSUPP:
#endif
        return Text(tr, QT_TR_NOOP("这个磁盘不支持这项操作"));
    default:
        return Text(raw);
    }
}

} // namespace Orvoinstaller
