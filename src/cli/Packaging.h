#pragma once

namespace Orvoinstaller {

// What the package target makes on this system: a disk image (codesign and hdiutil at hand)
// on macOS, a tarball of the bundle elsewhere. One implementation per OS.
enum class NativePackage { diskImage, tarball };
NativePackage nativePackage();

} // namespace Orvoinstaller
