#include "cli/Console.h"

#include "platform/Terminal.h"

namespace Orvoinstaller {

Console::Console(bool trace, bool quiet)
    : m_trace(trace), m_quiet(quiet), m_terminal(!quiet && standardErrorIsTerminal()) {}

void Console::line(const QString& text) {
    if (m_trace)
        write(stderr, text);
}

void Console::toOutput(const QString& text) {
    hold(stdout, text);
}

void Console::document(const QString& text) {
    write(stdout, text);
}

void Console::toError(const QString& text) {
    write(stderr, text);
}

void Console::note(const QString& text) {
    hold(stderr, text);
}

void Console::hold(std::FILE* stream, const QString& text) {
    if (!m_quiet)
        return write(stream, text);
    std::lock_guard lock(m_mutex);
    m_held.append({stream, text});
}

void Console::release() {
    const auto held = [this] {
        std::lock_guard lock(m_mutex);
        return std::exchange(m_held, {});
    }();
    for (const auto& [stream, text] : held)
        write(stream, text);
}

void Console::write(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8().append('\n');
    std::lock_guard lock(m_mutex);
    clearProgress();
    const size_t size = static_cast<size_t>(bytes.size());
    if (std::fwrite(bytes.constData(), 1, size, stream) != size || std::fflush(stream) != 0)
        m_writeFailed = true;
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
