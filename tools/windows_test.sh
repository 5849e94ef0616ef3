#!/usr/bin/env bash
# Runs the Windows build's test suite under Wine: windows_test.sh PRESET
# (mingw: the 32-bit build in the i386 chroot of tools/windows_setup.sh;
# mingw64: the 64-bit build on this machine's Wine). For the chroot it
# mounts /proc, /dev and the source tree at their own paths (so the paths
# compiled into the tests hold inside), starts one Wine server for the whole
# run, and undoes all of that when done.
set -euo pipefail
preset=${1:-mingw}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
chroot_dir=${MPX_WINE_CHROOT:-/var/lib/mpxlib/wine32-bookworm}
cd "$source_dir"

mounted=()
cleanup() {
    if [ "$preset" = mingw ]; then
        chroot "$chroot_dir" /usr/bin/env HOME=/root wineserver -k 2>/dev/null || true
    else
        wineserver -k 2>/dev/null || true
    fi
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount "${mounted[i]}" || true
    done
}
trap cleanup EXIT

if [ "$preset" = mingw ]; then
    mount_at() { # mount_at TARGET MOUNT-ARGS...
        local target=$1
        shift
        mkdir -p "$target"
        mount "$@" "$target"
        mounted+=("$target")
    }
    mount_at "$chroot_dir/proc" -t proc proc
    mount_at "$chroot_dir/dev" --bind /dev
    mount_at "$chroot_dir$source_dir" --bind "$source_dir"
    chroot "$chroot_dir" /usr/bin/env HOME=/root WINEDEBUG=-all wineserver -p
else
    WINEDEBUG=-all wineserver -p
fi
ctest --preset "$preset"
