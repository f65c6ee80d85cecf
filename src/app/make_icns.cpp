// make_icns PICTURE OUT.icns: the bundle's icon from a maker's square PNG (build step).
#include "cli/Icns.h"
#include "platform/RealFileSystem.h"

#include <QDir>
#include <QImage>

#include <cstdio>

namespace {

QString absolute(const char* argument) {
    return QDir::cleanPath(
        QDir(QDir::currentPath()).absoluteFilePath(QString::fromLocal8Bit(argument)));
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_icns PICTURE OUT.icns\n");
        return 2;
    }
    Orvoinstaller::RealFileSystem fs;
    const auto picture = fs.readFile(absolute(argv[1]));
    if (!picture) {
        std::fprintf(stderr, "%s\n", picture.error().description().toLocal8Bit().constData());
        return 1;
    }
    const auto icns = Orvoinstaller::icnsFromImage(QImage::fromData(picture.value()));
    if (const QString* reason = std::get_if<QString>(&icns)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], reason->toLocal8Bit().constData());
        return 1;
    }
    if (const auto failed = fs.writeFileAtomically(absolute(argv[2]), std::get<QByteArray>(icns))) {
        std::fprintf(stderr, "%s\n", failed->description().toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
