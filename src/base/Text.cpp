#include "base/Text.h"

#include <QCoreApplication>

namespace Orvoinstaller {

Text::Text(Translator tr, const char* source, std::vector<Text> arguments)
    : m_tr(tr), m_source(source), m_arguments(std::move(arguments)) {}

Text::Text(QString verbatim) : m_verbatim(std::move(verbatim)) {}

template <typename Say> QString Text::say(Say sayArgument) const {
    if (!m_source)
        return m_verbatim;
    const QString pattern = sayArgument.pattern(m_tr, m_source);
    // One pass, so an argument that itself holds "%2" stays as it is.
    QString result;
    result.reserve(pattern.size());
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern[i];
        if (c == u'%' && i + 1 < pattern.size() && pattern[i + 1] >= u'1' &&
            pattern[i + 1] <= u'9') {
            const auto index = static_cast<size_t>(pattern[i + 1].unicode() - u'1');
            if (index < m_arguments.size()) {
                result += sayArgument(m_arguments[index]);
                ++i;
                continue;
            }
        }
        result += c;
    }
    return result;
}

namespace {

struct InSource {
    QString pattern(Text::Translator, const char* source) const {
        return QString::fromUtf8(source);
    }
    QString operator()(const Text& argument) const { return argument.source(); }
};

struct Translated {
    QString pattern(Text::Translator tr, const char* source) const {
        return tr(source, nullptr, -1);
    }
    QString operator()(const Text& argument) const { return argument.translated(); }
};

} // namespace

void Text::replace(const QString& before, const QString& after) {
    m_verbatim.replace(before, after);
    for (Text& argument : m_arguments)
        argument.replace(before, after);
}

QString Text::source() const {
    return say(InSource{});
}

QString Text::translated() const {
    return say(Translated{});
}

} // namespace Orvoinstaller
