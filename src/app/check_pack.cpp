// check_pack PACK: the pack check the build runs before laying a pack into the bundle, the
// same --make-installer runs. Errors stop the build; warnings are printed and it goes on.
#include "install/PackCheck.h"
#include "platform/Language.h"
#include "platform/RealFileSystem.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: check_pack PACK\n");
        return 2;
    }
    Orvoinstaller::Language::useSystemPreference();
    Orvoinstaller::RealFileSystem fs;
    const QString pack = QDir::cleanPath(
        QDir(QDir::currentPath()).absoluteFilePath(QString::fromLocal8Bit(argv[1])));
    bool failed = false;
    for (const auto& finding : Orvoinstaller::checkPack(fs, pack)) {
        failed = failed || finding.severity == Orvoinstaller::PackFinding::Severity::error;
        std::fprintf(stderr, "%s\n", describe(finding).translated().toUtf8().constData());
    }
    return failed ? 1 : 0;
}
