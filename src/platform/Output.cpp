#include "platform/Output.h"

#include <cstdio>

namespace Orvoinstaller {

void StdoutOutput::line(const QString& text) {
    const QByteArray bytes = text.toUtf8() + '\n';
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    std::fflush(stdout);
}

} // namespace Orvoinstaller
