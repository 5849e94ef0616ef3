// The public API as a careless host drives it: one input is a sequence of
// calls chosen and fed by the input's bytes. Systems are created, copied,
// locked and deleted with names and identifiers good and bad; sources,
// targets, point counts and modes change; points with NaN, infinities,
// 1e308 and subnormals go through mpx_transform and mpx_trans_array;
// attributes are inquired and modified; grid chains are opened and closed;
// null pointers are passed wherever a pointer is taken. The database is a
// small one written at start-up into the process's own directory, with the
// grid files of the grid target's corpus.
//
// Checked beyond "no crash": a result of 0 from mpx_transform comes with
// finite outputs, identifiers stay within 1..19, every message line is a
// bounded C string. At the end of an input every system is deleted and
// every chain closed, so inputs do not fill the tables for later ones.
#include "fuzz_files.hpp"
#include "mpxlib.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

namespace {

// Calls per input: enough for long sequences, few enough to stay fast.
constexpr int kMaxCalls = 48;
// Longest random name: past the 19 characters a name may hold.
constexpr std::size_t kMaxNameLength = 40;
// Longest array handed to mpx_trans_array.
constexpr int kMaxArrayPoints = 8;
// A message line is composed into a fixed buffer; this is well beyond it.
constexpr std::size_t kMaxMessageLength = 4096;
// Deleting a system drops one reference; no input takes more than this.
constexpr int kMaxReferences = 4 * kMaxCalls;

void check(bool condition) {
    if (!condition)
        std::abort();
}

void check_message(const char *line) {
    check(line != nullptr);
    check(strnlen(line, kMaxMessageLength) < kMaxMessageLength);
}

void watch_trace(void *, int step, int, double, double, double) {
    check(step >= MPX_TRACE_SCALED_INPUT && step <= MPX_TRACE_OUTPUT);
}

// The files of the database, removed at exit.
std::vector<std::string> &written_files() {
    static std::vector<std::string> files;
    return files;
}

void remove_written_files() {
    for (const std::string &file : written_files())
        std::remove(file.c_str());
}

void write_text(const std::string &path, const char *text) {
    written_files().push_back(path);
    fuzz::write_file(path, reinterpret_cast<const std::uint8_t *>(text), std::strlen(text));
}

void copy_file(const std::string &from, const std::string &to) {
    std::ifstream in(from, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.empty())
        std::abort();
    written_files().push_back(to);
    fuzz::write_file(to, reinterpret_cast<const std::uint8_t *>(bytes.data()), bytes.size());
}

// Two datums with grids (a quadratic grid over two cells near 0 E 50 N and
// the Great Britain example grid), Bursa-Wolfe changes direct, reversed and
// through WGS84, an identity "USC" datum, a sphere, a record with text
// where a number belongs and a change whose grid file is missing.
void write_database(const std::string &dir) {
    write_text(dir + "datum_sp.dat", "name,radius,eccentricity,metre_factor,prime_merid\n"
                                     "WGS84,6378137.0,0.081819190842621486,1,GREENWICH\n"
                                     "OSGB36,6377563.396,0.081673373874141891,1,GREENWICH\n"
                                     "OSGB36_GRID,6377563.396,0.081673373874141891,1,GREENWICH\n"
                                     "ED50,6378388.0,0.08199188997902977,1,GREENWICH\n"
                                     "GRIDA,6378137.0,0.081819190842621486,1,GREENWICH\n"
                                     "USC_LOCAL,6378137.0,0.081819190842621486,1,GREENWICH\n"
                                     "SPHERE,6371007.0,0,1,GREENWICH\n"
                                     "FEET,20925646.3,0.0818191908426,0.3048,GREENWICH\n"
                                     "NOGRID,6378137.0,0.081819190842621486,1,GREENWICH\n"
                                     "BADNUM,abc,0.08,1,GREENWICH\n");
    write_text(dir + "datumcha.dat", "key,change_type\n"
                                     "OSGB36>WGS84,bursawol\n"
                                     "ED50>WGS84,bursawol\n"
                                     "OSGB36_GRID>WGS84,smith\n"
                                     "GRIDA>WGS84,smith\n"
                                     "NOGRID>WGS84,nadcon\n"
                                     "FEET>WGS84,unknown\n");
    write_text(dir + "bursawol.dat",
               "key,translation_x,translation_y,translation_z,rotation_x,rotation_y,rotation_z,"
               "scale_change\n"
               "OSGB36>WGS84,446.448,-125.157,542.06,7.27e-07,1.197e-06,4.08e-06,-20.489\n"
               "ED50>WGS84,-87,-98,-121,0,0,0,0\n");
    write_text(dir + "smith.dat", "key,control_file\n"
                                  "OSGB36_GRID>WGS84,osgb36_wgs84.grd\n"
                                  "GRIDA>WGS84,two_cells.grd\n");
    write_text(dir + "nadcon.dat", "key,control_file\n"
                                   "NOGRID>WGS84,missing.grd\n");
    write_text(dir + "project.dat", "name,type,metre_factor,radius,eccentricity,prime_merid\n"
                                    "UTM31N,utm,1,,,GREENWICH\n"
                                    "BNG,tranmerc,1,6377563.396,0.081673373874141891,GREENWICH\n"
                                    "mod_tranmerc,tranmerc,1,,,GREENWICH\n"
                                    "WORLD_MERCATOR,mercator,1,,,GREENWICH\n"
                                    "UPS_NORTH,stereo,1,,,GREENWICH\n"
                                    "LAMBERT93,lambert2,1,,,GREENWICH\n"
                                    "FEET_TM,tranmerc,0.3048,,,GREENWICH\n"
                                    "NOKEYWORD,nosuchprojection,1,,,GREENWICH\n"
                                    "NORECORD,mercator,1,,,GREENWICH\n");
    write_text(dir + "utm.dat", "name,zone,hemisphere\nUTM31N,31,N\n");
    write_text(dir + "tranmerc.dat",
               "name,false_east,false_north,scale_factor,centre_merid,centre_lat\n"
               "BNG,400000,-100000,0.9996012717,-0.034906585039886591,0.85521133347722145\n"
               "mod_tranmerc,500000,0,0.9996,0.05235987755982989,0\n"
               "FEET_TM,1640416.67,0,0.9996,0.05235987755982989,0\n");
    write_text(dir + "mercator.dat", "name,false_east,false_north,scale_factor,centre_merid\n"
                                     "WORLD_MERCATOR,0,0,1,0\n");
    write_text(dir + "stereo.dat",
               "name,false_east,false_north,scale_factor,centre_merid,origin_lat,true_lat\n"
               "UPS_NORTH,2000000,2000000,0.994,0,1.5707963267948966,1.5707963267948966\n");
    write_text(dir + "lambert2.dat",
               "name,false_east,false_north,scale_factor,centre_merid,centre_lat,first_paral,"
               "second_paral\n"
               "LAMBERT93,700000,6602157.83881,1,0.05235987755982989,0.8115781021773633,"
               "0.8552113334772214,0.767944870877505\n");
    copy_file(MPX_FUZZ_GRID_CORPUS "osgb36_wgs84.grd", dir + "osgb36_wgs84.grd");
    copy_file(MPX_FUZZ_GRID_CORPUS "two_cells.grd", dir + "two_cells.grd");
}

constexpr std::array kDatums{"WGS84",     "OSGB36", "OSGB36_GRID", "ED50",   "GRIDA",
                             "USC_LOCAL", "SPHERE", "FEET",        "NOGRID", "BADNUM",
                             "wgs84",     "OSGB",   "NOSUCHDATUM", "",       "WGS84 "};
constexpr std::array kProjections{
    "GEODETIC",       "GEOCENTRIC", "UTM31N",    "BNG",     "mod_tranmerc",
    "WORLD_MERCATOR", "UPS_NORTH",  "LAMBERT93", "FEET_TM", "NOKEYWORD",
    "NORECORD",       "geodetic",   "mod_",      "UTM",     ""};
constexpr std::array kUnits{"degrees", "radians", "grads", "metres", "feet", "", "DEGREES"};
constexpr std::array kEntities{"units", "datum", "aoi", "resolution", "projection", "", "spheroid"};
constexpr std::array kAttributes{"init",
                                 "init-.",
                                 "next",
                                 "name",
                                 "radius",
                                 "x0",
                                 "y1",
                                 "false_east",
                                 "centre_merid",
                                 "scale_factor",
                                 "metre_factor",
                                 "horizontal_label",
                                 "resolution",
                                 "zone",
                                 "spheroid.radius",
                                 ""};
constexpr std::array kTypes{"d", "l", "c", "s", "*", "x", ""};

class Session {
  public:
    explicit Session(FuzzedDataProvider &in) : in_(in) {}

