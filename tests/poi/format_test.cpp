#include "poi/format.hpp"

#include <gtest/gtest.h>

namespace pinwright::poi {
namespace {

TEST(format_test, f10_5_examples) {
  EXPECT_EQ(f10_5(4.89f), "   4.89000");
  EXPECT_EQ(f10_5(-0.12345), "  -0.12345");
  EXPECT_EQ(f10_5(-122.419418f), "-122.41942");
  EXPECT_EQ(f10_5(-1000.0), "**********");
}

}  // namespace
}  // namespace pinwright::poi
