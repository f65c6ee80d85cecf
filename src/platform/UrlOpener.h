#pragma once

#include <QUrl>

namespace Orvoinstaller {

// Hands a web address to the system, which opens it with its default handler.
class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    // The outcome is not looked at.
    virtual void open(const QUrl& url) = 0;
};

} // namespace Orvoinstaller
