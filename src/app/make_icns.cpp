// make_icns PICTURE OUT.icns: the bundle's icon from a maker's square PNG (build step).
#include "cli/Icns.h"

#include <QFile>
#include <QImage>

#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_icns PICTURE OUT.icns\n");
        return 2;
    }
    const QString in = QString::fromLocal8Bit(argv[1]);
    const auto icns = Orvoinstaller::icnsFromImage(QImage(in));
    if (const QString* reason = std::get_if<QString>(&icns)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], reason->toLocal8Bit().constData());
        return 1;
    }
    QFile out(QString::fromLocal8Bit(argv[2]));
    const QByteArray& bytes = std::get<QByteArray>(icns);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "%s: %s\n", argv[2], out.errorString().toLocal8Bit().constData());
        return 1;
    }
    return 0;
}
