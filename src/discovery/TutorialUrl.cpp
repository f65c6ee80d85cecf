#include "discovery/TutorialUrl.h"

#include "discovery/Pack.h"
#include "platform/Utf8.h"

namespace Orvoinstaller {

std::optional<QUrl> parseTutorialAddress(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    const QUrl url(trimmed, QUrl::StrictMode);
    if (!url.isValid())
        return std::nullopt;
    return url;
}

std::optional<QUrl> readTutorialAddress(const FileReader& fs, const QString& resources,
                                        DiagnosticOutput& output, const QUrl& fallback) {
    std::optional<QUrl> address;
    const QString file = Pack{resources}.tutorialFile();
    const auto bytes = fs.readFile(file);
    const auto text = bytes ? decodeUtf8(bytes.value()) : std::nullopt;
    if (text) {
        address = parseTutorialAddress(*text);
    } else {
        output.line(QStringLiteral("无法读取教程URL: ") +
                    (bytes ? QStringLiteral("文件 “%1” 不是有效的 UTF-8 文本").arg(file)
                           : bytes.error().description()));
        address = fallback;
    }
    if (!address || !address->isValid())
        return std::nullopt;
    return address;
}

} // namespace Orvoinstaller
