#pragma once

#include <QString>

namespace Orvoinstaller {

// Where diagnostic lines go: one line per call, written at once.
class DiagnosticOutput {
public:
    virtual ~DiagnosticOutput() = default;
    virtual void line(const QString& text) = 0;
};

// Standard output, flushed after every line so it interleaves with child processes.
class StdoutOutput : public DiagnosticOutput {
public:
    void line(const QString& text) override;
};

} // namespace Orvoinstaller
