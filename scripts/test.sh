#!/usr/bin/env bash
# Builds everything with warnings as errors and the address and undefined-behaviour
# sanitizers, then runs every test with ctest. The installer is built under a maker's
# name, version and PNG icon, so that the bundle test sees them differ from the defaults.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake -S . -B build/test -DCMAKE_BUILD_TYPE=Debug \
  -DPLUGININSTALLER_WERROR=ON -DPLUGININSTALLER_SANITIZE=ON \
  -DPLUGININSTALLER_APP_NAME="Test Templates Installer" -DPLUGININSTALLER_VERSION=2.3.4 \
  -DPLUGININSTALLER_ICON="$PWD/src/app/icons/AppIcon-1024.png"
cmake --build build/test -j"$(nproc 2> /dev/null || sysctl -n hw.ncpu)"
# Leak checking stays off: Qt's plugin and font caches live until exit by design.
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
cd build/test
ctest --output-on-failure -j2

# The engine's tests again on a copy-on-write file system, where one can be made here, so
# that files are cloned as on a Mac's APFS rather than copied.
scratch=$(mktemp -d "$PWD/cow.XXXXXX") # in the build tree, not /tmp
cow=$scratch/cow
trap '../../scripts/cow-volume.sh unmount "$cow"; rmdir "$scratch" 2> /dev/null || true' EXIT
if ../../scripts/cow-volume.sh mount "$cow" 1G; then
  echo "Engine tests on a copy-on-write volume:"
  TMPDIR="$cow" ctest --output-on-failure -j2 -R '^install\.'
else
  echo "Engine tests on a copy-on-write volume: skipped (see above)"
fi