    void run() {
        for (int call = 0; call < kMaxCalls && in_.remaining_bytes() > 0; ++call)
            step();
    }

    // Deletes every system (all references) and closes every chain opened.
    ~Session() {
        for (int id = 1; id <= MPX_MAX_COORD_SYS; ++id)
            for (int n = 0; n < kMaxReferences && mpx_delete_coord_sys(&id) == 0; ++n) {
            }
        for (const int chain : chains_)
            grid_access_close(chain);
        mpx_install_trace(nullptr, nullptr);
    }

  private:
    template <std::size_t N> const char *pick(const std::array<const char *, N> &names) {
        // Mostly a known name, sometimes a null pointer or random text.
        const int choice = in_.ConsumeIntegralInRange<int>(0, 15);
        if (choice == 0)
            return nullptr;
        if (choice == 1) {
            scratch_.push_back(in_.ConsumeRandomLengthString(kMaxNameLength));
            return scratch_.back().c_str();
        }
        return names[in_.ConsumeIntegralInRange<std::size_t>(0, N - 1)];
    }

    // A remembered identifier most of the time; else 0, a negative one, one
    // past the table, or any integer.
    int identifier() {
        switch (in_.ConsumeIntegralInRange<int>(0, 7)) {
        case 0:
            return 0;
        case 1:
            return -1;
        case 2:
            return MPX_MAX_COORD_SYS + 1;
        case 3:
            return in_.ConsumeIntegral<int>();
        default:
            return in_.ConsumeIntegralInRange<int>(1, MPX_MAX_COORD_SYS);
        }
    }
    const int *id_pointer() {
        if (in_.ConsumeIntegralInRange<int>(0, 15) == 0)
            return nullptr;
        id_ = identifier();
        return &id_;
    }

