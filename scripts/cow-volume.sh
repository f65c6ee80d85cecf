#!/usr/bin/env bash
# scripts/cow-volume.sh mount DIR [SIZE] | unmount DIR
#
# Mounts at DIR a copy-on-write file system (XFS with reflink, in a sparse file on a loop
# device), where files are cloned as APFS clones them on a Mac. Needs root, mkfs.xfs
# (xfsprogs, from scripts/deps.sh) and a free loop device; without them it says why and
# exits 3, so callers can skip what needs one. unmount also deletes the image.
set -euo pipefail
action=${1:-} dir=${2:-} size=${3:-2G}
[[ -n $action && -n $dir ]] || { echo "usage: $0 mount DIR [SIZE] | unmount DIR" >&2; exit 2; }
image="$dir.img"

case $action in
  mount)
    if [[ $(id -u) -ne 0 ]]; then
      echo "no copy-on-write volume: mounting a loop device needs root" >&2; exit 3
    fi
    if ! command -v mkfs.xfs > /dev/null; then
      echo "no copy-on-write volume: mkfs.xfs is missing (xfsprogs)" >&2; exit 3
    fi
    mkdir -p "$dir"
    truncate -s "$size" "$image"
    mkfs.xfs -q -f -m reflink=1 "$image"
    if ! mount -o loop "$image" "$dir" 2> /dev/null; then
      rm -f "$image"
      echo "no copy-on-write volume: no loop device could be mounted here" >&2; exit 3
    fi
    chmod 1777 "$dir"
    ;;
  unmount)
    umount "$dir" 2> /dev/null || umount -l "$dir" 2> /dev/null || true
    rm -f "$image"
    rmdir "$dir" 2> /dev/null || true
    ;;
  *)
    echo "usage: $0 mount DIR [SIZE] | unmount DIR" >&2; exit 2 ;;
esac
