#include "engine/distance.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>

#include "tests/support/test_names.hpp"

namespace pinwright::engine {
namespace {

struct DistanceCase {
  float latitude1, longitude1, latitude2, longitude2;
  std::uint32_t expected_bits;  // the single-precision result, worked out step by step
};

void PrintTo(const DistanceCase& row, std::ostream* out) {
  testing::print_row(out, row.latitude1, row.longitude1, row.latitude2, row.longitude2,
                     std::bit_cast<float>(row.expected_bits));
}

class distance_table_test : public ::testing::TestWithParam<DistanceCase> {};

TEST_P(distance_table_test, matches_the_worked_result_bit_for_bit) {
  const DistanceCase& c = GetParam();
  const float metres = distance(c.latitude1, c.longitude1, c.latitude2, c.longitude2);
  EXPECT_EQ(std::bit_cast<std::uint32_t>(metres), c.expected_bits) << metres;
  EXPECT_EQ(std::bit_cast<std::uint32_t>(
                Origin(c.latitude1, c.longitude1).distance_to(c.latitude2, c.longitude2)),
            c.expected_bits);
}

INSTANTIATE_TEST_SUITE_P(
    worked_cases, distance_table_test,
    ::testing::Values(DistanceCase{52.37f, 4.89f, 52.37f, 4.89f, 0x00000000},  // identical
                      DistanceCase{0, 0, 0.001f, 0, 0x42dd265f},               // 110.57494 m
                      DistanceCase{0, 0, 0, 0.001f, 0x42dea347},               // 111.31890 m
                      DistanceCase{52.37f, 4.89f, 52.3701f, 4.8901f, 0x414f43a7},
                      DistanceCase{-33.8688f, 151.2093f, -33.869f, 151.21f, 0x42892039},
                      DistanceCase{90, 0, 89.999f, 120, 0x42de83f7},      // pole: no east-west part
                      DistanceCase{45, 179.9f, 45, -179.9f, 0x4bd86fed},  // not wrapped
                      DistanceCase{10, 10, 10.00001f, 10, 0x3f8701a2},
                      DistanceCase{60, 25, 60.0001f, 25.0002f, 0x417b23ee},
                      DistanceCase{-89.5f, -45, -89.49f, -44, 0x44b8f8dc},
                      DistanceCase{52.0f, 5.0f, 52.0f, 5.00001f, 0x3f300d8d},
                      DistanceCase{0.5f, -0.5f, -0.5f, 0.5f, 0x48193925},
                      DistanceCase{100, 0, 100.001f, 0, 0x42de786a},  // latitude beyond 90
                      DistanceCase{45, 7, 45.0002f, 7.0003f, 0x420137d8}),
    [](const auto& info) {
      const DistanceCase& c = info.param;
      using testing::number_text;
      return testing::test_name(number_text(c.latitude1) + " " + number_text(c.longitude1) +
                                " to " + number_text(c.latitude2) + " " +
                                number_text(c.longitude2));
    });

TEST(distance_test, straddles_one_metre_on_adjacent_floats) {
  // Two neighbouring floats of longitude at the equator fall on either side of 1 m.
  EXPECT_LT(distance(0, 0, 0, 8.983200132206548e-06f), 1.0f);
  EXPECT_EQ(distance(0, 0, 0, 8.983200132206548e-06f), 0.99999994f);
  EXPECT_EQ(distance(0, 0, 0, 8.98320104170125e-06f), 1.0f);
  EXPECT_FLOAT_EQ(distance(52.0f, 5.0f, 52.00000762939453f, 5.0f), 0.8471354246f);
  EXPECT_FLOAT_EQ(distance(52.0f, 5.0f, 52.0000114440918f, 5.0f), 1.2707031965f);
}

TEST(distance_test, is_not_symmetric_but_agrees_on_a_common_latitude) {
  EXPECT_NE(distance(10, 0, 60, 1), distance(60, 1, 10, 0));
  EXPECT_EQ(distance(48, 2, 48, 2.5f), distance(48, 2.5f, 48, 2));
}

TEST(distance_test, longitudes_are_not_wrapped) {
  // About 40,000 km on the equator, not 22 km.
  EXPECT_GT(distance(0, 179.9f, 0, -179.9f), 39'000'000.0f);
  EXPECT_LT(distance(0, 179.9f, 0, -179.9f), 41'000'000.0f);
}

TEST(distance_test, at_the_pole_longitude_contributes_nothing) {
  EXPECT_EQ(distance(90, 0, 90, 135), 0.0f);
  EXPECT_EQ(Origin(90, 0).cosine(), 0.0);
}

TEST(distance_test, radii_at_the_equator_are_the_plain_products) {
  const Origin equator(0, 0);
  EXPECT_EQ(equator.normal_radius(), kEquatorialRadiusKm);
  EXPECT_EQ(static_cast<float>(equator.meridian_radius()),
            static_cast<float>(static_cast<double>(kEquatorialRadiusKm) *
                               (1.0 - static_cast<double>(kEllipsoidConstant))));
}

struct AngleCase {
  double degrees;
  double sine;
  double cosine;
};

void PrintTo(const AngleCase& row, std::ostream* out) {
  testing::print_row(out, row.degrees, row.sine, row.cosine);
}

class degree_functions_test : public ::testing::TestWithParam<AngleCase> {};

TEST_P(degree_functions_test, quarter_turns_are_exact) {
  EXPECT_EQ(sin_degrees(GetParam().degrees), GetParam().sine);
  EXPECT_EQ(cos_degrees(GetParam().degrees), GetParam().cosine);
}

INSTANTIATE_TEST_SUITE_P(quarter_turns, degree_functions_test,
                         ::testing::Values(AngleCase{0, 0, 1}, AngleCase{90, 1, 0},
                                           AngleCase{180, 0, -1}, AngleCase{270, -1, 0},
                                           AngleCase{360, 0, 1}, AngleCase{450, 1, 0},
                                           AngleCase{-360, 0, 1}),
                         [](const auto& info) {
                           return testing::test_name(testing::number_text(info.param.degrees) +
                                                     " degrees");
                         });

TEST(separation_text_test, is_f8_2_without_trailing_blanks) {
  EXPECT_EQ(separation_text(12.345f), "   12.35");
  EXPECT_EQ(separation_text(0.0f), "    0.00");
  EXPECT_EQ(separation_text(99999.99f), "99999.99");
  EXPECT_EQ(separation_text(28368858.0f), "********");
}

}  // namespace
}  // namespace pinwright::engine
