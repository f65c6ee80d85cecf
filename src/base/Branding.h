#pragma once

#include "base/Text.h"

#include <QCoreApplication>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>

namespace Orvoinstaller {

// Whose installer this is: the names, addresses and version the bundle's Info.plist gives,
// so that one built program serves every maker. The window shows these and nothing of
// anyone else's.
struct Branding {
    Q_DECLARE_TR_FUNCTIONS(Orvoinstaller::Branding)

public:
    QString displayName; // the window's title and heading
    QString makerName;   // the credit line
    QUrl makerUrl;       // opened by the release-address link
    QUrl tutorialUrl;    // where the tutorial button leads when the pack names no address
    QString version;

    // The Info.plist keys: Apple's where one means the same, ours for the rest.
    static QString displayNameKey() { return QStringLiteral("CFBundleDisplayName"); }
    static QString versionKey() { return QStringLiteral("CFBundleShortVersionString"); }
    static QString makerNameKey() { return QStringLiteral("PluginInstallerMakerName"); }
    static QString makerUrlKey() { return QStringLiteral("PluginInstallerMakerURL"); }
    static QString tutorialUrlKey() { return QStringLiteral("PluginInstallerTutorialURL"); }

    // The build's own defaults (the top CMakeLists' options say the same).
    static const Branding& defaults();
    // From the strings of an Info.plist. A missing key keeps the default; so does an unusable
    // value, with one line in `problems` saying which and why.
    static Branding fromInfo(const QHash<QString, QString>& info, QStringList& problems);

    // Why a value cannot be used, if it cannot: the same rules the build's options follow.
    // A text: not empty, on one line.
    static std::optional<Text> textProblem(const QString& text);
    // An address the window may open: http or https, with a host.
    static std::optional<Text> addressProblem(const QString& address);
    // A version: one to three numbers separated by dots.
    static std::optional<Text> versionProblem(const QString& version);
};

} // namespace Orvoinstaller
