// Whether `pinwright` can show its window, decided before Qt would abort.
#include "ui/qt/display.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/test_names.hpp"

namespace pinwright::ui::qt {
namespace {

struct WindowCase {
  const char* label;
  const char* platform;
  bool x11;
  bool wayland;
  bool can_show;
};

void PrintTo(const WindowCase& row, std::ostream* out) {
  testing::print_row(out, row.label, row.platform, row.x11, row.wayland, row.can_show);
}

class display_test : public ::testing::TestWithParam<WindowCase> {};

TEST_P(display_test, can_show_window) {
  const WindowCase& wc = GetParam();
  EXPECT_EQ(can_show_window(wc.platform, wc.x11, wc.wayland), wc.can_show);
}

INSTANTIATE_TEST_SUITE_P(
    platforms, display_test,
    ::testing::Values(WindowCase{"default_without_display", "", false, false, false},
                      WindowCase{"default_on_x11", "", true, false, true},
                      WindowCase{"default_on_wayland", "", false, true, true},
                      WindowCase{"offscreen", "offscreen", false, false, true},
                      WindowCase{"minimal", "minimal", false, false, true},
                      WindowCase{"vnc_with_options", "vnc:size=800x600", false, false, true},
                      WindowCase{"xcb_without_display", "xcb", false, true, false},
                      WindowCase{"xcb_on_x11", "xcb", true, false, true},
                      WindowCase{"wayland_without_display", "wayland", true, false, false},
                      WindowCase{"wayland_egl_on_wayland", "wayland-egl", false, true, true},
                      WindowCase{"list_falls_back_to_offscreen", "xcb;offscreen", false, false,
                                 true},
                      WindowCase{"list_of_unusable", "wayland;xcb", false, false, false},
                      WindowCase{"list_ends_with_separator", "xcb;", false, false, false}),
    [](const auto& info) { return std::string(info.param.label); });

std::string platform_for(std::vector<const char*> args, const char* environment) {
  args.insert(args.begin(), "pinwright");
  return requested_platform(static_cast<int>(args.size()), args.data(), environment);
}

TEST(requested_platform_test, command_line_wins_over_the_environment) {
  EXPECT_EQ(platform_for({}, nullptr), "");
  EXPECT_EQ(platform_for({}, "offscreen"), "offscreen");
  EXPECT_EQ(platform_for({"-platform", "minimal"}, "xcb"), "minimal");
  EXPECT_EQ(platform_for({"--platform", "vnc"}, nullptr), "vnc");
  EXPECT_EQ(platform_for({"-platform", "xcb", "-platform", "offscreen"}, nullptr), "offscreen");
}

TEST(requested_platform_test, an_option_without_its_value_is_ignored) {
  EXPECT_EQ(platform_for({"-platform"}, "offscreen"), "offscreen");
  EXPECT_EQ(platform_for({"platform", "minimal"}, nullptr), "");
}

}  // namespace
}  // namespace pinwright::ui::qt
