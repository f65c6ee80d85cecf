#pragma once

#include "platform/Text.h"

#include <QString>

#include <cerrno>
#include <optional>
#include <utility>
#include <variant>

namespace Orvoinstaller {

// A platform failure: one readable line naming the operation, the path and the reason.
struct Error {
    QString description; // in Chinese, as the trace prints it
    int code = 0;        // the system's errno when it gave one
    Text text = {};      // the same words for the window; empty: the description as it is

    // Words the window says in the user's language.
    static Error saying(Text text, int code = 0) {
        return Error{text.source(), code, std::move(text)};
    }
    Text shown() const { return text.isEmpty() ? Text(description) : text; }
    // A path named in the words, in both languages.
    void replace(const QString& before, const QString& after) {
        description.replace(before, after);
        text.replace(before, after);
    }
    // The system said no: the caller may not write there, or the volume is read-only.
    bool refused() const { return code == EACCES || code == EPERM || code == EROFS; }
};

// Success of an operation without a value: empty means it worked.
using Status = std::optional<Error>;

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
