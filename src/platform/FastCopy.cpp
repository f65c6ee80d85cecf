#include "platform/FastCopy.h"

namespace fs = std::filesystem;

namespace Orvoinstaller {

std::error_code copyTree(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    if (fs::exists(fs::symlink_status(to, ec)))
        return std::make_error_code(std::errc::file_exists);
    ec.clear();
    fs::copy(from, to, fs::copy_options::recursive | fs::copy_options::copy_symlinks, ec);
    return ec;
}

} // namespace Orvoinstaller
