#!/usr/bin/env bash
# Installs what building and testing need, when it is missing; --render, --bench, --mutate
# and --macos-check add what those need.
# Debian 12: apt packages (as root, or through sudo). macOS: prints what to install.
set -euo pipefail

if [[ "$(uname -s)" == Darwin ]]; then
  # Homebrew's Qt is found through CMAKE_PREFIX_PATH, e.g. "$(brew --prefix qt)".
  if ! command -v cmake > /dev/null; then
    echo "Install the build tools first: xcode-select --install; brew install cmake qt" >&2
    exit 1
  fi
  exit 0
fi

packages=(
  build-essential cmake
  qt6-base-dev qt6-svg-dev qt6-tools-dev qt6-l10n-tools qt6-tools-dev-tools
  libgl-dev fonts-wqy-microhei
  python3 # scripts/check-layers.py
  xfsprogs # a copy-on-write volume for the engine's tests, as root
  exfatprogs dosfstools exfat-fuse # exFAT and FAT volumes for the engine's tests, as root
)
if [[ "${1:-}" == --render ]]; then
  packages+=(xvfb xauth imagemagick)
fi
if [[ "${1:-}" == --bench ]]; then
  packages+=(hyperfine rsync python3 time xvfb xauth e2fsprogs xfsprogs)
fi
if [[ "${1:-}" == --mutate ]]; then
  packages+=(rsync ccache)
fi
if [[ "${1:-}" == --macos-check ]]; then
  packages+=(python3)
  # Any Node.js with npm will do (the machine's own may not come from Debian).
  command -v npm > /dev/null || packages+=(npm)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2> /dev/null | grep -q "install ok installed" || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=""
[[ "$(id -u)" -ne 0 ]] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
