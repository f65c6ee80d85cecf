#pragma once

#include <QHash>
#include <QObject>
#include <QPixmap>

#include <memory>

namespace Orvoinstaller {

class FileReader;
class Worker;

// The editor's preview pictures of the templates (small.png, else large.png in a template's
// folder), read and scaled on the worker thread, and only for the rows asked for, so a pack
// of thousands of templates starts as fast as one without pictures.
class Previews : public QObject {
    Q_OBJECT

public:
    // Without a file system or a worker there are no pictures.
    Previews(std::shared_ptr<const FileReader> fileSystem, std::shared_ptr<Worker> worker,
             QObject* parent = nullptr);
    ~Previews() override;

    // The picture of the template in `folder`, scaled to fit `box`; null until it is loaded
    // (loaded() says when) and for good when there is none, or it is broken or huge.
    QPixmap preview(const QString& folder);
    static QSize box() { return {40, 24}; }

Q_SIGNALS:
    void loaded(const QString& folder);

private:
    QHash<QString, QPixmap> m_pictures; // asked for; null while loading or when there is none
    std::shared_ptr<const FileReader> m_fileSystem;
    std::shared_ptr<Worker> m_worker;
};

} // namespace Orvoinstaller
