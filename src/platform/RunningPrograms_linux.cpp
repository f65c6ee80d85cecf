#include "platform/RunningPrograms.h"

#include <QFile>

#include <filesystem>

namespace fs = std::filesystem;

namespace Orvoinstaller {

namespace {

bool isProcessId(const std::string& name) {
    return !name.empty() && name.find_first_not_of("0123456789") == std::string::npos;
}

// The first argument, for processes whose executable link may not be read (another
// user's, without privileges).
QString firstArgument(const fs::path& process) {
    QFile file(QString::fromStdString((process / "cmdline").native()));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray line = file.read(4096);
    return QString::fromUtf8(line.left(line.indexOf('\0')));
}

} // namespace

Result<QStringList> SystemRunningPrograms::executablePaths() const {
    std::error_code ec;
    QStringList paths;
    for (fs::directory_iterator it("/proc", ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        const fs::path& process = it->path();
        if (!isProcessId(process.filename().native()))
            continue;
        std::error_code linkError;
        const fs::path executable = fs::read_symlink(process / "exe", linkError);
        const QString path =
            linkError ? firstArgument(process) : QString::fromStdString(executable.native());
        if (!path.isEmpty())
            paths << path;
    }
    if (ec)
        return Error::saying(Text(tr, QT_TR_NOOP("无法列出正在运行的程序 “/proc”: %1"),
                                  {systemReason(ec.value(), QString::fromStdString(ec.message()))}),
                             ec.value());
    return paths;
}

} // namespace Orvoinstaller