    double coordinate() {
        constexpr std::array kHostile{
            std::numeric_limits<double>::quiet_NaN(),
            std::numeric_limits<double>::infinity(),
            -std::numeric_limits<double>::infinity(),
            1e308,
            -1e308,
            std::numeric_limits<double>::denorm_min(),
            -std::numeric_limits<double>::denorm_min(),
            std::numeric_limits<double>::max(),
            0.0,
            -0.0,
            1.5707963267948966,
            3.141592653589793,
            90.0,
            180.0,
            1e10,
        };
        switch (in_.ConsumeIntegralInRange<int>(0, 3)) {
        case 0:
            return kHostile[in_.ConsumeIntegralInRange<std::size_t>(0, kHostile.size() - 1)];
        case 1:
            return in_.ConsumeFloatingPoint<double>();
        case 2: // geodetic values in degrees
            return in_.ConsumeFloatingPointInRange<double>(-200.0, 200.0);
        default: // projected values in metres
            return in_.ConsumeFloatingPointInRange<double>(-1e7, 1e7);
        }
    }

    void transform_one() {
        double x = coordinate(), y = coordinate(), z = coordinate();
        double xo = 7, yo = 7, zo = 7;
        const bool nulls = in_.ConsumeIntegralInRange<int>(0, 15) == 0;
        const int which = in_.ConsumeIntegralInRange<int>(0, 5);
        const int rc =
            mpx_transform(nulls && which == 0 ? nullptr : &x, nulls && which == 1 ? nullptr : &y,
                          nulls && which == 2 ? nullptr : &z, nulls && which == 3 ? nullptr : &xo,
                          nulls && which == 4 ? nullptr : &yo, nulls && which == 5 ? nullptr : &zo);
        if (rc == 0)
            check(std::isfinite(xo) && std::isfinite(yo) && std::isfinite(zo));
        // In place: the outputs alias the inputs.
        if (mpx_transform(&x, &y, &z, &x, &y, &z) == 0)
            check(std::isfinite(x) && std::isfinite(y) && std::isfinite(z));
    }

