// mpxgrid: makes and inspects grid correction files.
#include "mpxgrid.hpp"

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int kUsageError = 2;

const char kHelp[] =
    "Usage:\n"
    "  mpxgrid info FILE...                  print each grid file's header, coverage,\n"
    "                                        largest shift and three cells as the\n"
    "                                        library reads them; several files are\n"
    "                                        read as one chain, in the order given\n"
    "  mpxgrid build DESCRIPTION OUTPUT      make a grid file from a text description\n"
    "  mpxgrid fit-bw PARAMETERS OUTPUT      write a description of a bilinear grid\n"
    "                                        that follows a Bursa-Wolfe change\n"
    "  mpxgrid from-ntv2 NTV2 OUTPUT         convert an NTv2 shift grid (.gsb, either\n"
    "                                        byte order) to bilinear grid files: one\n"
    "                                        per sub-grid, densest first, OUTPUT then\n"
    "                                        OUTPUT_2, ...; prints the chain to name\n"
    "  mpxgrid --help                        this text\n"
    "\n"
    "Description (words separated by blanks or line ends; '#' starts a comment):\n"
    "  kind K               0: quadratic cells of 18 coefficients\n"
    "                       1: bilinear cells of 8 coefficients\n"
    "  origin LON LAT       south-west corner of the grid, degrees\n"
    "  step DLON DLAT       cell width and height, degrees, positive\n"
    "  size COLS ROWS       cells per row and number of rows, positive\n"
    "  cells                followed by COLS x ROWS cells, southernmost row first,\n"
    "                       each row west to east, each cell's coefficients in index\n"
    "                       order. The polynomials take and give absolute radians:\n"
    "                       quadratic: lon' = c0 + c1 x + c2 y + c3 x y + c4 x^2 + c5 y^2,\n"
    "                       lat' from c6..c11 and height from c12..c17 alike;\n"
    "                       bilinear: lon' = c0 + c1 x + c2 y + c3 x y, lat' from c4..c7.\n"
    "\n"
    "Parameters of fit-bw (in this order):\n"
    "  source_ellipsoid A INVERSE_FLATTENING\n"
    "  target_ellipsoid A INVERSE_FLATTENING\n"
    "  bursa_wolfe TX TY TZ RX RY RZ DS   metres; arc-seconds, position-vector\n"
    "                                     convention; parts per million\n"
    "  grid LON_MIN LAT_MIN DLON DLAT COLS ROWS   degrees; cell counts\n"
    "\n"
    "Exit status: 0 success, 1 bad input or file, 2 bad usage.\n";

int usage() {
    std::fputs(kHelp, stderr);
    return kUsageError;
}

} // namespace

int main(int argc, char **argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "--help" || command == "-h") {
        std::fputs(kHelp, stdout);
        return 0;
    }
    if (command == "info" && argc >= 3)
        return mpxgrid::run_info(std::vector<std::string>(argv + 2, argv + argc));
    if (command == "build" && argc == 4)
        return mpxgrid::run_build(argv[2], argv[3]);
    if (command == "fit-bw" && argc == 4)
        return mpxgrid::run_fit_bw(argv[2], argv[3]);
    if (command == "from-ntv2" && argc == 4)
        return mpxgrid::run_from_ntv2(argv[2], argv[3]);
    return usage();
}
