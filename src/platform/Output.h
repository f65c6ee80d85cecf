#pragma once

#include <QString>

namespace Orvoinstaller {

// Where diagnostic lines go: one line per call.
class DiagnosticOutput {
public:
    virtual ~DiagnosticOutput() = default;
    virtual void line(const QString& text) = 0;
};

// Standard output. Lines written during one event-loop turn go out together at its end.
class StdoutOutput : public DiagnosticOutput {
public:
    void line(const QString& text) override;
};

} // namespace Orvoinstaller
