#pragma once

#include <cstdint>
#include <functional>

namespace Orvoinstaller {

// Told what a copy has done since it was last called: `files` finished (files and links) and
// `bytes` written. Returning false stops the copy at once; it then fails with ECANCELED.
using CopyProgress = std::function<bool(std::int64_t files, std::int64_t bytes)>;

} // namespace Orvoinstaller
