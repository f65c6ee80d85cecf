#pragma once

#include <QString>
#include <QUrl>

namespace Orvoinstaller {

// Whose installer this is: the names, addresses and version a maker builds it with. The
// window shows these and nothing of anyone else's.
struct Branding {
    QString displayName; // the window's title and heading
    QString makerName;   // the credit line
    QUrl makerUrl;       // opened by the release-address link
    QUrl tutorialUrl;    // where the tutorial button leads when the pack names no address
    QString version;

    // The values this program was built with.
    static const Branding& build();
};

} // namespace Orvoinstaller
