#include "base/Result.h"

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
    case ENOTDIR:
        return ErrorKind::missing;
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

} // namespace Orvoinstaller
