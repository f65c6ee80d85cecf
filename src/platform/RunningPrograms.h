#pragma once

#include "base/Result.h"

#include <QCoreApplication>
#include <QStringList>

namespace Orvoinstaller {

// The programs running on this machine.
class RunningPrograms {
public:
    virtual ~RunningPrograms() = default;
    // The executable path of every process whose path can be read.
    virtual Result<QStringList> executablePaths() const = 0;
};

// The system's process list: libproc on macOS, /proc on Linux.
class SystemRunningPrograms : public RunningPrograms {
    Q_DECLARE_TR_FUNCTIONS(Orvoinstaller::SystemRunningPrograms)

public:
    Result<QStringList> executablePaths() const override;
};

} // namespace Orvoinstaller
