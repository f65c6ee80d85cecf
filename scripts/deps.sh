#!/usr/bin/env bash
# Installs what building, testing and rendering need, when it is missing.
# Debian 12: apt packages (as root, or through sudo). macOS: prints what to install.
set -euo pipefail

if [[ "$(uname -s)" == Darwin ]]; then
  # Homebrew's Qt is found through CMAKE_PREFIX_PATH, e.g. "$(brew --prefix qt@6)".
  if ! command -v cmake > /dev/null; then
    echo "Install the build tools first: xcode-select --install; brew install cmake qt@6" >&2
    exit 1
  fi
  exit 0
fi

packages=(
  build-essential cmake
  qt6-base-dev qt6-svg-dev qt6-tools-dev qt6-l10n-tools qt6-tools-dev-tools
  libgl-dev fonts-wqy-microhei
)
if [[ "${1:-}" == --render ]]; then
  packages+=(xvfb xauth imagemagick)
fi
if [[ "${1:-}" == --bench ]]; then
  packages+=(hyperfine rsync python3 time xvfb xauth)
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
