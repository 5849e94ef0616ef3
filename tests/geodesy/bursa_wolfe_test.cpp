// The seven-parameter change, its inverse, chaining and the composites.
#include "geodesy_test_support.hpp"

#include <gtest/gtest.h>

using namespace geodesy_test;

namespace {

struct Xyz {
    double x, y, z;
};

Xyz apply(const mpx_bw_params &p, Xyz in) {
    Xyz out{};
    EXPECT_EQ(mpx_xyz_to_xyz(&p, in.x, in.y, in.z, &out.x, &out.y, &out.z), 0);
    return out;
}

void expect_near(Xyz got, Xyz expected, double tolerance) {
    EXPECT_NEAR(got.x, expected.x, tolerance);
    EXPECT_NEAR(got.y, expected.y, tolerance);
    EXPECT_NEAR(got.z, expected.z, tolerance);
}

void expect_records_near(const mpx_bw_params &a, const mpx_bw_params &b, double tolerance) {
    EXPECT_EQ(a.type, b.type);
    const double got[] = {a.translation_x, a.translation_y, a.translation_z, a.rotation_x,
                          a.rotation_y,    a.rotation_z,    a.scale};
    const double want[] = {b.translation_x, b.translation_y, b.translation_z, b.rotation_x,
                           b.rotation_y,    b.rotation_z,    b.scale};
    for (int i = 0; i < 7; ++i)
        EXPECT_NEAR(got[i], want[i], tolerance) << "field " << i;
}

// EPSG Guidance Note 7-2, example of method 1033 (position vector,
// geocentric domain): WGS 72 to WGS 84.
const mpx_bw_params kWgs72ToWgs84{MPX_BW_FULL,        0.0,           0.0, 4.5, 0.0, 0.0,
                                  0.554 * kArcSecond, 1.0 + 0.219e-6};
constexpr Xyz kWgs72Point{3657660.66, 255768.55, 5201382.11};
constexpr Xyz kWgs84Point{3657660.78, 255778.43, 5201387.75};

// A record with every term non-zero, to see which ones a type applies.
const mpx_bw_params kAllTerms{MPX_BW_FULL, 100.0, -50.0, 25.0, 2e-5, -3e-5, 4e-5, 1.0 + 5e-6};

TEST(BursaWolfe, GuidanceNotePositionVectorExample) {
    // Published to the centimetre (X computes to ...660.774).
    expect_near(apply(kWgs72ToWgs84, kWgs72Point), kWgs84Point, 0.01);
}

TEST(BursaWolfe, EachTypeAppliesOnlyItsTerms) {
    const Xyz p{4e6, 1e6, 4.5e6};
    const double tx = 100.0, ty = -50.0, tz = 25.0, rx = 2e-5, ry = -3e-5, rz = 4e-5,
                 s = 1.0 + 5e-6;
    mpx_bw_params record = kAllTerms;
    record.type = MPX_BW_IDENTITY;
    expect_near(apply(record, p), p, 0.0);
    record.type = MPX_BW_TRANSLATION;
    expect_near(apply(record, p), {p.x + tx, p.y + ty, p.z + tz}, 1e-9);
    record.type = MPX_BW_TRANSLATION_ROTATION_Z_SCALE;
    expect_near(apply(record, p),
                {s * (p.x - rz * p.y) + tx, s * (rz * p.x + p.y) + ty, s * p.z + tz}, 1e-9);
    record.type = MPX_BW_FULL;
    expect_near(apply(record, p),
                {s * (p.x - rz * p.y + ry * p.z) + tx, s * (rz * p.x + p.y - rx * p.z) + ty,
                 s * (-ry * p.x + rx * p.y + p.z) + tz},
                1e-9);
}

TEST(BursaWolfe, UnknownTypeFailsAndLeavesOutputsAlone) {
    for (int type : {-1, 4, 99}) {
        mpx_bw_params record = kAllTerms;
        record.type = type;
        double x = 7.0, y = 8.0, z = 9.0;
        EXPECT_EQ(mpx_xyz_to_xyz(&record, 1.0, 2.0, 3.0, &x, &y, &z), -1);
        EXPECT_EQ(mpx_bw_gd_to_gd(&record, &kWgs84, &kWgs84, 0.1, 0.2, 3.0, &x, &y, &z), -1);
        EXPECT_EQ(mpx_bw_gd_to_xyz(&record, &kWgs84, 0.1, 0.2, 3.0, &x, &y, &z), -1);
        EXPECT_EQ(mpx_bw_xyz_to_gd(&record, &kWgs84, 6e6, 1e6, 1e6, &x, &y, &z), -1);
        EXPECT_EQ(x, 7.0);
        EXPECT_EQ(y, 8.0);
        EXPECT_EQ(z, 9.0);
    }
}

TEST(BursaWolfe, ScaleOfOnePartPerMillionMovesRadially) {
    const mpx_bw_params ppm{MPX_BW_FULL, 0, 0, 0, 0, 0, 0, 1.0 + 1e-6};
    const Xyz p{3e6, -4e6, 2e6};
    expect_near(apply(ppm, p), {p.x * (1 + 1e-6), p.y * (1 + 1e-6), p.z * (1 + 1e-6)}, 1e-9);
}

TEST(BursaWolfe, InvertNegatesTermsAndInvertsScale) {
    mpx_bw_params inverse;
    ASSERT_EQ(mpx_bw_invert(&kAllTerms, &inverse), 0);
    expect_records_near(
        inverse, {MPX_BW_FULL, -100.0, 50.0, -25.0, -2e-5, 3e-5, -4e-5, 1.0 / (1.0 + 5e-6)}, 0.0);
    // Twice, in place, gives the record back.
    ASSERT_EQ(mpx_bw_invert(&inverse, &inverse), 0);
    expect_records_near(inverse, kAllTerms, 1e-15);
}

TEST(BursaWolfe, InverseUndoesToFirstOrder) {
    mpx_bw_params inverse;
    mpx_bw_invert(&kWgs72ToWgs84, &inverse);
    // The residue is of second order: rotation squared times radius, some
    // 3e-5 m here.
    expect_near(apply(inverse, apply(kWgs72ToWgs84, kWgs72Point)), kWgs72Point, 1e-4);
}

TEST(BursaWolfe, CombineAddsTermsMultipliesScalesTakesLargerType) {
    const mpx_bw_params shift{MPX_BW_TRANSLATION, 1.0, 2.0, 3.0, 0, 0, 0, 1.0};
    mpx_bw_params both;
    ASSERT_EQ(mpx_bw_combine(&shift, &kAllTerms, &both), 0);
    expect_records_near(both, {MPX_BW_FULL, 101.0, -48.0, 28.0, 2e-5, -3e-5, 4e-5, 1.0 + 5e-6},
                        1e-15);
    mpx_bw_params reversed;
    mpx_bw_combine(&kAllTerms, &shift, &reversed);
    expect_records_near(reversed, both, 0.0);
}

TEST(BursaWolfe, CombineWithInverseGivesIdentityTerms) {
    mpx_bw_params inverse, combined;
    mpx_bw_invert(&kAllTerms, &inverse);
    mpx_bw_combine(&kAllTerms, &inverse, &combined);
    expect_records_near(combined, {MPX_BW_FULL, 0, 0, 0, 0, 0, 0, 1.0}, 1e-15);
}

TEST(BursaWolfe, CombineResultMayAliasEitherInput) {
    const mpx_bw_params shift{MPX_BW_TRANSLATION, 1.0, 2.0, 3.0, 0, 0, 0, 1.0};
    mpx_bw_params expected, first = shift, second = kAllTerms;
    mpx_bw_combine(&shift, &kAllTerms, &expected);
    mpx_bw_combine(&first, &second, &first);
    expect_records_near(first, expected, 0.0);
    first = shift;
    mpx_bw_combine(&first, &second, &second);
    expect_records_near(second, expected, 0.0);
}

TEST(BursaWolfe, CompositesChainTheConversions) {
    const double lon = dms(2, 7, 46.38), lat = dms(53, 48, 33.82), h = 73.0;
    double x, y, z;
    ASSERT_EQ(mpx_bw_gd_to_xyz(&kWgs72ToWgs84, &kWgs84, lon, lat, h, &x, &y, &z), 0);
    const Xyz direct = [&] {
        double gx, gy, gz;
        mpx_gd_to_xyz(&kWgs84, lon, lat, h, &gx, &gy, &gz);
        return apply(kWgs72ToWgs84, {gx, gy, gz});
    }();
    expect_near({x, y, z}, direct, 0.0);
    double lon2, lat2, h2, lon3, lat3, h3;
    ASSERT_EQ(mpx_bw_xyz_to_gd(&kWgs72ToWgs84, &kAiry1830, 3771793.968, 140253.342, 5124304.349,
                               &lon2, &lat2, &h2),
              0);
    ASSERT_EQ(mpx_bw_gd_to_gd(&kWgs72ToWgs84, &kWgs84, &kAiry1830, lon, lat, h, &lon3, &lat3, &h3),
              0);
    EXPECT_LT(metres(lon3 - lon2), 1e-3);
    EXPECT_LT(metres(lat3 - lat2), 1e-3);
    EXPECT_NEAR(h3, h2, 1e-3);
}

TEST(BursaWolfe, IdentityThroughGeodeticReturnsThePoint) {
    const mpx_bw_params identity{MPX_BW_IDENTITY, 0, 0, 0, 0, 0, 0, 1.0};
    double lon = -1.2, lat = 0.7, h = 120.0;
    ASSERT_EQ(mpx_bw_gd_to_gd(&identity, &kWgs84, &kWgs84, lon, lat, h, &lon, &lat, &h), 0);
    EXPECT_NEAR(lon, -1.2, 1e-14);
    EXPECT_NEAR(lat, 0.7, 1e-14);
    EXPECT_NEAR(h, 120.0, 1e-6);
}

} // namespace
