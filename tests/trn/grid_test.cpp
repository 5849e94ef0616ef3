// Grid datum changes through the pipeline: "nadcon" and "smith" records
// naming grid files, applied forward and, for the reversed pair, inverted.
#include "trn/trn_internal.hpp"
#include "trn_support.hpp"

#include "mpxgrid/grid_file_writer.hpp"

#include <fstream>
#include <ostream>

namespace trn_test {
namespace {

using Lines = std::vector<std::string>;

// Constant shifts, in radians, over [-100, -90) x [30, 50) degrees.
constexpr double kShiftLon = 1e-5;
constexpr double kShiftLat = -2e-5;
constexpr double kSmithHeight = 10.0;

class GridTest : public TrnTest {
  protected:
    std::string database_folder() override {
        folder = copy_of_fixture(::testing::UnitTest::GetInstance()->current_test_info()->name());
        write_grids();
        return folder;
    }

    void write_grids() {
        // Bilinear cells: Plon = c0 + x, Plat = c4 + y.
        const std::vector<double> bilinear = {kShiftLon, 1, 0, 0, kShiftLat, 0, 1, 0};
        // Quadratic cells: the same shift and a constant height.
        std::vector<double> quadratic(18, 0.0);
        quadratic[0] = kShiftLon;
        quadratic[1] = 1;
        quadratic[6] = kShiftLat;
        quadratic[8] = 1;
        quadratic[12] = kSmithHeight;
        write("nad_shift.grd", 1, bilinear);
        write("smith_shift.grd", 0, quadratic);
    }

    void write(const char *name, int kind, const std::vector<double> &cell) {
        const mpxgrid::GridHeader header{
            kind, radians(-100), radians(30), radians(5), radians(10), 2, 2};
        std::vector<double> coefficients;
        for (int i = 0; i < header.num_cols * header.num_rows; ++i)
            coefficients.insert(coefficients.end(), cell.begin(), cell.end());
        ASSERT_TRUE(mpxgrid::write_grid_file(folder + name, header, coefficients));
    }

    const mpx_grid_change &grid() const {
        EXPECT_EQ(trn_current()->datum_change_type, MPX_DATUM_CHANGE_GRID);
        return *static_cast<const mpx_grid_change *>(trn_current()->change_data);
    }

    std::string folder;
};

struct GridCase {
    const char *what;
    const char *source_datum;
    const char *target_datum;
    int inverse;
    int num_coeffs;
    Point expected_shift; // degrees, degrees, and the height (NaN: unchanged)
};

void PrintTo(const GridCase &c, std::ostream *os) { *os << c.what; }

class GridCaseTest : public GridTest, public ::testing::WithParamInterface<GridCase> {};

TEST_P(GridCaseTest, ShiftsThePointByTheGridPolynomials) {
    const GridCase &c = GetParam();
    select(locked(c.source_datum, "GEODETIC"), locked(c.target_datum, "GEODETIC"));
    ASSERT_EQ(mpx_inq_trans_status(), 0) << c.what;
    EXPECT_EQ(grid().inverse, c.inverse);
    EXPECT_EQ(grid().num_coeffs, c.num_coeffs);
    const Point in{-95.0, 35.0, 5.0};
    Point out{};
    ASSERT_EQ(transform(in, out), 0) << c.what;
    EXPECT_NEAR(out.x, in.x + c.expected_shift.x, 1e-12) << c.what;
    EXPECT_NEAR(out.y, in.y + c.expected_shift.y, 1e-12) << c.what;
    EXPECT_EQ(out.z, c.expected_shift.z) << c.what;
    EXPECT_EQ(take_lines(), Lines{});
}

const double kLonDegrees = kShiftLon * 180.0 / kPi;
const double kLatDegrees = kShiftLat * 180.0 / kPi;

INSTANTIATE_TEST_SUITE_P(
    Grids, GridCaseTest,
    ::testing::Values(
        GridCase{"nadcon forward", "NAD27", "NAD83", 0, 8, {kLonDegrees, kLatDegrees, 5.0}},
        GridCase{"nadcon reversed", "NAD83", "NAD27", 1, 8, {-kLonDegrees, -kLatDegrees, 5.0}},
        GridCase{
            "smith forward", "ATS77", "NAD83", 0, 18, {kLonDegrees, kLatDegrees, kSmithHeight}}));

TEST_F(GridTest, PointOutsideTheGridFailsTheDatumChange) {
    select(locked("NAD27", "GEODETIC"), locked("NAD83", "GEODETIC"));
    Point out{7, 8, 9};
    EXPECT_EQ(transform({0.0, 0.0, 0.0}, out), -1);
    EXPECT_EQ(take_lines(), Lines{"S3:datum conversion error"});
    EXPECT_EQ(out.x, 7.0);
}

TEST_F(GridTest, DeletingASystemClosesTheGridChain) {
    const int a = locked("NAD27", "GEODETIC");
    select(a, locked("NAD83", "GEODETIC"));
    ASSERT_EQ(mpx_inq_trans_status(), 0);
    EXPECT_EQ(grid_access_inq_num_coeffs(), 8);
    ASSERT_EQ(mpx_delete_coord_sys(&a), 0);
    EXPECT_EQ(grid_access_inq_num_coeffs(), -1);
}

TEST_F(GridTest, GridRecordToWgs84CannotBeCombined) {
    select(locked("GRIDW", "GEODETIC"), locked("ED50", "GEODETIC"));
    EXPECT_EQ(mpx_inq_trans_status(), 3);
    EXPECT_EQ(take_lines(), (Lines{"S1:No datum change exists",
                                   "S2:Error loading datum change information", "S2:(trn_init)"}));
    EXPECT_EQ(grid_access_inq_num_coeffs(), -1);
}

TEST_F(GridTest, OverlongFileNamesAreRefused) {
    // 48 characters do not fit the record; 47 do, but not the grid path.
    std::ofstream(folder + "nadcon.dat") << "name,control_file\n"
                                         << "NAD27>NAD83," << std::string(48, 'n') << "\n"
                                         << "NOGRID>NAD83," << std::string(47, 'n') << "\n";
    select(locked("NAD27", "GEODETIC"), locked("NAD83", "GEODETIC"));
    EXPECT_EQ(mpx_inq_trans_status(), 3);
    select(locked("NOGRID", "GEODETIC"), locked("NAD83", "GEODETIC"));
    EXPECT_EQ(mpx_inq_trans_status(), 3);
    EXPECT_EQ(take_lines(), (Lines{"S1:error reading datum change (NADCON record)",
                                   "S2:Error loading datum change information", "S2:(trn_init)",
                                   "S2:error opening grid/datum change file (NADCON)",
                                   "S2:Error loading datum change information", "S2:(trn_init)"}));
}

} // namespace
} // namespace trn_test
