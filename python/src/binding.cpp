// The extension module mpxlib._mpxlib: a thin layer over include/mpxlib.h.
// Coordinate systems and transformers as Python objects, numpy arrays in and
// out, the library's per-point statuses as an array and its message chain
// in the exceptions. Everything else (argument checks, shapes, the default
// database) is done by the Python modules around it.
//
// The library keeps process-wide, unguarded state: every call into it runs
// under one mutex, with the interpreter lock released around the point loop
// so that other Python threads (a dask worker's event loop) keep running.
#include <mpxlib.h>

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

namespace py = pybind11;

namespace {

// A failure of the library, carrying the message lines it reported.
struct LibraryError {
    std::string message;
};

// Lines kept per call: a chain is a handful of lines; a run of failing
// points reports one chain per point, of which the first ones tell enough.
constexpr std::size_t kMaxKeptLines = 32;
// Room for one text attribute or database field, as the library requires.
constexpr int kTextRoom = 512;
// Attributes listed per entity at most: the largest record has 40.
constexpr int kMaxAttributes = MPX_STRUCT_MAX_ATTRIBUTES + 10;

struct LibraryState {
    std::mutex lock;
    std::vector<std::string> lines;
    bool quiet = false;          // drop reports (inside the point loop)
    bool database_fixed = false; // the first creation or listing fixes it
    bool exact = false;          // mpx_exact_install succeeded
};

LibraryState &state() {
    static LibraryState s;
    return s;
}

extern "C" void collect_line(const char *line) {
    LibraryState &s = state();
    if (!s.quiet && line && s.lines.size() < kMaxKeptLines)
        s.lines.emplace_back(line);
}

// Runs `work` under the library lock with the interpreter lock released,
// the message lines cleared before.
template <class Work> auto locked(Work &&work) {
    py::gil_scoped_release no_gil;
    std::lock_guard<std::mutex> guard(state().lock);
    state().lines.clear();
    return work();
}

// The lines collected by the last call, one per line, or `fallback`.
std::string chain(const char *fallback) {
    std::string text;
    for (const std::string &line : state().lines) {
        if (!text.empty())
            text += '\n';
        text += line;
    }
    return text.empty() ? std::string(fallback) : text;
}

// ---------------------------------------------------------------------------
// Coordinate systems

class System {
  public:
    System(std::string datum, std::string projection, std::string units)
        : datum_(std::move(datum)), projection_(std::move(projection)), units_(std::move(units)) {
        std::string failure;
        id_ = locked([&] {
            state().database_fixed = true;
            const int id =
                mpx_crelock_coord_sys(datum_.c_str(), projection_.c_str(), units_.c_str());
            if (id < 1)
                failure = chain("cannot create the coordinate system");
            return id;
        });
        if (id_ < 1)
            throw LibraryError{failure};
    }
    System(const System &) = delete;
    System &operator=(const System &) = delete;
    ~System() {
        // Deletion runs at garbage collection, with the interpreter lock
        // held; a thread in the point loop holds only the library lock and
        // never waits for the interpreter's, so this wait ends.
        std::lock_guard<std::mutex> guard(state().lock);
        mpx_delete_coord_sys(&id_);
    }

    int id() const { return id_; }
    const std::string &datum() const { return datum_; }
    const std::string &projection() const { return projection_; }
    const std::string &units() const { return units_; }

    int status() const {
        return locked([this] { return mpx_inq_status_coord_sys(&id_); });
    }

    using Value = std::variant<double, long, std::string>;
    using Entity = std::vector<std::pair<std::string, Value>>;

