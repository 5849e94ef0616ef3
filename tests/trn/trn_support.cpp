#include "trn_support.hpp"

#include "proj/registry.hpp"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>

namespace trn_test {

namespace {

std::vector<std::string> g_lines;
void collect(const char *line) { g_lines.emplace_back(line); }

struct ProbeRecord {
    double cut;
    double radius;
    double long_cut;
};

int probe_init(void *params) noexcept {
    auto &r = *static_cast<ProbeRecord *>(params);
    r.long_cut = r.cut;
    return 0;
}

int probe_forward(void *, double lon, double lat, double *x, double *y) noexcept {
    *x = lon;
    *y = lat;
    return lat > kProbeLatLimit ? 1 : 0;
}

int probe_backward(void *, double x, double y, double *lon, double *lat) noexcept {
    *lon = x;
    *lat = y;
    return x > kProbeEastLimit ? 2 : 0;
}

ProbeRecord g_sample;

void install_probe(const char *keyword, int mode) {
    mpx_proj_create(keyword, &g_sample, sizeof g_sample);
    mpx_proj_ins_par("cut", &g_sample.cut, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par("spheroid.radius", &g_sample.radius, MPX_TYPE_DOUBLE);
    mpx_proj_ins_par(".long_cut", &g_sample.long_cut, MPX_TYPE_DOUBLE);
    mpx_proj_ins_funcs(probe_init, probe_forward, probe_backward);
    mpx_proj_ins_mode(mode);
    ASSERT_EQ(mpx_proj_end(), 0);
}

} // namespace

std::vector<std::string> &lines() { return g_lines; }

std::vector<std::string> take_lines() {
    std::vector<std::string> taken;
    taken.swap(g_lines);
    return taken;
}

void install_probes() {
    install_probe("probe", 0);
    install_probe("freeprobe", MPX_PROJ_MODE_UNCONDITIONED);
}

double radians(double degrees) { return degrees * kPi / 180.0; }
double dms(double degrees, double minutes, double seconds) {
    return degrees + minutes / 60.0 + seconds / 3600.0;
}

std::string TrnTest::database_folder() { return MPX_SOURCE_DIR "tests/trn/data/"; }

std::string TrnTest::copy_of_fixture(const char *name) {
    namespace fs = std::filesystem;
    const char *tmp = std::getenv("MPX_TEST_TMP");
    // Short folder names keep grid paths well inside their 80 characters.
    char leaf[16];
    std::snprintf(leaf, sizeof leaf, "trn_%08zx", std::hash<std::string>{}(name)&0xffffffffu);
    const fs::path folder = fs::path(tmp ? tmp : ".") / leaf;
    fs::remove_all(folder);
    fs::create_directories(folder);
    for (const auto &entry : fs::directory_iterator(MPX_SOURCE_DIR "tests/trn/data/"))
        fs::copy_file(entry.path(), folder / entry.path().filename());
    return folder.string() + "/";
}

void TrnTest::SetUp() {
    setenv("TORVA_ORTIX_DIR", database_folder().c_str(), 1);
    g_lines.clear();
    mpx_install_error(collect);
    mpx_inq_next_base(nullptr); // initialises the library
    if (proj_find("utm") < 0)
        mpx_utm_install();
    install_probes();
    proj_a_install();
    proj_b_install();
    ASSERT_EQ(take_lines(), std::vector<std::string>{});
}

void TrnTest::TearDown() { mpx_install_error(nullptr); }

int TrnTest::locked(const char *datum, const char *projection, const char *units) {
    const int id = unlocked(datum, projection, units);
    mpx_lock_coord_sys(&id);
    return id;
}

int TrnTest::unlocked(const char *datum, const char *projection, const char *units) {
    const int id = mpx_create_coord_sys(datum, projection, units);
    EXPECT_GT(id, 0) << datum << " " << projection << " " << units;
    return id;
}

void TrnTest::select(int source, int target) {
    ASSERT_EQ(mpx_set_source(&source), 0);
    ASSERT_EQ(mpx_set_target(&target), 0);
}

int TrnTest::transform(Point in, Point &out) {
    return mpx_transform(&in.x, &in.y, &in.z, &out.x, &out.y, &out.z);
}

} // namespace trn_test
