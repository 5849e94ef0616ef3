/* A C99 host that includes only the public header: it must compile as C and
   link against the shared library. */
#include <mpxlib.h>

#include <stdio.h>
#include <string.h>

static char last_line[128];

static void keep_line(const char *line) { strncpy(last_line, line, sizeof last_line - 1); }

int main(void) {
    mpx_install_error(keep_line);
    mpx_combine_error(MPX_CLASS_PROGRAM, 3, "(c host) hello");
    if (strcmp(last_line, "P3:(c host) hello") != 0) {
        fprintf(stderr, "unexpected line: %s\n", last_line);
        return 1;
    }
    {
        /* The equator on the prime meridian lies on the X axis at X = a. */
        const mpx_ellipsoid wgs84 = {6378137.0, 0.0818191908426215, 0.0};
        double x = 0.0, y = 1.0, z = 1.0;
        if (mpx_gd_to_xyz(&wgs84, 0.0, 0.0, 0.0, &x, &y, &z) != 0 || x != 6378137.0 || y != 0.0 ||
            z != 0.0) {
            fprintf(stderr, "unexpected geocentric point: %.17g %.17g %.17g\n", x, y, z);
            return 1;
        }
    }
    printf("C host OK\n");
    return 0;
}
