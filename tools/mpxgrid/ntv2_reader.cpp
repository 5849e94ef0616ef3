#include "ntv2_reader.hpp"

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <set>

namespace mpxgrid {
namespace {

constexpr std::size_t kRecordSize = 16;
constexpr std::size_t kHeaderRecords = 11; // overview and sub-grid headers alike
constexpr std::size_t kNodeSize = 16;      // four floats
constexpr double kSecondsPerMinute = 60.0;
constexpr double kSecondsPerDegree = 3600.0;
// A sub-grid's extent must be a whole number of steps to within this
// fraction of a step (the published grids are exact in seconds).
constexpr double kStepSlack = 1e-6;
// More nodes than this in one row or column is not a shift grid.
constexpr double kMaxNodesPerSide = 1e6;

class Cursor {
  public:
    Cursor(const std::vector<unsigned char> &bytes, std::string &error)
        : bytes_(bytes), error_(error) {}

    void set_big_endian(bool big) { big_ = big; }
    std::size_t offset() const { return offset_; }
    bool fail(const std::string &what) {
        error_ = what;
        return false;
    }

    // The next record, which must be called `name`; its 8-byte value.
    bool record(const char *name, const unsigned char *&value) {
        if (offset_ > bytes_.size() || bytes_.size() - offset_ < kRecordSize)
            return fail("truncated: record " + std::string(name) + " expected at byte " +
                        std::to_string(offset_) + ", the file has " +
                        std::to_string(bytes_.size()) + " bytes");
        const char *found = reinterpret_cast<const char *>(bytes_.data() + offset_);
        if (std::strncmp(found, name, 8) != 0)
            return fail("record " + std::string(name) + " expected at byte " +
                        std::to_string(offset_) + ", found '" + printable(found) + "'");
        value = bytes_.data() + offset_ + 8;
        offset_ += kRecordSize;
        return true;
    }
    bool integer(const char *name, std::int32_t &out) {
        const unsigned char *v = nullptr;
        if (!record(name, v))
            return false;
        out = static_cast<std::int32_t>(static_cast<std::uint32_t>(unsigned_of(v, 4)));
        return true;
    }
    bool real(const char *name, double &out) {
        const unsigned char *v = nullptr;
        if (!record(name, v))
            return false;
        out = std::bit_cast<double>(unsigned_of(v, 8));
        if (!std::isfinite(out))
            return fail("record " + std::string(name) + " at byte " +
                        std::to_string(offset_ - kRecordSize) + " is not a finite number");
        return true;
    }
    bool text(const char *name, std::string &out) {
        const unsigned char *v = nullptr;
        if (!record(name, v))
            return false;
        out = trimmed(reinterpret_cast<const char *>(v));
        return true;
    }
    float node_value(std::size_t at) const {
        return std::bit_cast<float>(static_cast<std::uint32_t>(unsigned_of(&bytes_[at], 4)));
    }
    std::size_t remaining() const { return bytes_.size() - offset_; }
    void skip(std::size_t count) { offset_ += count; }

    static std::string trimmed(const char *eight) {
        std::string s(eight, 8);
        while (!s.empty() && (s.back() == ' ' || s.back() == '\0'))
            s.pop_back();
        return s;
    }

  private:
    std::uint64_t unsigned_of(const unsigned char *p, int count) const {
        std::uint64_t value = 0;
        for (int i = 0; i < count; ++i)
            value = value << 8 | p[big_ ? i : count - 1 - i];
        return value;
    }
    static std::string printable(const char *eight) {
        std::string s;
        for (int i = 0; i < 8; ++i)
            s += (eight[i] >= 32 && eight[i] < 127) ? eight[i] : '?';
        return s;
    }

