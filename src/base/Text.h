#pragma once

#include <QString>

#include <vector>

namespace Orvoinstaller {

// Words for people, kept apart from any one language: a source text in Chinese with its
// arguments. Said in Chinese where scripts read it (the trace), in the user's language where
// people do (the window), which may change while the program runs.
class Text {
public:
    // The translation context of every source text in the core.
    static constexpr const char* context = "Orvoinstaller";

    Text() = default;
    // `source` is marked QT_TRANSLATE_NOOP("Orvoinstaller", ...) where it is written, so that
    // lupdate finds it; %1 to %9 stand for the arguments.
    explicit Text(const char* source, std::vector<Text> arguments = {});
    // Words no translation touches: names, paths, the system's own messages.
    Text(QString verbatim);

    QString source() const;
    QString translated() const;
    // Replaces in the verbatim words (a path, say), never in a source text.
    void replace(const QString& before, const QString& after);
    bool isEmpty() const { return !m_source && m_verbatim.isEmpty(); }

private:
    template <typename Say> QString say(Say sayArgument) const;

    const char* m_source = nullptr;
    QString m_verbatim;
    std::vector<Text> m_arguments;
};

} // namespace Orvoinstaller
