/*
 * mpxlib: coordinate conversion between geodetic, geocentric and projected
 * coordinate systems, with datum changes by Bursa-Wolfe parameters or
 * correction grids.
 *
 * The one public header. It compiles as C99 and as C++. Every exported
 * function and every record shared with hosts is declared here; nothing
 * else of the library is visible from outside.
 *
 * Units: angles are radians inside the library and in every function of
 * this header unless a comment says otherwise. Linear values of a projected
 * system are in its projection's unit; geocentric X, Y, Z are in the unit of
 * the datum's radius divided by its metre factor.
 *
 * Results: 0 for success, -1 for most failures; further codes are named at
 * each function. Failures reach the host through the handler installed with
 * mpx_install_error, as one message line per report.
 */
#ifndef MPXLIB_H
#define MPXLIB_H

#include <stdint.h>

#if defined(_WIN32) && !defined(MPX_STATIC)
#if defined(MPX_BUILDING_LIBRARY)
#define MPX_API __declspec(dllexport)
#else
#define MPX_API __declspec(dllimport)
#endif
#elif defined(__GNUC__) || defined(__clang__)
#define MPX_API __attribute__((visibility("default")))
#else
#define MPX_API
#endif

#ifdef __cplusplus
#define MPX_NOEXCEPT noexcept
extern "C" {
#else
#define MPX_NOEXCEPT
#endif

/* ---------------------------------------------------------------------- */
/* Error reporting                                                        */
/* ---------------------------------------------------------------------- */

/* Error classes passed to mpx_combine_error. */
#define MPX_CLASS_PROGRAM 80 /* 'P': misuse by the calling program */
#define MPX_CLASS_SYSTEM 83  /* 'S': resources, files, records, computations */
#define MPX_CLASS_USER 85    /* 'U': conditions of the user's data */

/* Receives one composed message line; the line is overwritten by the next
   report, so a handler that keeps it must copy it. */
typedef void (*mpx_error_handler)(const char *line);

MPX_API int mpx_install_error(mpx_error_handler handler) MPX_NOEXCEPT;
MPX_API int mpx_install_error_f(mpx_error_handler handler) MPX_NOEXCEPT;
/* severity: 3 closes a chain; 0 chains automatically (1 then 2). */
MPX_API void mpx_combine_error(int class_code, int severity, const char *text) MPX_NOEXCEPT;
MPX_API void mpx_f_error(const char *line, mpx_error_handler handler) MPX_NOEXCEPT;

/* ---------------------------------------------------------------------- */
/* Structure descriptors                                                  */
/* ---------------------------------------------------------------------- */

#define MPX_TYPE_CHAR 'c'   /* 99: one 8-bit character */
#define MPX_TYPE_DOUBLE 'd' /* 100: one IEEE double */
#define MPX_TYPE_LONG 'l'   /* 108: one signed 32-bit integer */
#define MPX_TYPE_STRING 's' /* 115: NUL-terminated text inside the record */
#define MPX_TYPE_ANY '*'    /* 42: in an inquiry, the attribute's own type */

#define MPX_STRUCT_MAX_ATTRIBUTES 40

/* Access classes of an attribute. */
#define MPX_ACCESS_MODIFIABLE 1
#define MPX_ACCESS_READ_ONLY 2 /* name given with a leading '%' */
#define MPX_ACCESS_HIDDEN 3    /* name given with a leading '.' or holding a '.' */

typedef struct struct_attr {
    const char *name;  /* stored name, without a '%' or '.' prefix */
    char type;         /* 'c', 'd', 'l' or 's' */
    int32_t offset;    /* byte position of the field in the record */
    char access_class; /* MPX_ACCESS_* */
} struct_attr;

typedef struct struct_desc {
    const char *name;
    int16_t cursor; /* attribute last returned by an iteration */
    int16_t filter; /* 0 all attributes, -3 all but hidden ones */
    int16_t count;
    struct_attr *attributes; /* count entries, or null */
} struct_desc;

MPX_API int struct_begin(const char *name, void *sample) MPX_NOEXCEPT;
MPX_API int struct_add(const char *name, void *field, int type) MPX_NOEXCEPT;
MPX_API int struct_add_struct(struct_desc *other, void *embedded) MPX_NOEXCEPT;
MPX_API struct_desc *struct_end(void) MPX_NOEXCEPT;
/* name: an attribute name, or "init", "init-." or "next" to iterate (the
   name found is written back). Returns 0, 1 at the end of an iteration, -1. */
MPX_API int struct_inq(struct_desc *d, void *record, char *name, char *type, void *value,
                       int value_size) MPX_NOEXCEPT;
/* Returns 0, -1 (absent name or type mismatch), -2 (not modifiable). */
MPX_API int struct_mod(struct_desc *d, void *record, const char *name, const char *type,
                       const void *value) MPX_NOEXCEPT;
MPX_API int struct_offset(struct_desc *d, const char *name) MPX_NOEXCEPT;
MPX_API int struct_dump(struct_desc *d, void *record) MPX_NOEXCEPT;

/* ---------------------------------------------------------------------- */
/* Geodetic database                                                      */
/* ---------------------------------------------------------------------- */

#define MPX_DB_FLAT_FILES 0
#define MPX_DB_SYBASE 1

MPX_API int gdb_set_db(int type) MPX_NOEXCEPT;
MPX_API const char *gdb_path(void) MPX_NOEXCEPT;
MPX_API const char *gdb_grid_path(void) MPX_NOEXCEPT;
MPX_API int gdb_set_table(const char *table) MPX_NOEXCEPT;
MPX_API int gdb_set_name_key(const char *key) MPX_NOEXCEPT;
/* Null name rewinds. Returns 0, 1 after the last record, -1 on error. */
MPX_API int gdb_next_name_key(char *name) MPX_NOEXCEPT;
/* Returns 0, 1 when no record line has been read yet, -1 on failure. */
MPX_API int gdb_load(const char *column, const char *type, void *value) MPX_NOEXCEPT;
MPX_API int gdb_struct_load(struct_desc *d, void *record) MPX_NOEXCEPT;

/* ---------------------------------------------------------------------- */
/* Projection registry                                                    */
/* ---------------------------------------------------------------------- */

/* Routine contract: angles in radians, x and y in the projection's unit.
   Statuses: 0 success; 1 point not representable; 2 singular point;
   3 and 4 antipodes (a point is still produced); -2 no convergence. */
typedef int (*mpx_proj_init_fn)(void *params);
typedef int (*mpx_proj_forward_fn)(void *params, double lon, double lat, double *x, double *y);
typedef int (*mpx_proj_backward_fn)(void *params, double x, double y, double *lon, double *lat);

#define MPX_MAX_PROJECTIONS 50
#define MPX_SPECIAL_PROJECTION 50 /* index of geodetic and geocentric systems */

/* Mode flag: the forward routine accepts longitudes outside its window. */
#define MPX_PROJ_MODE_UNCONDITIONED 1

typedef struct mpx_proj_entry {
    struct_desc *descriptor; /* its name is the projection keyword */
    mpx_proj_init_fn init;
    mpx_proj_forward_fn forward;
    mpx_proj_backward_fn backward;
    int mode;
    int param_size;    /* bytes of the parameter record */
    int radius_offset; /* of "spheroid.radius", -1 when absent */
    int ecc_offset;    /* of "spheroid.eccentricity", -1 when absent */
} mpx_proj_entry;

MPX_API int mpx_proj_create(const char *keyword, void *sample, int param_size) MPX_NOEXCEPT;
MPX_API int mpx_proj_ins_par(const char *name, void *field, int type) MPX_NOEXCEPT;
MPX_API int mpx_proj_ins_funcs(mpx_proj_init_fn init, mpx_proj_forward_fn forward,
                               mpx_proj_backward_fn backward) MPX_NOEXCEPT;
MPX_API int mpx_proj_ins_mode(int mode) MPX_NOEXCEPT;
MPX_API int mpx_proj_end(void) MPX_NOEXCEPT;
MPX_API int mpx_base_install(void) MPX_NOEXCEPT;
/* Extension beyond the classic interface: installs exact forms of "tranmerc",
   "stm" and "utm" (Krueger's series in the third flattening to n^6, within
   5 nm of the exact projection up to 4000 km from the central meridian) and
   of "lambert1" and "lambert2" (the closed formulas of EPSG methods 9801 and
   9802, inverse iterated to 1e-12 rad), with the records, parameters, modes
   and false origins of the classic forms, ahead of the
   base projections, so that every later lookup by keyword finds them. Call
   it before the first coordinate system is created: 0; called later, or a
   second time, it installs nothing and returns -1 (reported). */
MPX_API int mpx_exact_install(void) MPX_NOEXCEPT;
MPX_API int mpx_proj_debug(const char *keyword, const char *label, void *params, double x, double y,
                           double lon, double lat, long status) MPX_NOEXCEPT;

/* Test projections (print every call, exchange the coordinates) and the
   template of a complete projection. */
MPX_API int proj_a_install(void) MPX_NOEXCEPT;
MPX_API int proj_a_init(void *params) MPX_NOEXCEPT;
MPX_API int proj_a_forward(void *params, double lon, double lat, double *x, double *y) MPX_NOEXCEPT;
MPX_API int proj_a_backward(void *params, double x, double y, double *lon,
                            double *lat) MPX_NOEXCEPT;
MPX_API int proj_b_install(void) MPX_NOEXCEPT;
MPX_API int proj_b_init(void *params) MPX_NOEXCEPT;
MPX_API int proj_b_forward(void *params, double lon, double lat, double *x, double *y) MPX_NOEXCEPT;
MPX_API int proj_b_backward(void *params, double x, double y, double *lon,
                            double *lat) MPX_NOEXCEPT;
MPX_API int mpx_xxxx_install(void) MPX_NOEXCEPT;

/* Base projection installers, in the order mpx_base_install runs them. */
MPX_API int mpx_coniced_install(void) MPX_NOEXCEPT;
MPX_API int mpx_lambert1_install(void) MPX_NOEXCEPT;
MPX_API int mpx_lambert2_install(void) MPX_NOEXCEPT;
MPX_API int mpx_mollweid_install(void) MPX_NOEXCEPT;
MPX_API int mpx_mercator_install(void) MPX_NOEXCEPT;
MPX_API int mpx_tranmerc_install(void) MPX_NOEXCEPT;
MPX_API int mpx_stm_install(void) MPX_NOEXCEPT;
MPX_API int mpx_utm_install(void) MPX_NOEXCEPT;
MPX_API int mpx_albersea_install(void) MPX_NOEXCEPT;
MPX_API int mpx_regpol_install(void) MPX_NOEXCEPT;
MPX_API int mpx_modpol_install(void) MPX_NOEXCEPT;
MPX_API int mpx_azimuted_install(void) MPX_NOEXCEPT;
MPX_API int mpx_obmerc_b_install(void) MPX_NOEXCEPT;
MPX_API int mpx_stereo_install(void) MPX_NOEXCEPT;
MPX_API int mpx_grinten_install(void) MPX_NOEXCEPT;
MPX_API int mpx_lambazea_install(void) MPX_NOEXCEPT;
MPX_API int mpx_sinusoid_install(void) MPX_NOEXCEPT;
MPX_API int mpx_eckertiv_install(void) MPX_NOEXCEPT;
MPX_API int mpx_eckertvi_install(void) MPX_NOEXCEPT;
MPX_API int mpx_placaree_install(void) MPX_NOEXCEPT;
MPX_API int mpx_cassini_install(void) MPX_NOEXCEPT;
MPX_API int mpx_bioconco_install(void) MPX_NOEXCEPT;
MPX_API int mpx_dutch_install(void) MPX_NOEXCEPT;
MPX_API int mpx_borneo_install(void) MPX_NOEXCEPT;
MPX_API int mpx_swiss_install(void) MPX_NOEXCEPT;
MPX_API int mpx_winktrip_install(void) MPX_NOEXCEPT;
MPX_API int mpx_nzmapgrd_install(void) MPX_NOEXCEPT;
MPX_API int mpx_labordom_install(void) MPX_NOEXCEPT;
MPX_API int mpx_bonne_install(void) MPX_NOEXCEPT;
MPX_API int mpx_orthog_install(void) MPX_NOEXCEPT;
MPX_API int mpx_gnomonic_install(void) MPX_NOEXCEPT;
MPX_API int mpx_modstero_install(void) MPX_NOEXCEPT;
MPX_API int mpx_robinson_install(void) MPX_NOEXCEPT;

/* ---------------------------------------------------------------------- */
/* Coordinate systems                                                     */
/* ---------------------------------------------------------------------- */

#define MPX_MAX_COORD_SYS 19
#define MPX_NAME_SIZE 20 /* names hold at most 19 characters */

#define MPX_COORD_PROJECTED 0
#define MPX_COORD_GEODETIC 2
#define MPX_COORD_GEOCENTRIC 3

/* Status bits of a coordinate system. */
#define MPX_STATUS_OTHER_DATUM 1          /* projection defined for another ellipsoid */
#define MPX_STATUS_OTHER_PRIME_MERIDIAN 2 /* projection defined for another prime meridian */

typedef struct mpx_aoi {
    double x0, x1, y0, y1;
} mpx_aoi;

typedef struct mpx_datum {
    char name[MPX_NAME_SIZE];
    double radius;       /* semi-major axis, in units of metre_factor metres */
    double eccentricity; /* first eccentricity, not squared */
    double metre_factor;
    double prime_merid; /* radians; always 0.0 */
} mpx_datum;

typedef struct mpx_projection {
    char name[MPX_NAME_SIZE];
    int proj_index;      /* registry index of the computing projection */
    double metre_factor; /* metres per projection unit */
} mpx_projection;

typedef struct mpx_coord_sys {
    int ref_count;
    int locked;
    int spare;
    int coord_type; /* MPX_COORD_* */
    char horizontal_label[MPX_NAME_SIZE];
    double horizontal_factor;
    char vertical_label[MPX_NAME_SIZE];
    double vertical_factor;
    double resolution;
    mpx_aoi aoi;
    mpx_datum datum;
    mpx_projection projection;
    void *params; /* projection instance; null for geodetic and geocentric */
    int status;   /* MPX_STATUS_* bits */
} mpx_coord_sys;

/* Identifiers are 1..19 and passed by pointer. */
MPX_API int mpx_create_coord_sys(const char *datum_name, const char *projection_name,
                                 const char *units) MPX_NOEXCEPT;
MPX_API int mpx_crelock_coord_sys(const char *datum_name, const char *projection_name,
                                  const char *units) MPX_NOEXCEPT;
MPX_API int mpx_check_creation_coord_sys(const char *datum_name, const char *projection_name,
                                         const char *units) MPX_NOEXCEPT;
MPX_API int mpx_inq_status_coord_sys(const int *id) MPX_NOEXCEPT;
MPX_API int mpx_copy_coord_sys(const int *id) MPX_NOEXCEPT;
MPX_API int mpx_lock_coord_sys(const int *id) MPX_NOEXCEPT;
MPX_API int mpx_delete_coord_sys(const int *id) MPX_NOEXCEPT;
MPX_API int mpx_next_coord_sys(const int *id) MPX_NOEXCEPT;

/* Attributes by entity and attribute name, with the conventions of
   struct_inq and struct_mod. Entities: "units", "datum", "aoi",
   "resolution" and "projection" (its "name" and "metre_factor", or any
   parameter of the projection instance; angles in radians, lengths in the
   projection's unit). attribute may be "init", "init-." or "next" to list
   an entity's attributes (the name found is copied back).
   mpx_inq_coord_sys: 0, 1 at the end of a listing, -1 (invalid id, absent
   attribute, failed conversion), -4 unknown entity; 0 with a message for
   "projection" on a geodetic or geocentric system (nothing written). */
MPX_API int mpx_inq_coord_sys(const int *id, const char *entity, char *attribute, char *type,
                              void *value, int value_size) MPX_NOEXCEPT;
/* Writes "aoi" and "resolution" of an unlocked system, and the parameters
   of an unlocked modifiable projection instance (projection name "mod_"
   followed by its base keyword), which is then initialised again and the
   change announced on standard output. Returns 0 (or struct_mod's result
   for "aoi" and "resolution"; the init status for "projection"), -1
   invalid id or entity "datum", -2 locked, -4 instance not modifiable,
   -5 attribute refused, -6 unknown entity; 0 with a message for
   "projection" on a geodetic or geocentric system. */
MPX_API int mpx_mod_coord_sys(const int *id, const char *entity, const char *attribute,
                              const char *type, const void *value) MPX_NOEXCEPT;

/* ---------------------------------------------------------------------- */
/* Geodesy and datum change                                               */
/* ---------------------------------------------------------------------- */

typedef struct mpx_ellipsoid {
    double radius;       /* semi-major axis a */
    double eccentricity; /* first eccentricity e, 0 for a sphere */
    double prime_merid;  /* radians, added on the way to geocentric */
} mpx_ellipsoid;

/* Which terms of a Bursa-Wolfe record are applied. */
#define MPX_BW_IDENTITY 0
#define MPX_BW_TRANSLATION 1
#define MPX_BW_TRANSLATION_ROTATION_Z_SCALE 2
#define MPX_BW_FULL 3

/* Seven-parameter similarity, position-vector rotation convention. */
typedef struct mpx_bw_params {
    int type;
    double translation_x, translation_y, translation_z; /* length unit of X, Y, Z */
    double rotation_x, rotation_y, rotation_z;          /* radians */
    double scale;                                       /* multiplier, 1 = none */
} mpx_bw_params;

typedef struct mpx_grid_change {
    int grid_id;    /* from grid_access_init */
    int inverse;    /* 1: apply the grid in the opposite direction */
    int num_coeffs; /* 18 or 8 */
} mpx_grid_change;

/* Datum-change routine as the point pipeline calls it; change_data is the
   mpx_bw_params or mpx_grid_change record. */
typedef int (*mpx_datum_change_fn)(const void *change_data, const mpx_ellipsoid *source,
                                   const mpx_ellipsoid *target, double lon, double lat,
                                   double height, double *lon_out, double *lat_out,
                                   double *height_out);

MPX_API int mpx_gd_to_xyz(const mpx_ellipsoid *e, double lon, double lat, double height, double *x,
                          double *y, double *z) MPX_NOEXCEPT;
MPX_API int mpx_xyz_to_gd(const mpx_ellipsoid *e, double x, double y, double z, double *lon,
                          double *lat, double *height) MPX_NOEXCEPT;
MPX_API int mpx_xyz_to_gd_2(const mpx_ellipsoid *e, double x, double y, double z, double *lon,
                            double *lat, double *height) MPX_NOEXCEPT;

MPX_API int mpx_xyz_to_xyz(const mpx_bw_params *p, double x, double y, double z, double *x_out,
                           double *y_out, double *z_out) MPX_NOEXCEPT;
MPX_API int mpx_bw_invert(const mpx_bw_params *source, mpx_bw_params *result) MPX_NOEXCEPT;
MPX_API int mpx_bw_combine(const mpx_bw_params *first, const mpx_bw_params *second,
                           mpx_bw_params *result) MPX_NOEXCEPT;
MPX_API int mpx_bw_gd_to_gd(const mpx_bw_params *p, const mpx_ellipsoid *source,
                            const mpx_ellipsoid *target, double lon, double lat, double height,
                            double *lon_out, double *lat_out, double *height_out) MPX_NOEXCEPT;
MPX_API int mpx_bw_gd_to_xyz(const mpx_bw_params *p, const mpx_ellipsoid *source, double lon,
                             double lat, double height, double *x_out, double *y_out,
                             double *z_out) MPX_NOEXCEPT;
MPX_API int mpx_bw_xyz_to_gd(const mpx_bw_params *p, const mpx_ellipsoid *target, double x,
                             double y, double z, double *lon_out, double *lat_out,
                             double *height_out) MPX_NOEXCEPT;

/* Grid files: opaque records of the grid access layer. */
typedef struct mpx_grid_file mpx_grid_file;
typedef struct mpx_grid_cell mpx_grid_cell;

#define MPX_GRID_MAX_COEFFS 18

MPX_API int mpx_grid_gd_to_gd(const mpx_grid_change *g, const mpx_ellipsoid *source,
                              const mpx_ellipsoid *target, double lon, double lat, double height,
                              double *lon_out, double *lat_out, double *height_out) MPX_NOEXCEPT;
/* Most grid chains open at once: one per cached transformation with room for
   a host's own. */
#define MPX_GRID_MAX_CHAINS 64

/* names: file paths separated by blanks. Returns the chain's id, 0 on failure;
   also 0 while MPX_GRID_MAX_CHAINS chains are open, until one is closed. */
MPX_API int grid_access_init(const char *names) MPX_NOEXCEPT;
MPX_API int grid_access_set_current_id(int grid_id) MPX_NOEXCEPT;
MPX_API int grid_access_inq_num_coeffs(void) MPX_NOEXCEPT;
MPX_API int grid_access_get_block(double lon, double lat, double *coefficients) MPX_NOEXCEPT;
MPX_API void grid_access_close(int grid_id) MPX_NOEXCEPT;
MPX_API int gridi_read_data_block(mpx_grid_file *file, int cell_index,
                                  mpx_grid_cell *entry) MPX_NOEXCEPT;
MPX_API int gridi_copy_data_block(int kind, const mpx_grid_cell *entry,
                                  double *coefficients) MPX_NOEXCEPT;

/* ---------------------------------------------------------------------- */
/* Transformations                                                        */
/* ---------------------------------------------------------------------- */

#define MPX_MAX_TRANSFORMATIONS 20

/* Robustness modes of a transformation. */
#define MPX_ROBUST_NONE 1
#define MPX_ROBUST_WRAP 2
#define MPX_ROBUST_REJECT 3
#define MPX_ROBUST_AUTOMATIC 4

#define MPX_DATUM_CHANGE_NONE 0
#define MPX_DATUM_CHANGE_BURSA_WOLFE 1
#define MPX_DATUM_CHANGE_GRID 2

typedef struct mpx_transformation {
    int source_id, target_id;
    int status; /* -1 set-up pending, 0 ready, 3 set-up failed */
    int num_points;
    int robust_mode;
    int target_proj_mode;
    int window_flag;
    double window_low, window_high; /* longitude window, radians */
    int pre_mode;                   /* 1: geocentric source */
    int post_mode;                  /* 1: geocentric target */
    int inner_mode;                 /* 1 gd->proj, 2 proj->gd, 3 proj->proj, 4 gd->gd */
    double input_scale, output_scale;
    mpx_proj_forward_fn target_forward;
    mpx_proj_backward_fn source_backward;
    int datum_change_type; /* MPX_DATUM_CHANGE_* */
    mpx_datum_change_fn datum_change;
    void *change_data; /* mpx_bw_params or mpx_grid_change, owned */
    mpx_ellipsoid source_ellipsoid, target_ellipsoid;
    void *source_params, *target_params; /* not owned */
} mpx_transformation;

MPX_API int mpx_set_source(const int *id) MPX_NOEXCEPT;
MPX_API int mpx_set_target(const int *id) MPX_NOEXCEPT;
MPX_API int mpx_inq_source(void) MPX_NOEXCEPT;
MPX_API int mpx_inq_target(void) MPX_NOEXCEPT;
MPX_API int mpx_inq_trans_status(void) MPX_NOEXCEPT;
MPX_API int mpx_mod_num_points(const int *n) MPX_NOEXCEPT;
MPX_API int mpx_mod_trans_mode(const int *mode) MPX_NOEXCEPT;
MPX_API int mpx_inq_trans_mode(const int *mode) MPX_NOEXCEPT;
/* Null name restarts; 0 with the next keyword copied; 1 at the end. */
MPX_API int mpx_inq_next_base(char *name) MPX_NOEXCEPT;

/* One point: 0, 1 rejected (robustness 3) or refused (a step gave a
   non-finite coordinate, the source projection's inverse a latitude beyond a
   pole, or a longitude beyond 1e9 rad was to be wrapped), a projection status,
   or -1 (a non-finite input among others). A result of 0 always comes with
   finite outputs. Outputs may alias inputs; they are untouched on failure. */
MPX_API int mpx_transform(const double *x, const double *y, const double *z, double *x_out,
                          double *y_out, double *z_out) MPX_NOEXCEPT;
/* n points of three interleaved doubles; out may be in. */
MPX_API int mpx_trans_array(const int *n, const double *in, double *out) MPX_NOEXCEPT;
/* Not implemented: reads nothing and returns -1. */
MPX_API int mpx_trans_polyline(const int *n, const double *in, double *out) MPX_NOEXCEPT;

/* flags: 1 init flag, 2 registry, 4 coordinate systems, 8 transformations,
   16 summary. */
MPX_API int mpx_debug(int flags) MPX_NOEXCEPT;

/* ---------------------------------------------------------------------- */
/* Extensions beyond the classic interface: seeing inside a conversion    */
/* ---------------------------------------------------------------------- */

/* Steps of the point pipeline that a trace hook is shown, in the order
   mpx_transform runs them. Steps that a transformation's shape skips are
   not shown. Values are those the pipeline holds after the step: angles in
   radians, linear values in the system's unit. */
#define MPX_TRACE_SCALED_INPUT 1    /* input x, y times input_scale, z */
#define MPX_TRACE_FROM_GEOCENTRIC 2 /* geocentric source: lon, lat, height */
#define MPX_TRACE_WINDOW                                                                           \
    3 /* geodetic source after the longitude                                                       \
         window; status 1: rejected */
#define MPX_TRACE_SOURCE_BACKWARD                                                                  \
    4 /* lon, lat on the source datum; status                                                      \
         of the source projection */
#define MPX_TRACE_DATUM_CHANGE                                                                     \
    5                              /* lon, lat, height on the target datum;                        \
                                      status -1: the change failed */
#define MPX_TRACE_TARGET_FORWARD 6 /* x, y; status of the target projection */
#define MPX_TRACE_TO_GEOCENTRIC 7  /* geocentric target: X, Y, Z */
#define MPX_TRACE_OUTPUT 8         /* exactly the values written out */

typedef void (*mpx_trace_fn)(void *user, int step, int status, double x, double y, double z);

/* Installs a hook that mpx_transform (and so mpx_trans_array) calls after
   every step it runs; a null hook removes it. The hook only watches: it
   must not call the library. Returns 0. */
MPX_API int mpx_install_trace(mpx_trace_fn hook, void *user) MPX_NOEXCEPT;

/* How the set-up found the datum change. */
#define MPX_ROUTE_NONE 0      /* same datum: no change */
#define MPX_ROUTE_IDENTITY 1  /* a "USC" datum: identity, nothing looked up */
#define MPX_ROUTE_DIRECT 2    /* key SOURCE>TARGET */
#define MPX_ROUTE_REVERSED 3  /* key TARGET>SOURCE, inverted */
#define MPX_ROUTE_VIA_WGS84 4 /* SOURCE>WGS84 then the inverse of TARGET>WGS84 */

typedef struct mpx_trans_info {
    mpx_transformation record;       /* the current transformation, set up */
    int route;                       /* MPX_ROUTE_* */
    char keys[2][2 * MPX_NAME_SIZE]; /* "datumcha" keys used, empty if none */
    char change_type[MPX_NAME_SIZE]; /* "bursawol", "smith" or "nadcon" */
    char control_file[48];           /* grid change: the grid file names */
    mpx_bw_params bursa_wolfe;       /* as applied (inverted or combined) */
    mpx_grid_change grid;
} mpx_trans_info;

/* Runs a pending set-up of the current transformation and describes it.
   Returns its status (0 ready, 3 set-up failed, with what was found so
   far), or -1 when there is no current transformation (reported) or info
   is null. */
MPX_API int mpx_inq_trans_info(mpx_trans_info *info) MPX_NOEXCEPT;

/* ---------------------------------------------------------------------- */
/* Numeric helpers and ellipsoid series                                   */
/* ---------------------------------------------------------------------- */

typedef struct mpx_complex {
    double re;
    double im;
    int status; /* 0 valid; 1 an overflow guard tripped, re = im = DBL_MAX */
} mpx_complex;

MPX_API double mpx_normal_pi(double angle) MPX_NOEXCEPT;
MPX_API double mpx_asin(double x) MPX_NOEXCEPT;
MPX_API double mpx_acos(double x) MPX_NOEXCEPT;
MPX_API double mpx_acosh(double x) MPX_NOEXCEPT;
MPX_API double mpx_atanh(double x) MPX_NOEXCEPT;
MPX_API mpx_complex mpx_complex_add(mpx_complex a, mpx_complex b) MPX_NOEXCEPT;
MPX_API mpx_complex mpx_complex_subtract(mpx_complex a, mpx_complex b) MPX_NOEXCEPT;
MPX_API mpx_complex mpx_complex_multiply(mpx_complex a, mpx_complex b) MPX_NOEXCEPT;
MPX_API mpx_complex mpx_complex_divide(mpx_complex a, mpx_complex b) MPX_NOEXCEPT;
MPX_API mpx_complex mpx_complex_power(mpx_complex z, double p) MPX_NOEXCEPT;
MPX_API int mpx_check_add(double a, double b) MPX_NOEXCEPT;
MPX_API int mpx_check_subtract(double a, double b) MPX_NOEXCEPT;
MPX_API int mpx_check_multiply(double a, double b) MPX_NOEXCEPT;
MPX_API int mpx_check_divide(double a, double b) MPX_NOEXCEPT;

/* Series arrays hold six doubles (Snyder 1987 equation numbers). */
#define MPX_SERIES_SIZE 6

MPX_API void mpx_proj_factors_35(double a, double b, double c, double d, double *s) MPX_NOEXCEPT;
MPX_API double mpx_snyder_eqn_3_35(double x, const double *s) MPX_NOEXCEPT;
MPX_API void mpx_snyder_eqn_3_35_terms(double x, const double *s, double *t) MPX_NOEXCEPT;
MPX_API double mpx_snyder_eqn_3_35_diff(double x, const double *s, const double *t) MPX_NOEXCEPT;
MPX_API void mpx_snyder_init_3_5(double e, double *s) MPX_NOEXCEPT;
MPX_API void mpx_snyder_init_3_18(double e, double *s) MPX_NOEXCEPT;
MPX_API double mpx_snyder_eqn_3_18(double x, const double *s) MPX_NOEXCEPT;
MPX_API void mpx_snyder_eqn_3_18_terms(double x, const double *s, double *t) MPX_NOEXCEPT;
MPX_API double mpx_snyder_eqn_3_18_diff(double x, const double *s, const double *t) MPX_NOEXCEPT;
MPX_API void mpx_snyder_init_3_21(double e, double a, double *s) MPX_NOEXCEPT;
MPX_API double mpx_snyder_eqn_3_21(double phi, const double *s) MPX_NOEXCEPT;
MPX_API void mpx_snyder_eqn_3_21_terms(double phi, const double *s, double *t) MPX_NOEXCEPT;
MPX_API double mpx_snyder_eqn_3_21_diff(double phi, const double *s, const double *t) MPX_NOEXCEPT;
MPX_API double mpx_snyder_eqn_3_24(double e) MPX_NOEXCEPT;
MPX_API void mpx_snyder_init_3_26(double e, double *s) MPX_NOEXCEPT;
MPX_API double mpx_snyder_eqn_3_1(double sin_phi, double e) MPX_NOEXCEPT;
MPX_API double mpx_snyder_eqn_9_13(double x, double e) MPX_NOEXCEPT;
MPX_API double mpx_snyder_eqn_3_12(double sin_phi, double sin2_phi, double e,
                                   double e2) MPX_NOEXCEPT;
/* Returns 0, or -2 without convergence (*phi unchanged). e must not be 0. */
MPX_API int mpx_snyder_eqn_3_16(double *phi, double q, double e, double e2) MPX_NOEXCEPT;
MPX_API void mpx_proj_factors_37(double a0, double a1, double a2, double a3,
                                 double *s) MPX_NOEXCEPT;
MPX_API double mpx_snyder_eqn_3_37(double x, const double *s) MPX_NOEXCEPT;
MPX_API void mpx_snyder_eqn_3_37_terms(double x, const double *s, double *t) MPX_NOEXCEPT;
MPX_API double mpx_snyder_eqn_3_37_diff(double x, const double *s, const double *t) MPX_NOEXCEPT;
MPX_API void mpx_proj_factors_39(double a0, double a1, double a2, double a3, double a4,
                                 double *s) MPX_NOEXCEPT;
MPX_API double mpx_snyder_eqn_3_39(double x, const double *s) MPX_NOEXCEPT;
MPX_API void mpx_snyder_eqn_3_39_terms(double x, const double *s, double *t) MPX_NOEXCEPT;
MPX_API double mpx_snyder_eqn_3_39_diff(double x, const double *s, const double *t) MPX_NOEXCEPT;

#ifdef __cplusplus
}
#endif

#endif /* MPXLIB_H */