    const std::vector<unsigned char> &bytes_;
    std::string &error_;
    std::size_t offset_ = 0;
    bool big_ = false;
};

// Seconds of arc per unit of GS_TYPE; 0 for an unknown type.
double seconds_per_unit(const std::string &type) {
    if (type == "SECONDS")
        return 1.0;
    if (type == "MINUTES")
        return kSecondsPerMinute;
    if (type == "DEGREES")
        return kSecondsPerDegree;
    return 0.0;
}

// Node count along one side of [low, high] with `step`, or 0 when the
// extent is not a positive whole number of steps.
int nodes_along(double low, double high, double step) {
    if (!(step > 0) || !(high > low))
        return 0;
    const double steps = (high - low) / step;
    if (steps > kMaxNodesPerSide || std::fabs(steps - std::round(steps)) > kStepSlack)
        return 0;
    return static_cast<int>(std::lround(steps)) + 1;
}

bool read_subgrid(Cursor &in, double unit, Ntv2Subgrid &g) {
    std::string created, updated;
    std::int32_t count = 0;
    const std::size_t start = in.offset();
    if (!in.text("SUB_NAME", g.name) || !in.text("PARENT  ", g.parent) ||
        !in.text("CREATED ", created) || !in.text("UPDATED ", updated) ||
        !in.real("S_LAT   ", g.south) || !in.real("N_LAT   ", g.north) ||
        !in.real("E_LONG  ", g.east) || !in.real("W_LONG  ", g.west) ||
        !in.real("LAT_INC ", g.lat_step) || !in.real("LONG_INC", g.lon_step) ||
        !in.integer("GS_COUNT", count))
        return false;
    const std::string where = "sub-grid '" + g.name + "' at byte " + std::to_string(start);
    for (double *v : {&g.south, &g.north, &g.east, &g.west, &g.lat_step, &g.lon_step})
        *v *= unit;
    if (!(g.lat_step > 0) || !(g.lon_step > 0))
        return in.fail(where + ": LAT_INC and LONG_INC must be positive");
    g.rows = nodes_along(g.south, g.north, g.lat_step);
    g.cols = nodes_along(g.east, g.west, g.lon_step);
    if (g.rows < 2 || g.cols < 2)
        return in.fail(where + ": the extent (S_LAT to N_LAT, E_LONG to W_LONG) must span a "
                               "positive whole number of steps each way");
    const std::int64_t nodes = std::int64_t{g.rows} * g.cols;
    if (count != nodes)
        return in.fail(where + ": GS_COUNT is " + std::to_string(count) + ", the extent holds " +
                       std::to_string(nodes) + " nodes");
    const std::size_t bytes = static_cast<std::size_t>(nodes) * kNodeSize;
    if (in.remaining() < bytes)
        return in.fail(where + ": truncated: " + std::to_string(nodes) + " nodes need " +
                       std::to_string(bytes) + " bytes, " + std::to_string(in.remaining()) +
                       " remain");
    g.lat_shift.resize(static_cast<std::size_t>(nodes));
    g.lon_shift.resize(static_cast<std::size_t>(nodes));
    for (std::size_t i = 0; i < static_cast<std::size_t>(nodes); ++i) {
        const std::size_t at = in.offset() + i * kNodeSize;
        g.lat_shift[i] = static_cast<double>(in.node_value(at)) * unit;
        g.lon_shift[i] = static_cast<double>(in.node_value(at + 4)) * unit;
        if (!std::isfinite(g.lat_shift[i]) || !std::isfinite(g.lon_shift[i]))
            return in.fail(where + ": node " + std::to_string(i) +
                           " has a shift that is not a finite number");
    }
    in.skip(bytes);
    return true;
}

// Every parent named must be another sub-grid of the file, and following
// parents must end at a root.
bool check_parents(Cursor &in, const std::vector<Ntv2Subgrid> &grids) {
    std::set<std::string> names;
    for (const Ntv2Subgrid &g : grids)
        if (!names.insert(g.name).second)
            return in.fail("sub-grid name '" + g.name + "' appears twice");
    for (const Ntv2Subgrid &g : grids) {
        if (g.parent != "NONE" && !names.count(g.parent))
            return in.fail("sub-grid '" + g.name + "' names parent '" + g.parent +
                           "', which is not in the file");
        std::string at = g.parent;
        for (std::size_t hops = 0; at != "NONE"; ++hops) {
            if (hops > grids.size())
                return in.fail("sub-grid '" + g.name + "' has a cycle of parents");
            for (const Ntv2Subgrid &p : grids)
                if (p.name == at) {
                    at = p.parent;
                    break;
                }
        }
    }
    return true;
}

} // namespace

std::optional<Ntv2File> parse_ntv2(const std::vector<unsigned char> &bytes, std::string &error) {
    Cursor in(bytes, error);
    if (bytes.size() < kRecordSize * kHeaderRecords) {
        error = "too short for an NTv2 overview header (" + std::to_string(bytes.size()) +
                " bytes, 176 needed)";
        return std::nullopt;
    }
    // NUM_OREC is 11: its first byte is 11 in little-endian files, its
    // fourth in big-endian ones.
    const bool little = bytes[8] == kHeaderRecords && bytes[11] == 0;
    const bool big = bytes[11] == kHeaderRecords && bytes[8] == 0;
    if (!little && !big) {
        error = "not an NTv2 file: NUM_OREC is not 11 in either byte order";
        return std::nullopt;
    }
    in.set_big_endian(big);
    Ntv2File file;
    file.big_endian = big;
    std::int32_t orec = 0, srec = 0, num_file = 0;
    std::string type, version;
    double major_f = 0, minor_f = 0, major_t = 0, minor_t = 0;
    if (!in.integer("NUM_OREC", orec) || !in.integer("NUM_SREC", srec) ||
        !in.integer("NUM_FILE", num_file) || !in.text("GS_TYPE ", type) ||
        !in.text("VERSION ", version) || !in.text("SYSTEM_F", file.from) ||
        !in.text("SYSTEM_T", file.to) || !in.real("MAJOR_F ", major_f) ||
        !in.real("MINOR_F ", minor_f) || !in.real("MAJOR_T ", major_t) ||
        !in.real("MINOR_T ", minor_t))
        return std::nullopt;
    if (srec != static_cast<std::int32_t>(kHeaderRecords)) {
        error = "NUM_SREC is " + std::to_string(srec) + ", not 11 (a byte-order mix-up?)";
        return std::nullopt;
    }
    if (num_file <= 0) {
        error = "NUM_FILE is " + std::to_string(num_file) + ": no sub-grids";
        return std::nullopt;
    }
    const double unit = seconds_per_unit(type);
    if (unit == 0.0) {
        error = "GS_TYPE '" + type + "' is none of SECONDS, MINUTES, DEGREES";
        return std::nullopt;
    }
    // Each sub-grid needs at least its header: a count beyond what the
    // file can hold is refused before anything is allocated.
    if (static_cast<std::size_t>(num_file) > in.remaining() / (kRecordSize * kHeaderRecords)) {
        error = "NUM_FILE is " + std::to_string(num_file) + ", more sub-grids than the " +
                std::to_string(bytes.size()) + "-byte file can hold";
        return std::nullopt;
    }
    file.subgrids.resize(static_cast<std::size_t>(num_file));
    for (Ntv2Subgrid &g : file.subgrids)
        if (!read_subgrid(in, unit, g))
            return std::nullopt;
    if (!check_parents(in, file.subgrids))
        return std::nullopt;
    return file;
}

} // namespace mpxgrid
