#!/bin/sh
# Regenerates the national shift grids of the bundled database from the
# NTv2 files of Debian's proj-data package, after checking that they are the
# files data/README.md names (by SHA-256):
#
#     apt-get install proj-data
#     cmake --build --preset release --target mpxgrid
#     sh tools/gen_ntv2_grids.sh [MPXGRID] [PROJ_DATA_DIR]
set -eu
cd "$(dirname "$0")/.."
mpxgrid=${1:-build/bin/mpxgrid}
source_dir=${2:-/usr/share/proj}

sha256sum -c <<SUMS
08734dadf9158ceeee3590120a26710f4abcdacb7ecde2782370b1919fc19db2  $source_dir/ntf_r93.gsb
6588e7b5fcca7dfad848085b7b621bf4b2e73866a0af3c459daa955deaacc3da  $source_dir/BETA2007.gsb
116d54c9ad2f7082610d887439106bac23d2df364b48506acf6c82ca8b5aba1d  $source_dir/nzgd2kgrid0005.gsb
SUMS

for grid in ntf_r93 BETA2007 nzgd2kgrid0005; do
    "$mpxgrid" from-ntv2 "$source_dir/$grid.gsb" "data/grids/$grid.grd"
done
