#include "discovery/TutorialUrl.h"

#include "discovery/Pack.h"
#include "platform/Utf8.h"

namespace Orvoinstaller {

namespace {

bool isTrimmable(QChar c) {
    switch (c.unicode()) {
    case 0x09:
    case 0x0A:
    case 0x0B:
    case 0x0C:
    case 0x0D:
    case 0x85:
        return true;
    default:
        return c.category() == QChar::Separator_Space || c.category() == QChar::Separator_Line ||
               c.category() == QChar::Separator_Paragraph;
    }
}

} // namespace

std::optional<QUrl> parseTutorialAddress(const QString& text) {
    qsizetype begin = 0, end = text.size();
    while (begin < end && isTrimmable(text[begin]))
        ++begin;
    while (end > begin && isTrimmable(text[end - 1]))
        --end;
    const QString trimmed = text.mid(begin, end - begin);
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
