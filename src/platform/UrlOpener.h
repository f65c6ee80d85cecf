#pragma once

#include <QUrl>

namespace Orvoinstaller {

// Hands a web address to the system, which opens it with its default handler.
class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    // False when the system found no handler for it, or the handler refused it.
    virtual bool open(const QUrl& url) = 0;
};

} // namespace Orvoinstaller