    void transform_array() {
        const int n = in_.ConsumeIntegralInRange<int>(-2, kMaxArrayPoints);
        std::vector<double> in(3 * kMaxArrayPoints), out(3 * kMaxArrayPoints, 7.0);
        for (double &v : in)
            v = in_.remaining_bytes() > 0 ? coordinate() : 0.0;
        const bool nulls = in_.ConsumeIntegralInRange<int>(0, 15) == 0;
        const int which = in_.ConsumeIntegralInRange<int>(0, 2);
        const int rc = mpx_trans_array(nulls && which == 0 ? nullptr : &n,
                                       nulls && which == 1 ? nullptr : in.data(),
                                       nulls && which == 2 ? nullptr : out.data());
        if (rc == 0 && !nulls)
            for (int i = 0; i < 3 * n; ++i)
                check(std::isfinite(out[static_cast<std::size_t>(i)]));
        mpx_trans_array(&n, in.data(), in.data());
    }

    void inquire() {
        char attribute[64];
        std::snprintf(
            attribute, sizeof attribute, "%s",
            in_.ConsumeBool()
                ? kAttributes[in_.ConsumeIntegralInRange<std::size_t>(0, kAttributes.size() - 1)]
                : in_.ConsumeRandomLengthString(30).c_str());
        char type[8];
        std::snprintf(type, sizeof type, "%s",
                      kTypes[in_.ConsumeIntegralInRange<std::size_t>(0, kTypes.size() - 1)]);
        alignas(double) char value[64];
        // A value buffer smaller than the attribute: the size must be kept.
        const int value_size = in_.ConsumeIntegralInRange<int>(-1, sizeof value);
        const bool nulls = in_.ConsumeIntegralInRange<int>(0, 7) == 0;
        const int which = in_.ConsumeIntegralInRange<int>(0, 2);
        mpx_inq_coord_sys(id_pointer(), pick(kEntities), nulls && which == 0 ? nullptr : attribute,
                          nulls && which == 1 ? nullptr : type,
                          nulls && which == 2 ? nullptr : value, value_size);
        check(strnlen(attribute, sizeof attribute) < sizeof attribute);
    }

    void modify() {
        double number = coordinate();
        std::int32_t integer = in_.ConsumeIntegral<std::int32_t>();
        char text[32];
        std::snprintf(text, sizeof text, "%s", in_.ConsumeRandomLengthString(31).c_str());
        const char *type = pick(kTypes);
        const void *value = nullptr;
        switch (in_.ConsumeIntegralInRange<int>(0, 3)) {
        case 0:
            value = &number;
            break;
        case 1:
            value = &integer;
            break;
        case 2:
            value = text;
            break;
        default:
            break; // null
        }
        // A double wherever "d" is named and a value given, so that
        // parameter changes reach the projection's init.
        if (type && std::strcmp(type, "d") == 0 && value != nullptr)
            value = &number;
        mpx_mod_coord_sys(id_pointer(), pick(kEntities), pick(kAttributes), type, value);
    }

    void open_chain() {
        const std::string &dir = fuzz::temp_dir();
        std::string names;
        switch (in_.ConsumeIntegralInRange<int>(0, 5)) {
        case 0:
            names = dir + "two_cells.grd";
            break;
        case 1:
            names = dir + "osgb36_wgs84.grd " + dir + "two_cells.grd";
            break;
        case 2:
            names = dir + "missing.grd";
            break;
        case 3:
            names = dir + "datum_sp.dat"; // a file that is no grid
            break;
        case 4:
            names = "";
            break;
        default:
            names = in_.ConsumeRandomLengthString(kMaxNameLength);
            break;
        }
        const int chain =
            grid_access_init(in_.ConsumeIntegralInRange<int>(0, 15) == 0 ? nullptr : names.c_str());
        if (chain == 0)
            return;
        chains_.push_back(chain);
        check(grid_access_set_current_id(chain) == 0);
        const int coeffs = grid_access_inq_num_coeffs();
        check(coeffs == 8 || coeffs == 18);
        double block[MPX_GRID_MAX_COEFFS];
        grid_access_get_block(coordinate(), coordinate(), block);
    }

