#pragma once

#include <QString>

#include <vector>

namespace Orvoinstaller {

// Words for people, kept apart from any one language: a source text in Chinese with its
// arguments. Said in Chinese where scripts read it (the trace), in the user's language where
// people do (the window), which may change while the program runs.
//
// A text is said by one class, in that class's translation context: its tr() now, or later
// through a Text that keeps the class's tr(). A class that speaks has Q_OBJECT or
// Q_DECLARE_TR_FUNCTIONS(Orvoinstaller::Name), so that tr() looks up the context lupdate
// writes for it, and free functions speak through the class-like holder of their file.
class Text {
public:
    // A class's tr(), the same for Q_OBJECT and Q_DECLARE_TR_FUNCTIONS.
    using Translator = QString (*)(const char* source, const char* disambiguation, int n);

    Text() = default;
    // `source` is marked QT_TR_NOOP in a member of the class whose tr() this is, so that
    // lupdate files it under that class; %1 to %9 stand for the arguments.
    Text(Translator tr, const char* source, std::vector<Text> arguments = {});
    // Words no translation touches: names, paths, the system's own messages.
    Text(QString verbatim);

    QString source() const;
    QString translated() const;
    // Replaces in the verbatim words (a path, say), never in a source text.
    void replace(const QString& before, const QString& after);
    bool isEmpty() const { return !m_source && m_verbatim.isEmpty(); }

private:
    template <typename Say> QString say(Say sayArgument) const;

    Translator m_tr = nullptr;
    const char* m_source = nullptr;
    QString m_verbatim;
    std::vector<Text> m_arguments;
};

} // namespace Orvoinstaller
