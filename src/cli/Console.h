#pragma once

#include "platform/Output.h"

#include <cstdio>
#include <mutex>

namespace Orvoinstaller {

// The command line's printer. Trace lines go to one stream (standard output, or standard
// error when standard output carries a document), from any thread; the progress line is
// redrawn in place on standard error when that is a terminal, and cleared before any other
// line so that the two never share a line.
class Console : public DiagnosticOutput {
public:
    explicit Console(std::FILE* trace);

    void line(const QString& text) override;
    void toOutput(const QString& text); // standard output
    void toError(const QString& text);  // standard error
    void progress(const QString& text);
    void endProgress();

private:
    void write(std::FILE* stream, const QString& text);
    void clearProgress();

    std::mutex m_mutex;
    std::FILE* m_trace;
    bool m_terminal;
    bool m_progressShown = false;
};

} // namespace Orvoinstaller
