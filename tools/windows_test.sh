#!/usr/bin/env bash
# Runs the Windows build's test suite under Wine: windows_test.sh PRESET
# [CTEST-ARGS...], e.g. windows_test.sh mingw -R Mpxcs
# (mingw: the 32-bit build in the i386 chroot of tools/windows_setup.sh;
# mingw64: the 64-bit build on this machine's Wine). For the chroot it
# mounts /proc, /dev and the source tree at their own paths (so the paths
# compiled into the tests hold inside), starts one Wine server for the whole
# run, and undoes all of that when done.
set -euo pipefail
preset=${1:-mingw}
shift $(($# > 0 ? 1 : 0))
source_dir=$(cd "$(dirname "$0")/.." && pwd)
chroot_dir=${MPX_WINE_CHROOT:-/var/lib/mpxlib/wine32-bookworm}
cd "$source_dir"

mounted=()
cleanup() {
    if declare -F in_wine_root >/dev/null; then
        in_wine_root wineserver -k 2>/dev/null || true
        in_wine_root wineserver -w 2>/dev/null || true
    fi
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount "${mounted[i]}" 2>/dev/null || umount --lazy "${mounted[i]}" || true
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
    in_wine_root() { chroot "$chroot_dir" /usr/bin/env HOME=/root WINEDEBUG=-all "$@"; }
else
    in_wine_root() { WINEDEBUG=-all "$@"; }
fi
# One server for the whole run, and Wine's own services started now, away
# from the pipes CTest reads.
in_wine_root wineserver -p </dev/null >/dev/null 2>&1
in_wine_root wine cmd /c exit 0 </dev/null >/dev/null 2>&1
ctest --preset "$preset" "$@"
