#include "platform/RunningPrograms.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <libproc.h>
#include <sys/proc_info.h>
#include <vector>

namespace Orvoinstaller {

Result<QStringList> SystemRunningPrograms::executablePaths() const {
    const auto listFailure = [] {
        const int code = errno;
        return Error::saying(Text(tr, QT_TR_NOOP("无法列出正在运行的程序: %1"),
                                  {QString::fromLocal8Bit(std::strerror(code))}),
                             code);
    };
    // With no buffer the call answers how many processes there are.
    const int count = proc_listallpids(nullptr, 0);
    if (count <= 0)
        return listFailure();
    // Room for processes started between the two calls.
    std::vector<pid_t> pids(static_cast<size_t>(count) + 64);
    const int listed = proc_listallpids(pids.data(), static_cast<int>(pids.size() * sizeof(pid_t)));
    if (listed <= 0)
        return listFailure();
    pids.resize(std::min(pids.size(), static_cast<size_t>(listed)));

    QStringList paths;
    char path[PROC_PIDPATHINFO_MAXSIZE];
    for (const pid_t pid : pids) {
        if (pid <= 0)
            continue;
        // Processes that ended meanwhile, or that belong to the system, answer nothing.
        const int length = proc_pidpath(pid, path, sizeof(path));
        if (length > 0)
            paths << QString::fromUtf8(path, length);
    }
    return paths;
}

} // namespace Orvoinstaller
