#include "cli/Packaging.h"

namespace Orvoinstaller {

NativePackage nativePackage() {
    return NativePackage::tarball;
}

} // namespace Orvoinstaller
