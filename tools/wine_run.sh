#!/bin/sh
# Runs one Windows program under Wine for CTest (the MinGW build's
# emulator): wine_run.sh ARCH PROGRAM ARGS...
#   i686:   32-bit Wine inside the i386 chroot of tools/windows_setup.sh
#           (MPX_WINE_CHROOT), which tools/windows_test.sh has prepared:
#           /proc, /dev and the source tree mounted at their own paths;
#   x86_64: 64-bit Wine on this machine.
# Wine can exit with status 0 although the program never ran, so a
# GoogleTest run passes only when the program's own summary says so.
set -u
arch=$1
shift
export WINEDEBUG=${WINEDEBUG:--all}
# Both streams go through files: a Wine service the program starts must not
# hold CTest's pipes open after the program ends.
output=$(mktemp)
errors=$(mktemp)
trap 'rm -f "$output" "$errors"' EXIT
if [ "$arch" = i686 ]; then
    root=${MPX_WINE_CHROOT:-/var/lib/mpxlib/wine32-bookworm}
    chroot "$root" /usr/bin/env HOME=/root WINEPREFIX=/root/.wine \
        PATH=/usr/bin:/bin /bin/sh -c 'cd "$1" && shift && exec wine "$@"' \
        wine_run "$PWD" "$@" >"$output" 2>"$errors" </dev/null
    status=$?
else
    wine "$@" >"$output" 2>"$errors" </dev/null
    status=$?
fi
cat "$output"
cat "$errors" >&2
case " $* " in
*" --gtest_filter="*)
    if [ "$status" -eq 0 ] && ! grep -q '^\[  PASSED  \] 1 test\.' "$output" &&
        ! grep -q '^\[  SKIPPED \] 1 test' "$output"; then
        echo "wine_run.sh: exit status 0 without the test's own PASSED line" >&2
        status=1
    fi
    ;;
*" --gtest_list_tests"*)
    if [ "$status" -eq 0 ] && ! [ -s "$output" ]; then
        echo "wine_run.sh: exit status 0 without a test list" >&2
        status=1
    fi
    ;;
esac
exit "$status"
