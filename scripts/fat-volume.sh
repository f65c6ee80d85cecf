#!/usr/bin/env bash
# scripts/fat-volume.sh mount DIR TYPE | unmount DIR
#
# Mounts at DIR a small volume of TYPE (exfat or vfat) in a sparse file, through the
# kernel's driver or else, for exFAT, FUSE's (which wants a loop device): file systems that
# keep no modes and cannot rename without replacing. Needs root, mkfs.TYPE (exfatprogs,
# dosfstools; exfat-fuse for FUSE) and a free loop device; without them it says why and
# exits 3, so callers can skip what needs one. unmount also deletes the image.
set -euo pipefail
action=${1:-} dir=${2:-} type=${3:-}
[[ -n $action && -n $dir ]] || { echo "usage: $0 mount DIR TYPE | unmount DIR" >&2; exit 2; }
image="$dir.img"

case $action in
  mount)
    if [[ $(id -u) -ne 0 ]]; then
      echo "no $type volume: mounting a loop device needs root" >&2; exit 3
    fi
    if ! command -v "mkfs.$type" > /dev/null; then
      echo "no $type volume: mkfs.$type is missing (scripts/deps.sh installs it)" >&2; exit 3
    fi
    mkdir -p "$dir"
    truncate -s 64M "$image"
    "mkfs.$type" "$image" > /dev/null
    mount -o loop "$image" "$dir" 2> /dev/null && exit 0
    if [[ $type == exfat ]] && command -v mount.exfat-fuse > /dev/null; then
      device=$(losetup -f --show "$image" 2> /dev/null) || device=""
      if [[ -n $device ]]; then
        mount.exfat-fuse "$device" "$dir" > /dev/null 2>&1 && { echo "$device" > "$dir.dev"; exit 0; }
        losetup -d "$device"
      fi
    fi
    rm -f "$image"
    rmdir "$dir" 2> /dev/null || true
    echo "no $type volume: neither the kernel nor FUSE could mount one here" >&2; exit 3
    ;;
  unmount)
    umount "$dir" 2> /dev/null || umount -l "$dir" 2> /dev/null || true
    if [[ -f $dir.dev ]]; then
      losetup -d "$(cat "$dir.dev")" 2> /dev/null || true
      rm -f "$dir.dev"
    fi
    rm -f "$image"
    rmdir "$dir" 2> /dev/null || true
    ;;
  *)
    echo "usage: $0 mount DIR TYPE | unmount DIR" >&2; exit 2 ;;
esac