    void close_chain() {
        if (chains_.empty()) {
            grid_access_close(in_.ConsumeIntegral<int>());
            return;
        }
        const std::size_t at = in_.ConsumeIntegralInRange<std::size_t>(0, chains_.size() - 1);
        grid_access_close(chains_[at]);
        chains_.erase(chains_.begin() + static_cast<std::ptrdiff_t>(at));
    }

    void step() {
        scratch_.clear();
        switch (in_.ConsumeIntegralInRange<int>(0, 21)) {
        case 0:
        case 1: {
            const int id = mpx_create_coord_sys(pick(kDatums), pick(kProjections), pick(kUnits));
            check(id <= MPX_MAX_COORD_SYS);
            break;
        }
        case 2: {
            const int id = mpx_crelock_coord_sys(pick(kDatums), pick(kProjections), pick(kUnits));
            check(id <= MPX_MAX_COORD_SYS);
            break;
        }
        case 3:
            mpx_check_creation_coord_sys(pick(kDatums), pick(kProjections), pick(kUnits));
            break;
        case 4:
            check(mpx_copy_coord_sys(id_pointer()) <= MPX_MAX_COORD_SYS);
            break;
        case 5:
            mpx_lock_coord_sys(id_pointer());
            break;
        case 6:
            mpx_delete_coord_sys(id_pointer());
            break;
        case 7:
            mpx_inq_status_coord_sys(id_pointer());
            mpx_next_coord_sys(id_pointer());
            break;
        case 8:
            mpx_set_source(id_pointer());
            break;
        case 9:
            mpx_set_target(id_pointer());
            break;
        case 10:
            mpx_mod_num_points(id_pointer());
            break;
        case 11:
            mpx_mod_trans_mode(id_pointer());
            mpx_inq_trans_mode(id_pointer());
            mpx_inq_trans_status();
            break;
        case 12:
        case 13:
        case 14:
            transform_one();
            break;
        case 15:
            transform_array();
            break;
        case 16:
            inquire();
            break;
        case 17:
            modify();
            break;
        case 18:
            open_chain();
            break;
        case 19:
            close_chain();
            break;
        case 20: {
            mpx_trans_info info;
            mpx_inq_trans_info(in_.ConsumeBool() ? &info : nullptr);
            mpx_install_trace(in_.ConsumeBool() ? watch_trace : nullptr, nullptr);
            break;
        }
        default: {
            char name[MPX_NAME_SIZE];
            mpx_inq_next_base(in_.ConsumeBool() ? nullptr : name);
            // The registry listing (flag 2) is long and never changes:
            // rarely asked for, so the rest of a sequence runs faster.
            const int flags = in_.ConsumeIntegralInRange<int>(0, 31);
            mpx_debug(in_.ConsumeIntegralInRange<int>(0, 15) == 0 ? flags : flags & ~2);
            break;
        }
        }
    }

    FuzzedDataProvider &in_;
    std::deque<std::string> scratch_; // stable addresses while a call's names are picked
    std::vector<int> chains_;
    int id_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    static const bool ready = [] {
        // The library announces parameter changes and debug listings on
        // standard output; libFuzzer reports on standard error.
        if (!std::freopen("/dev/null", "w", stdout))
            std::abort();
        write_database(fuzz::temp_dir());
        std::atexit(remove_written_files);
        setenv("TORVA_ORTIX_DIR", fuzz::temp_dir().c_str(), 1);
        mpx_install_error(check_message);
        return true;
    }();
    (void)ready;
    FuzzedDataProvider in(data, size);
    Session session(in);
    session.run();
    return 0;
}
