#pragma once

#include "platform/Output.h"

#include <QList>
#include <QString>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <utility>

namespace Orvoinstaller {

// The command line's printer, from any thread. Standard output holds results only; standard
// error errors and notes (the waiting line, the progress line redrawn in place when standard
// error is a terminal, cleared before any other line), and the trace when it is asked for.
// Quiet, results and notes are held back until release(): a run that went well says nothing.
class Console : public DiagnosticOutput {
public:
    Console(bool trace, bool quiet);

    void line(const QString& text) override; // the trace
    void toOutput(const QString& text);
    void document(const QString& text); // standard output, even when quiet: it was asked for
    void toError(const QString& text);
    void note(const QString& text);
    void progress(const QString& text);
    void endProgress();
    // Prints what quiet held back, after a failure.
    void release();
    // Some line could not be written (a full disk, a closed pipe): the command has failed,
    // whatever it did, since its caller did not get all it was told.
    bool writeFailed() const { return m_writeFailed; }

private:
    void hold(std::FILE* stream, const QString& text);
    void write(std::FILE* stream, const QString& text);
    void clearProgress();

    std::mutex m_mutex;
    bool m_trace;
    bool m_quiet;
    bool m_terminal;
    bool m_progressShown = false;
    std::atomic<bool> m_writeFailed = false;
    QList<std::pair<std::FILE*, QString>> m_held;
};

} // namespace Orvoinstaller