    // Every attribute of an entity in descriptor order; hidden (derived)
    // ones too when `hidden`. Empty for "projection" of a geodetic or
    // geocentric system, which has none.
    Entity attributes(const std::string &entity, bool hidden) const {
        return locked([&] {
            Entity result;
            char name[kTextRoom];
            std::strcpy(name, hidden ? "init" : "init-.");
            const bool saved_quiet = state().quiet;
            state().quiet = true;
            for (int i = 0; i < kMaxAttributes; ++i) {
                char type = MPX_TYPE_ANY;
                alignas(double) char room[kTextRoom] = {};
                const std::string asked = name;
                if (mpx_inq_coord_sys(&id_, entity.c_str(), name, &type, room, kTextRoom) != 0)
                    break;
                // Nothing written: a geodetic or geocentric system's projection.
                if (asked == name)
                    break;
                Value value;
                if (type == MPX_TYPE_DOUBLE) {
                    double d;
                    std::memcpy(&d, room, sizeof d);
                    value = d;
                } else if (type == MPX_TYPE_LONG) {
                    std::int32_t l;
                    std::memcpy(&l, room, sizeof l);
                    value = static_cast<long>(l);
                } else if (type == MPX_TYPE_CHAR) {
                    value = std::string(1, room[0]);
                } else {
                    room[kTextRoom - 1] = '\0';
                    value = std::string(room);
                }
                result.emplace_back(name, std::move(value));
                std::strcpy(name, "next");
            }
            // A projection's own name and metre factor head its parameters.
            if (entity == "projection" && !result.empty()) {
                Entity head;
                for (const char *own : {"name", "metre_factor"}) {
                    char type = MPX_TYPE_ANY;
                    alignas(double) char room[kTextRoom] = {};
                    std::strcpy(name, own);
                    if (mpx_inq_coord_sys(&id_, "projection", name, &type, room, kTextRoom) != 0)
                        continue;
                    if (type == MPX_TYPE_DOUBLE) {
                        double d;
                        std::memcpy(&d, room, sizeof d);
                        head.emplace_back(own, d);
                    } else {
                        room[kTextRoom - 1] = '\0';
                        head.emplace_back(own, std::string(room));
                    }
                }
                result.insert(result.begin(), head.begin(), head.end());
            }
            state().quiet = saved_quiet;
            return result;
        });
    }

  private:
    std::string datum_, projection_, units_;
    int id_ = 0;
};

// ---------------------------------------------------------------------------
// Transformers

// Makes the pair current and its set-up run; the failure chain or empty.
std::string select_pair(int source, int target) {
    if (mpx_set_source(&source) != 0 || mpx_set_target(&target) != 0)
        return chain("cannot select the transformation");
    if (mpx_inq_trans_status() != 0)
        return chain("the transformation cannot be set up");
    return {};
}

// Strided read-only view of a 1-D float64 array (checked by the caller).
struct Column {
    const char *data;
    py::ssize_t stride;
    double at(py::ssize_t i) const {
        double v;
        std::memcpy(&v, data + i * stride, sizeof v);
        return v;
    }
};

Column column_of(const py::array &a, const char *what, py::ssize_t n) {
    if (a.ndim() != 1)
        throw py::value_error(std::string(what) + " must be one-dimensional here");
    if (!a.dtype().is(py::dtype::of<double>()))
        throw py::type_error(std::string(what) + " must be a float64 array");
    if (a.shape(0) != n)
        throw py::value_error(std::string(what) + " has " + std::to_string(a.shape(0)) +
                              " points, x has " + std::to_string(n));
    return {static_cast<const char *>(a.data()), a.strides(0)};
}

constexpr double kFailed = std::numeric_limits<double>::quiet_NaN();
// One point by mpx_transform; a failed point gets NaN and its status.
void convert_one(const Column &cx, const Column &cy, const std::optional<Column> &cz, py::ssize_t i,
                 double *px, double *py, double *pz, std::int32_t *ps) {
    const double xi = cx.at(i), yi = cy.at(i), zi = cz ? cz->at(i) : 0.0;
    const int s = mpx_transform(&xi, &yi, &zi, px + i, py + i, pz + i);
    ps[i] = s;
    if (s != 0)
        px[i] = py[i] = pz[i] = kFailed;
}

class Transformer {
  public:
    Transformer(std::shared_ptr<System> source, std::shared_ptr<System> target)
        : source_(std::move(source)), target_(std::move(target)) {
        if (!source_ || !target_)
            throw py::value_error("source and target must be coordinate systems");
        const std::string failure =
            locked([this] { return select_pair(source_->id(), target_->id()); });
        if (!failure.empty())
            throw LibraryError{failure};
    }

    std::shared_ptr<System> source() const { return source_; }
    std::shared_ptr<System> target() const { return target_; }

    // One mpx_transform per point, straight from the caller's arrays: a
    // point's result never depends on its neighbours, so any chunking (dask
    // blocks) gives the same bits. mpx_trans_array's vector kernels are
    // about four times faster but differ from mpx_transform in the last
    // bits (under 1e-8 m) and hand failing lanes back, so blocks through it
    // would make a point's bits depend on the block it falls in.
    py::tuple transform(const py::array &x, const py::array &y, const py::object &z,
                        bool inverse) const {
        const py::ssize_t n = x.ndim() == 1 ? x.shape(0) : -1;
        const Column cx = column_of(x, "x", n);
        const Column cy = column_of(y, "y", n);
        std::optional<Column> cz;
        if (!z.is_none())
            cz = column_of(z.cast<py::array>(), "z", n);
        py::array_t<double> xo(n), yo(n), zo(n);
        py::array_t<std::int32_t> so(n);
        double *px = xo.mutable_data(), *py_ = yo.mutable_data(), *pz = zo.mutable_data();
        std::int32_t *ps = so.mutable_data();
        const int from = inverse ? target_->id() : source_->id();
        const int to = inverse ? source_->id() : target_->id();
        const std::string failure = locked([&] {
            std::string why = select_pair(from, to);
            if (!why.empty())
                return why;
            state().quiet = true;
            for (py::ssize_t i = 0; i < n; ++i)
                convert_one(cx, cy, cz, i, px, py_, pz, ps);
            state().quiet = false;
            return std::string();
        });
        if (!failure.empty())
            throw LibraryError{failure};
        return py::make_tuple(xo, yo, zo, so);
    }

