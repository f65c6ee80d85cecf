#include "ui/Previews.h"

#include "platform/FileSystem.h"
#include "platform/Worker.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImageReader>
#include <QPointer>

namespace Orvoinstaller {

namespace {

// A picture larger than this is no preview: decoding it would take memory and time.
constexpr qint64 maximumFileBytes = 16 * 1024 * 1024;
constexpr qint64 maximumPixels = 4096LL * 4096;

QImage loadPreview(const FileReader& fs, const QString& folder, QSize box) {
    for (const char* name : {"small.png", "large.png"}) {
        const QString path = folder + QLatin1Char('/') + QLatin1String(name);
        // Regular files only: a FIFO or device would block or act on hardware.
        const FileReader::Facts facts = fs.facts(path);
        if (facts.type != FileReader::Type::file || facts.size > maximumFileBytes)
            continue;
        auto read = fs.readFile(path);
        if (!read)
            continue;
        QByteArray bytes = std::move(read).value();
        QBuffer buffer(&bytes);
        QImageReader reader(&buffer);
        const QSize size = reader.size();
        if (!size.isValid() || qint64(size.width()) * size.height() > maximumPixels)
            continue;
        reader.setScaledSize(size.scaled(box, Qt::KeepAspectRatio));
        const QImage image = reader.read();
        if (!image.isNull())
            return image;
    }
    return {};
}

} // namespace

Previews::Previews(std::shared_ptr<const FileReader> fileSystem, std::shared_ptr<Worker> worker,
                   QObject* parent)
    : QObject(parent), m_fileSystem(std::move(fileSystem)), m_worker(std::move(worker)) {}

Previews::~Previews() = default;

QPixmap Previews::preview(const QString& folder) {
    const auto found = m_pictures.constFind(folder);
    if (found != m_pictures.cend())
        return *found;
    m_pictures.insert(folder, QPixmap());
    if (!m_fileSystem || !m_worker)
        return {};
    const QSize pixels = box() * qApp->devicePixelRatio();
    m_worker->post([self = QPointer<Previews>(this), fs = m_fileSystem, folder, pixels] {
        const QImage image = loadPreview(*fs, folder, pixels);
        if (image.isNull())
            return;
        // Asked on the main thread, where this object is deleted: the worker outlives it.
        QMetaObject::invokeMethod(
            qApp,
            [self, folder, image] {
                if (!self)
                    return;
                QPixmap picture = QPixmap::fromImage(image);
                picture.setDevicePixelRatio(qApp->devicePixelRatio());
                self->m_pictures.insert(folder, picture);
                Q_EMIT self->loaded(folder);
            },
            Qt::QueuedConnection);
    });
    return {};
}

} // namespace Orvoinstaller
