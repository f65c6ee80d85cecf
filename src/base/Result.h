#pragma once

#include "base/Text.h"

#include <QString>

#include <optional>
#include <utility>
#include <variant>

namespace Orvoinstaller {

// What kind of failure an error is, for code that must act on it (cancel ends a run, a
// refusal sends fonts to the user's folder) and for scripts that read the command line's
// report: never learned by comparing texts.
enum class ErrorKind {
    cancelled,   // stopped when asked
    refused,     // the system said no: permissions, a read-only volume
    missing,     // something needed is not there
    exists,      // something in the way that is kept
    noSpace,     // the volume is full
    invalidName, // a name that cannot be a folder's
    unsafe,      // a link or special file the installer will not write through or open
    io,          // any other failure of the system
};

// The word a script tests: "no-space", "invalid-name", …
QString errorCode(ErrorKind kind);
// The kind of a failure the system reported with `code` (an errno value).
ErrorKind errorKindOf(int code);
// The reason the system gave with `code`, in words every language of the program has; `raw`,
// the system's own message, where the code is not a common one.
Text systemReason(int code, const QString& raw);

// A failure: its kind and one readable line naming the operation, the path and the reason,
// said in Chinese in the trace and in the user's language in the window.
struct Error {
    ErrorKind kind = ErrorKind::io;
    Text text;
    int code = 0; // the system's errno when it gave one

    // A failure of the system, its kind taken from `code`.
    static Error saying(Text text, int code = 0) {
        return Error{errorKindOf(code), std::move(text), code};
    }
    static Error of(ErrorKind kind, Text text) { return Error{kind, std::move(text), 0}; }

    QString description() const { return text.source(); } // the trace's words
    // A path named in the words, in both languages.
    void replace(const QString& before, const QString& after) { text.replace(before, after); }
    bool refused() const { return kind == ErrorKind::refused; }
    bool cancelled() const { return kind == ErrorKind::cancelled; }
};

// The outcome of an operation without a value: empty when it worked, the error when not.
using Failure = std::optional<Error>;

template <typename T> class Result {
public:
    Result(T value) : m_data(std::move(value)) {}
    Result(Error error) : m_data(std::move(error)) {}

    bool ok() const { return std::holds_alternative<T>(m_data); }
    explicit operator bool() const { return ok(); }
    const T& value() const& { return std::get<T>(m_data); }
    T&& value() && { return std::get<T>(std::move(m_data)); }
    const Error& error() const { return std::get<Error>(m_data); }

private:
    std::variant<T, Error> m_data;
};

} // namespace Orvoinstaller