  private:
    std::shared_ptr<System> source_, target_;
};

// ---------------------------------------------------------------------------
// Start-up and the database

bool install_exact() {
    std::string failure;
    const bool done = locked([&] {
        if (state().exact)
            return true;
        if (mpx_exact_install() != 0) {
            failure = chain("mpx_exact_install failed");
            return false;
        }
        state().exact = true;
        return true;
    });
    if (!done)
        throw LibraryError{failure};
    return true;
}

using Row = std::vector<std::pair<std::string, System::Value>>;

// Every record of a table with the named columns ('d' or 's').
std::vector<Row> list_table(const std::string &table, const std::string &key_name,
                            const std::vector<std::pair<std::string, char>> &columns) {
    std::string failure;
    std::vector<Row> rows = locked([&] {
        std::vector<Row> result;
        state().database_fixed = true;
        if (gdb_set_table(table.c_str()) != 0 || gdb_next_name_key(nullptr) != 0) {
            failure = chain(("cannot read the database table " + table).c_str());
            return result;
        }
        char name[kTextRoom];
        int status;
        while ((status = gdb_next_name_key(name)) == 0) {
            Row row;
            row.emplace_back(key_name, std::string(name));
            for (const auto &[column, type] : columns) {
                char t = type;
                if (type == MPX_TYPE_DOUBLE) {
                    double value = std::numeric_limits<double>::quiet_NaN();
                    gdb_load(column.c_str(), &t, &value);
                    row.emplace_back(column, value);
                } else {
                    char text[kTextRoom] = "";
                    gdb_load(column.c_str(), &t, text);
                    std::string s(text);
                    while (!s.empty() && (s.back() == '\n' || s.back() == '\r'))
                        s.pop_back();
                    row.emplace_back(column, s);
                }
            }
            result.push_back(std::move(row));
        }
        if (status != 1)
            failure = chain(("cannot read the database table " + table).c_str());
        return result;
    });
    if (!failure.empty())
        throw LibraryError{failure};
    return rows;
}

std::vector<std::string> base_projections() {
    return locked([] {
        state().database_fixed = true;
        std::vector<std::string> names;
        char name[kTextRoom];
        mpx_inq_next_base(nullptr);
        while (mpx_inq_next_base(name) == 0 && names.size() < 1000)
            names.emplace_back(name);
        return names;
    });
}

} // namespace

PYBIND11_MODULE(_mpxlib, m) {
    m.doc() = "Low-level binding of mpxlib; use the mpxlib package.";
    mpx_install_error(collect_line);

    static py::exception<LibraryError> error(m, "Error");
    py::register_exception_translator([](std::exception_ptr p) {
        try {
            if (p)
                std::rethrow_exception(p);
        } catch (const LibraryError &e) {
            PyErr_SetString(error.ptr(), e.message.c_str());
        }
    });

    py::class_<System, std::shared_ptr<System>>(m, "System")
        .def(py::init<std::string, std::string, std::string>())
        .def_property_readonly("id", &System::id)
        .def_property_readonly("datum", &System::datum)
        .def_property_readonly("projection", &System::projection)
        .def_property_readonly("units", &System::units)
        .def_property_readonly("status", &System::status)
        .def("attributes", &System::attributes);

    py::class_<Transformer>(m, "Transformer")
        .def(py::init<std::shared_ptr<System>, std::shared_ptr<System>>())
        .def_property_readonly("source", &Transformer::source)
        .def_property_readonly("target", &Transformer::target)
        .def("transform", &Transformer::transform);

    m.def("install_exact", &install_exact);
    m.def("exact_installed", [] { return locked([] { return state().exact; }); });
    m.def("database_fixed", [] { return locked([] { return state().database_fixed; }); });
    m.def("database_path", [] {
        return locked([] {
            state().database_fixed = true;
            const char *path = gdb_path();
            return std::string(path ? path : "");
        });
    });
    m.def("list_table", &list_table);
    m.def("base_projections", &base_projections);
}
