#!/usr/bin/env bash
# CI's Windows step, as root on Debian bookworm: sets up the cross compiler
# and 32-bit Wine (tools/windows_setup.sh: a few minutes the first time on a
# machine, nothing after), builds the DLL, the programs and the tests with
# warnings as errors, checks the DLL's export table against the public
# header (exactly its functions, undecorated, and no MinGW runtime DLL
# imported) before anything runs, then runs the whole test suite under Wine
# (tools/windows_test.sh), among it the README's sample converted by
# mpxcs.exe and compared byte for byte with the Linux build's text. Any
# failure fails the step.
set -euo pipefail
cd "$(dirname "$0")/.."

started=$SECONDS
phase_start=$SECONDS
times=""
phase_done() { # phase_done NAME
    times+="$1 $((SECONDS - phase_start)) s, "
    phase_start=$SECONDS
}

preset=$(tools/windows_setup.sh | tail -n 1)
phase_done "setup"
echo "windows_ci: building and testing preset $preset"

cmake --preset "$preset" -DMPX_WERROR=ON
cmake --build --preset "$preset" -j2
phase_done "build"

# The export check of the test suite (LibraryExportsExactlyThePublicHeader),
# run first on its own: it reads the DLL with the target's objdump, no Wine.
build_dir=build-$preset
cmake -DLIBRARY="$build_dir/bin/mpxlib.dll" -DHEADER=include/mpxlib.h \
    -DOBJDUMP="$(sed -n 's/^CMAKE_OBJDUMP:[A-Z]*=//p' "$build_dir/CMakeCache.txt")" \
    -P tests/c_host/exports.cmake
tools/windows_test.sh "$preset"
phase_done "tests under Wine"

echo "windows_ci: ${times}$((SECONDS - started)) s in all"
