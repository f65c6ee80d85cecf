#pragma once

#include "base/FolderType.h"
#include "platform/FileSystem.h"

#include <QString>

namespace Orvoinstaller {

// What a pack's resource folder holds, and every name a pack uses, in one place: the
// templates in one folder per kind, the fonts, the post-install script, the tutorial
// address and the location picture. Found through the discovery (findResourcePath), whose
// trace says where it looked.
struct Pack {
    QString resources; // the resource folder

    static QString fontsFolderName() { return QStringLiteral("Fonts"); }
    static QString scriptName() { return QStringLiteral("post.command"); }
    static QString tutorialFileName() { return QStringLiteral("tutorial_url.txt"); }
    static QString locationPictureName() { return QStringLiteral("插件位置.jpg"); }
    // The picture for the window in `language` ("en"), beside the Chinese one.
    static QString locationPictureName(const QString& language) {
        return language.isEmpty() ? locationPictureName()
                                  : QStringLiteral("插件位置.%1.jpg").arg(language);
    }

    // The folder holding the templates of one kind ("Titles", …).
    QString templatesFolder(FolderType kind) const {
        return joinPath(resources, resourceFolderName(kind));
    }
    QString fontsFolder() const { return joinPath(resources, fontsFolderName()); }
    QString script() const { return joinPath(resources, scriptName()); }
    QString tutorialFile() const { return joinPath(resources, tutorialFileName()); }
    QString locationPicture() const { return joinPath(resources, locationPictureName()); }
};

} // namespace Orvoinstaller
