#include "cli/Packaging.h"

namespace Orvoinstaller {

NativePackage nativePackage() {
    return NativePackage::diskImage;
}

} // namespace Orvoinstaller
