#include "install/EditorRestart.h"

#include <algorithm>

namespace Orvoinstaller {

bool editorIsRunning(const RunningPrograms* programs) {
    if (!programs)
        return false;
    const auto paths = programs->executablePaths();
    if (!paths)
        return false;
    return std::any_of(paths.value().begin(), paths.value().end(), [](const QString& path) {
        return path.endsWith(QLatin1String("/Final Cut Pro.app/Contents/MacOS/Final Cut Pro"));
    });
}

} // namespace Orvoinstaller
