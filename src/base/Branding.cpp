#include "base/Branding.h"

#include "BuildBranding.h"

namespace Orvoinstaller {

const Branding& Branding::build() {
    static const Branding branding{
        QStringLiteral(PLUGININSTALLER_BRAND_DISPLAY_NAME),
        QStringLiteral(PLUGININSTALLER_BRAND_MAKER_NAME),
        QUrl(QStringLiteral(PLUGININSTALLER_BRAND_MAKER_URL), QUrl::StrictMode),
        QUrl(QStringLiteral(PLUGININSTALLER_BRAND_TUTORIAL_URL), QUrl::StrictMode),
        QStringLiteral(PLUGININSTALLER_BRAND_VERSION)};
    return branding;
}

} // namespace Orvoinstaller
