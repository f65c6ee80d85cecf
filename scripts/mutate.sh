#!/usr/bin/env bash
# Mutation run: plants one bug of scripts/mutants.txt at a time into a copy of the tree as it
# is now (uncommitted changes included), rebuilds, runs every test and says whether a test
# failed (caught) or none did (survived). The working tree itself is never changed.
#
#   scripts/mutate.sh [--quick] [NUMBER...]
#
# NUMBER picks mutants by their number in the table (all by default). --quick stops ctest at
# the first failing test: faster, but the table no longer says which tests catch a mutant.
# A mutant whose original text is not in its file exactly once is reported, not run, so the
# table still serves after a refactoring; one that does not compile is reported apart.
# Results go to build/mutate/results.txt as well.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh --mutate
root=$PWD
out=$root/build/mutate
tree=$out/tree
build=$out/build
table=$root/scripts/mutants.txt

quick=()
picked=()
for arg in "$@"; do
  case $arg in
    --quick) quick=(--stop-on-failure) ;;
    [0-9]*) picked+=("$arg") ;;
    *) echo "usage: $0 [--quick] [NUMBER...]" >&2; exit 2 ;;
  esac
done

# The bundle test builds the project again in a scratch folder: with paths made relative and
# the folder's name left out of the hash, ccache serves that build from the second run on.
if command -v ccache > /dev/null; then
  export CMAKE_CXX_COMPILER_LAUNCHER=${CMAKE_CXX_COMPILER_LAUNCHER:-ccache}
  export CCACHE_BASEDIR=/ CCACHE_NOHASHDIR=1
fi
jobs=2

mkdir -p "$tree"
# By content, and stamped now: a file kept with its own older time could look older than an
# object built from what the copy held before, and not be built again.
rsync -rlpc --delete --exclude=/build/ --exclude=/.git "$root/" "$tree/"
if [ ! -f "$build/CMakeCache.txt" ]; then
  # As scripts/test.sh names the installer, so that the bundle test passes; no sanitizers.
  cmake -S "$tree" -B "$build" -DCMAKE_BUILD_TYPE=Debug \
    -DPLUGININSTALLER_WERROR=OFF -DPLUGININSTALLER_SANITIZE=OFF \
    -DPLUGININSTALLER_APP_NAME="Test Templates Installer" -DPLUGININSTALLER_VERSION=2.3.4 \
    -DPLUGININSTALLER_ICON="$tree/src/app/icons/AppIcon-1024.png" > "$out/configure.log"
fi

# Prints the failing tests' names, space-separated; returns 1 when any failed.
run_tests() {
  local log=$1
  (cd "$build" && ctest -j"$jobs" --timeout 120 "${quick[@]}" > "$log" 2>&1) && return 0
  sed -n 's/^[[:space:]]*[0-9]* - \([^ ]*\) (.*)$/\1/p' "$log" | tr '\n' ' '
  return 1
}

# edit apply|restore FILE [ORIGINAL REPLACEMENT]: "\n" and "\t" in the texts stand for a
# line break and a tab. apply prints the count of the original text; it writes only when 1.
edit() {
  python3 - "$@" << 'EOF'
import sys, pathlib
mode, path = sys.argv[1], pathlib.Path(sys.argv[2])
backup = path.with_name(path.name + ".mutate-orig")
if mode == "restore":
    if backup.exists():
        path.write_bytes(backup.read_bytes())
        backup.unlink()
    sys.exit(0)
unescape = lambda s: s.replace("\\n", "\n").replace("\\t", "\t")
original, replacement = unescape(sys.argv[3]), unescape(sys.argv[4])
text = path.read_text(encoding="utf-8") if path.exists() else ""
count = text.count(original)
print(count)
if count == 1:
    backup.write_bytes(path.read_bytes())
    path.write_text(text.replace(original, replacement), encoding="utf-8")
EOF
}

current=
trap 'if [ -n "$current" ]; then edit restore "$tree/$current"; fi' EXIT

echo "Building and testing the unchanged tree..."
start=$(date +%s)
cmake --build "$build" -j"$jobs" > "$out/build.log" 2>&1 ||
  { echo "the unchanged tree does not build: $out/build.log" >&2; exit 1; }
if ! failing=$(run_tests "$out/baseline.log"); then
  echo "tests fail on the unchanged tree: $failing (see $out/baseline.log)" >&2
  exit 1
fi

results=()
caught=0 survived=0 missing=0 broken=0 number=0
# The table's rows, fields split by \x1f and rows ended by NUL: an empty field survives.
rows() {
  python3 - "$table" << 'EOF'
import sys
for number, line in enumerate(open(sys.argv[1], encoding="utf-8"), 1):
    line = line.rstrip("\n")
    if not line.strip() or line.startswith("#"):
        continue
    fields = line.split("\t")
    if len(fields) != 4 or not fields[0] or not fields[1] or not fields[3]:
        sys.exit(f"{sys.argv[1]}:{number}: want file, original, replacement, description")
    sys.stdout.write("\x1f".join(fields) + "\0")
EOF
}
rows > /dev/null
while IFS=$'\x1f' read -r -d '' file original replacement description; do
  number=$((number + 1))
  if [ ${#picked[@]} -gt 0 ] && [[ " ${picked[*]} " != *" $number "* ]]; then
    continue
  fi
  count=$(edit apply "$tree/$file" "$original" "$replacement")
  if [ "$count" != 1 ]; then
    missing=$((missing + 1))
    result="not found ($count)"
    tests=
  else
    current=$file
    mutant_start=$(date +%s)
    if ! cmake --build "$build" -j"$jobs" > "$out/mutant-$number.log" 2>&1; then
      broken=$((broken + 1))
      result="no build"
      tests=
    elif tests=$(run_tests "$out/mutant-$number.log"); then
      survived=$((survived + 1))
      result=SURVIVED
    else
      caught=$((caught + 1))
      result=caught
    fi
    edit restore "$tree/$file"
    current=
    result="$result $(($(date +%s) - mutant_start))s"
  fi
  line=$(printf '%3d  %-16s %-36s %s' "$number" "$result" "$file" "$description")
  [ -n "$tests" ] && line+=$'\n'"                    by: $tests"
  results+=("$line")
  echo "$line"
done < <(rows)

{
  echo
  echo "Mutants"
  printf '%s\n' "${results[@]}"
  echo
  total=$((caught + survived))
  echo "caught $caught of $total ($((total ? caught * 100 / total : 0))%)," \
    "survived $survived, not found $missing, not built $broken;" \
    "$(($(date +%s) - start)) s in all"
} | tee "$out/results.txt"
# Leaves the copy built as it is now.
cmake --build "$build" -j"$jobs" > "$out/build.log" 2>&1
