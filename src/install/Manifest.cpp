#include "install/Manifest.h"

namespace Orvoinstaller {

struct ManifestRecorder::State {
    FileSystem& fs;
    ManifestLocation location;
};

ManifestLocation defaultManifestLocation(const QString& templatesFolder) {
    return ManifestLocation{QString(), QString(), templatesFolder};
}

ManifestRecorder::ManifestRecorder(FileSystem& fs, ManifestLocation location)
    : m_state(std::make_unique<State>(State{fs, std::move(location)})) {}

ManifestRecorder::~ManifestRecorder() = default;

TemplateInstaller::Installed ManifestRecorder::observer() {
    return [](const QString&) {};
}

Status ManifestRecorder::save() {
    return std::nullopt;
}

UninstallReport uninstallRecorded(FileSystem&, const ManifestLocation&, bool) {
    UninstallReport report;
    report.refused = Error{QStringLiteral("没有安装记录")};
    return report;
}

} // namespace Orvoinstaller
