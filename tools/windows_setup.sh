#!/usr/bin/env bash
# Sets up what the Windows build and its tests need, idempotently (a second
# run checks and returns in a second or two):
#   - the i686-w64-mingw32 cross compiler (posix thread model: GoogleTest
#     needs std::mutex) and Debian's GoogleTest sources;
#   - 32-bit Wine. It cannot be installed beside this machine's packages, so
#     it goes into a Debian bookworm i386 chroot made with debootstrap
#     (about a minute and 1.5 GB), with its Wine prefix made once;
#   - if the chroot cannot be made, the fallback: 64-bit Wine on the host and
#     the x86_64-w64-mingw32 cross compiler, for the `mingw64` preset.
# Prints the preset to test with on its last line: "mingw" or "mingw64".
# Needs root (apt-get, debootstrap, chroot).
# Environment: MPX_WINE_CHROOT (default /var/lib/mpxlib/wine32-bookworm).
set -euo pipefail

chroot_dir=${MPX_WINE_CHROOT:-/var/lib/mpxlib/wine32-bookworm}
ready_mark=$chroot_dir/.mpx-wine32-ready

install_host_packages() {
    local missing=()
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" ||
            missing+=("$package")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        echo "windows_setup: installing ${missing[*]}" >&2
        apt-get update -qq
        DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
            "${missing[@]}" >&2
    fi
}

# The Debian mirror apt already uses (deb822 "URIs:" or one-line "deb" form).
debian_mirror() {
    local mirror
    mirror=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.sources \
        /etc/apt/sources.list.d/*.list 2>/dev/null |
        sed -n -e 's/^URIs:[[:space:]]*\([^[:space:]]*\/debian\)\/\{0,1\}$/\1/p' \
            -e 's/^deb[[:space:]]\{1,\}\(\[[^]]*\][[:space:]]\{1,\}\)\{0,1\}\([^[:space:]]*\/debian\)\/\{0,1\}[[:space:]].*/\2/p' |
        head -n 1)
    echo "${mirror:-http://deb.debian.org/debian}"
}

# Runs a command inside the chroot with /proc and /dev mounted for it.
in_chroot() {
    mountpoint -q "$chroot_dir/proc" || mount -t proc proc "$chroot_dir/proc"
    mountpoint -q "$chroot_dir/dev" || mount --bind /dev "$chroot_dir/dev"
    local status=0
    chroot "$chroot_dir" /usr/bin/env -i HOME=/root PATH=/usr/sbin:/usr/bin:/sbin:/bin \
        LANG=C.UTF-8 WINEDEBUG=-all "$@" || status=$?
    # A Wine server lingers a few seconds after its last program.
    umount "$chroot_dir/dev" "$chroot_dir/proc" 2>/dev/null ||
        umount --lazy "$chroot_dir/dev" "$chroot_dir/proc"
    return $status
}

make_chroot() {
    [ -f "$ready_mark" ] && return 0
    local start=$SECONDS
    # A half-made chroot from an interrupted run is made again from scratch.
    if [ -d "$chroot_dir" ]; then
        for mounted in proc dev; do
            ! mountpoint -q "$chroot_dir/$mounted" || umount "$chroot_dir/$mounted"
        done
        rm -rf --one-file-system "$chroot_dir"
    fi
    mkdir -p "$(dirname "$chroot_dir")"
    debootstrap --arch=i386 --variant=minbase bookworm "$chroot_dir" "$(debian_mirror)" \
        >"$chroot_dir.log" 2>&1 || { tail -n 20 "$chroot_dir.log" >&2; return 1; }
    in_chroot sh -c 'apt-get update -qq && DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -qq --no-install-recommends wine wine32 >/dev/null' || return 1
    # The prefix (C: drive, registry) is made once here, not by the first test.
    in_chroot sh -c 'wineboot --init && wineserver --wait' >/dev/null 2>&1 || return 1
    in_chroot sh -c 'wine cmd /c exit 0 && wineserver --wait' || return 1
    touch "$ready_mark"
    echo "windows_setup: i386 chroot with Wine made in $((SECONDS - start)) s," \
        "$(du -sh --one-file-system "$chroot_dir" | cut -f1)" >&2
}

install_host_packages cmake g++-mingw-w64-i686-posix googletest debootstrap
if make_chroot; then
    echo mingw
else
    echo "windows_setup: no 32-bit chroot; falling back to 64-bit Wine on the host" >&2
    install_host_packages g++-mingw-w64-x86-64-posix wine wine64
    WINEDEBUG=-all wineboot --init >/dev/null 2>&1 && wineserver --wait
    echo mingw64
fi
