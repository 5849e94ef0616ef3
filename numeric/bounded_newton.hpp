// Inversion of a projection by a bounded two-dimensional Newton search on
// its forward routine, with finite-difference derivatives. Unlike
// newton_refine (an optional polish of a closed-form estimate), this search
// is the whole backward mapping of projections that have no closed-form
// inverse (Laborde, and the Dutch grid from its start polynomials): it
// keeps the point inside latitude and longitude bounds and reports when it
// cannot settle.
#pragma once

#include "mpxlib.h"

// Searches from the start point (lon_start, lat_start), first clamped to
// +-88 degrees of latitude and +-179 degrees of longitude, for the point
// whose forward image is within 0.0001 (|dx| + |dy|, in the projection's
// unit) of (x, y), and returns its status:
// - 0 with the point in *lon, *lat once the image is reached, or when the
//   Jacobian becomes singular (|det| < 1e-7: the point reached so far);
// - -2 with nothing written after 99 passes, when the search stops moving
//   twice, or when it ends beyond a pole;
// - -2 with the last point written when a forward evaluation fails there.
int bounded_newton_search(mpx_proj_forward_fn forward, void *params, double x, double y,
                          double lon_start, double lat_start, double *lon, double *lat) noexcept;
