#include "platform/Language.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QTranslator>

#include <memory>

namespace Orvoinstaller::Language {

namespace {

// Where qt_add_translations puts the compiled translations, and how it names them.
const QString folder = QStringLiteral(":/i18n");
const QString prefix = QStringLiteral("installer_");

std::unique_ptr<QTranslator>& installed() {
    static std::unique_ptr<QTranslator> translator;
    return translator;
}

QString& inUse() {
    static QString language;
    return language;
}

} // namespace

QStringList translations() {
    QStringList codes;
    const QStringList files =
        QDir(folder).entryList({prefix + QStringLiteral("*.qm")}, QDir::Files, QDir::Name);
    for (const QString& file : files)
        codes << file.mid(prefix.size()).chopped(3);
    return codes;
}

QString choose(const QStringList& preferred, const QStringList& translations) {
    for (const QString& tag : preferred) {
        // "en-GB", "en_US", "zh-Hans-CN": the language is what comes before the region.
        const QString language =
            tag.section(QLatin1Char('-'), 0, 0).section(QLatin1Char('_'), 0, 0).toLower();
        if (language == QLatin1String("zh"))
            return {};
        if (translations.contains(language))
            return language;
    }
    return {};
}

bool use(const QString& language) {
    auto& translator = installed();
    if (translator) {
        QCoreApplication::removeTranslator(translator.get());
        translator.reset();
    }
    inUse().clear();
    if (language.isEmpty())
        return true;
    auto next = std::make_unique<QTranslator>();
    if (!next->load(prefix + language, folder))
        return false;
    QCoreApplication::installTranslator(next.get());
    translator = std::move(next);
    inUse() = language;
    return true;
}

QString current() {
    return inUse();
}

void useSystemPreference() {
    use(choose(QLocale::system().uiLanguages(), translations()));
}

} // namespace Orvoinstaller::Language
