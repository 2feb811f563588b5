// The window on a screen scaled by 2: symbol pictures are drawn in the
// screen's own pixels, each pixel of a small symbol a sharp 2 x 2 block.
#include <gtest/gtest.h>

#include <QImage>
#include <QLabel>
#include <QPixmap>

#include "app/program.hpp"
#include "app/startup.hpp"
#include "tests/support/temp_dir.hpp"
#include "tests/ui/qt_test_support.hpp"
#include "ui/controls.hpp"
#include "ui/qt/main_window.hpp"
#include "ui/qt/qt_dialog.hpp"

namespace pinwright::testing {
namespace {

namespace c = ui::control;

class qt_hidpi_test : public ::testing::Test {
 protected:
  qt_hidpi_test() {
    program.program_dir = folder.path().string() + "/";
    app::start_up(program, dialog);
    settle();
  }

  QImage drawn(int id) {
    const QPixmap pixmap = qobject_cast<QLabel*>(dialog.widget(id))->pixmap();
    EXPECT_EQ(pixmap.devicePixelRatio(), 2.0);
    return pixmap.toImage().convertToFormat(QImage::Format_RGB32);
  }

  TempDir folder;
  ui::qt::QtDialog dialog;
  app::Program program;
};

TEST_F(qt_hidpi_test, the_window_is_scaled_by_two) {
  EXPECT_EQ(dialog.window()->devicePixelRatioF(), 2.0);
}

TEST_F(qt_hidpi_test, a_16_pixel_symbol_fills_32_screen_pixels_with_sharp_edges) {
  // A checkerboard of single pixels: any smoothing mixes its colours.
  QImage symbol(16, 16, QImage::Format_RGB32);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x)
      symbol.setPixel(x, y, (x + y) % 2 ? qRgb(255, 0, 0) : qRgb(0, 0, 255));
  const std::string path = folder.file("checker.bmp");
  ASSERT_TRUE(symbol.save(QString::fromStdString(path), "BMP"));
  dialog.draw_picture(c::kMasterSymbol, path);
  const QImage image = drawn(c::kMasterSymbol);
  ASSERT_EQ(image.size(), QSize(32, 32));
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      ASSERT_EQ(image.pixel(x, y), symbol.pixel(x / 2, y / 2)) << x << ',' << y;
}

TEST_F(qt_hidpi_test, a_large_symbol_keeps_its_detail_at_32_screen_pixels) {
  // Stripes one screen pixel wide after scaling 64 -> 32: each pair of
  // source columns lands on one screen column, which would be lost at 16.
  QImage symbol(64, 64, QImage::Format_RGB32);
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x)
      symbol.setPixel(x, y, (x / 2) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0));
  const std::string path = folder.file("stripes.bmp");
  ASSERT_TRUE(symbol.save(QString::fromStdString(path), "BMP"));
  dialog.draw_picture(c::kOutputSymbol, path);
  const QImage image = drawn(c::kOutputSymbol);
  ASSERT_EQ(image.size(), QSize(32, 32));
  for (int x = 0; x < 32; ++x) EXPECT_EQ(qGray(image.pixel(x, 16)) > 128, x % 2 == 1) << x;
}

}  // namespace
}  // namespace pinwright::testing
