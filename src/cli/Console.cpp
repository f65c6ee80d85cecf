#include "cli/Console.h"

#include "platform/Terminal.h"

namespace Orvoinstaller {

Console::Console(std::FILE* trace) : m_trace(trace), m_terminal(standardErrorIsTerminal()) {}

void Console::line(const QString& text) {
    write(m_trace, text);
}

void Console::toOutput(const QString& text) {
    write(stdout, text);
}

void Console::toError(const QString& text) {
    write(stderr, text);
}

void Console::write(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8().append('\n');
    std::lock_guard lock(m_mutex);
    clearProgress();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stream);
    std::fflush(stream);
}

void Console::progress(const QString& text) {
    if (!m_terminal)
        return;
    const QByteArray bytes = "\r\x1b[K" + text.toUtf8();
    std::lock_guard lock(m_mutex);
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
    std::fflush(stderr);
    m_progressShown = true;
}

void Console::endProgress() {
    std::lock_guard lock(m_mutex);
    clearProgress();
}

void Console::clearProgress() {
    if (!m_progressShown)
        return;
    std::fputs("\r\x1b[K", stderr);
    std::fflush(stderr);
    m_progressShown = false;
}

} // namespace Orvoinstaller
