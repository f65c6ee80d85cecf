#include "base/Branding.h"

#include <QRegularExpression>

namespace Orvoinstaller {

const Branding& Branding::defaults() {
    static const Branding branding{
        QStringLiteral("插件安装工具"), QStringLiteral("Orvo Studio"),
        QUrl(QStringLiteral("https://www.orvo.studio/"), QUrl::StrictMode),
        QUrl(QStringLiteral("https://www.orvo.studio/"), QUrl::StrictMode),
        QStringLiteral("1.0.0")};
    return branding;
}

std::optional<Text> Branding::textProblem(const QString& text) {
    if (text.trimmed().isEmpty())
        return Text(tr, QT_TR_NOOP("不能为空"));
    for (const QChar c : text)
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            return Text(tr, QT_TR_NOOP("只能是一行文字"));
    return std::nullopt;
}

std::optional<Text> Branding::addressProblem(const QString& address) {
    static const QRegularExpression form(
        QStringLiteral("^https?://[A-Za-z0-9.-]+(:[0-9]+)?(/[^ \"\\\\<>\\x00-\\x1f\\x7f]*)?$"));
    if (!form.match(address).hasMatch() || !QUrl(address, QUrl::StrictMode).isValid())
        return Text(tr, QT_TR_NOOP("应为 http 或 https 地址，例如 https://www.example.com/"));
    return std::nullopt;
}

std::optional<Text> Branding::versionProblem(const QString& version) {
    static const QRegularExpression form(QStringLiteral("^[0-9]+(\\.[0-9]+){0,2}$"));
    if (!form.match(version).hasMatch())
        return Text(tr, QT_TR_NOOP("应为一到三个以点分隔的数字，例如 1.2.0"));
    return std::nullopt;
}

Branding Branding::fromInfo(const QHash<QString, QString>& info, QStringList& problems) {
    Branding branding = defaults();
    const auto take = [&](const QString& key, auto problem, auto store, const QString& fallback) {
        const auto value = info.constFind(key);
        if (value == info.constEnd())
            return;
        if (const auto why = problem(*value))
            problems << QStringLiteral("Info.plist 的 %1 “%2” 不可用（%3），改用默认值 “%4”")
                            .arg(key, *value, why->source(), fallback);
        else
            store(*value);
    };
    const Branding& fallback = defaults();
    take(
        displayNameKey(), textProblem, [&](const QString& v) { branding.displayName = v; },
        fallback.displayName);
    take(
        makerNameKey(), textProblem, [&](const QString& v) { branding.makerName = v; },
        fallback.makerName);
    take(
        makerUrlKey(), addressProblem,
        [&](const QString& v) { branding.makerUrl = QUrl(v, QUrl::StrictMode); },
        fallback.makerUrl.toString());
    take(
        tutorialUrlKey(), addressProblem,
        [&](const QString& v) { branding.tutorialUrl = QUrl(v, QUrl::StrictMode); },
        fallback.tutorialUrl.toString());
    take(
        versionKey(), versionProblem, [&](const QString& v) { branding.version = v; },
        fallback.version);
    return branding;
}

} // namespace Orvoinstaller
