// Painting the match map into an 800 x 600 image off screen, as the window
// does at a review stop: 50,000 entries strewn over the ground around the
// pair (zoomed out so that all are in view, most on a pixel of their own),
// and the same entries over the whole world. The scene built through the
// index, painting alone, and both, as for each wheel step or drag.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>

#include "engine/distance.hpp"
#include "engine/grid.hpp"
#include "map/scene.hpp"
#include "poi/compact_table.hpp"
#include "ui/qt/map_panel.hpp"

namespace {

using namespace pinwright;

constexpr std::int32_t kEntries = 50'000;
constexpr int kWidth = 800;
constexpr int kHeight = 600;

// Entries 1 and 2 are the pair, 13 m apart; the others lie within `spread`
// degrees of it.
struct Ground {
  explicit Ground(double spread) : index(20.0f, engine::PointOrder::probe_first) {
    std::mt19937 random(20'261'208);
    std::uniform_real_distribution<double> offset(-spread, spread);
    table.append(5.0f, 52.0f, "Entry 1", {});
    table.append(5.0f, 52.000117f, "Entry 2", {});
    // The same draws as for the pair's own entries, so that the others lie
    // where they always did.
    for (int draw = 0; draw < 4; ++draw) offset(random);
    for (std::int32_t j = 3; j <= kEntries; ++j) {
      const auto longitude = static_cast<float>(std::clamp(5.0 + offset(random), -180.0, 180.0));
      const auto latitude =
          static_cast<float>(std::clamp(52.0 + offset(random) / 2.0, -89.0, 89.0));
      table.append(longitude, latitude, "Entry " + std::to_string(j), {});
    }
    index.build(table);
  }

  // The pair in a view zoomed out until `across` degrees of longitude fit.
  map::SceneInput input(double zoom_out) const {
    const poi::PoiRecord row1 = table.record(1);
    const poi::PoiRecord row2 = table.record(2);
    map::View view = map::fit_view({row1.longitude, row1.latitude}, {row2.longitude, row2.latitude},
                                   20, kWidth, kHeight);
    view = map::zoom_about(view, {kWidth / 2.0, kHeight / 2.0}, 1.0 / zoom_out);
    return map::SceneInput{.view = view,
                           .table = table,
                           .first = 1,
                           .last = kEntries,
                           .index = &index,
                           .leave_out = {1, 2},
                           .row1 = row1,
                           .row2 = row2,
                           .row1_entry = 1,
                           .row2_entry = 2,
                           .separation = engine::distance(row1.latitude, row1.longitude,
                                                          row2.latitude, row2.longitude),
                           .radius = 20.0f};
  }

  poi::CompactTable table;
  engine::Grid index;
};

// 50,000 entries in a box of about 40 x 20 km, all in view at ~50 m a pixel.
const Ground& town() {
  static const Ground ground(0.3);
  return ground;
}

const Ground& world() {
  static const Ground ground(180.0);
  return ground;
}

constexpr double kTownZoomOut = 370.0;
constexpr double kWorldZoomOut = 1e9;

void paint(benchmark::State& state, const Ground& ground, double zoom_out) {
  const map::Scene scene = map::build_scene(ground.input(zoom_out));
  std::vector<QPointF> points;
  ui::qt::dot_pixels(scene, points);
  QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
  QImage layer;
  const QPalette palette = QGuiApplication::palette();
  for (auto _ : state) {
    QPainter painter(&image);
    ui::qt::paint_scene(painter, scene, points, palette, layer);
    painter.end();
    benchmark::DoNotOptimize(image.constBits());
  }
  state.counters["dots"] = static_cast<double>(scene.dots.size());
}

// As the panel does it: the scene, its points and the dots' layer in the
// storage of the last step.
void build_and_paint(benchmark::State& state, const Ground& ground, double zoom_out) {
  const map::SceneInput input = ground.input(zoom_out);
  QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
  QImage layer;
  const QPalette palette = QGuiApplication::palette();
  map::Scene scene;
  map::SceneScratch scratch;
  std::vector<QPointF> points;
  for (auto _ : state) {
    map::build_scene(input, scene, scratch);
    ui::qt::dot_pixels(scene, points);
    QPainter painter(&image);
    ui::qt::paint_scene(painter, scene, points, palette, layer);
    painter.end();
    benchmark::DoNotOptimize(image.constBits());
  }
  state.counters["dots"] = static_cast<double>(scene.dots.size());
}

// The scene alone, in fresh storage each time and in the storage of the last.
void build(benchmark::State& state, const Ground& ground, double zoom_out, bool reuse) {
  const map::SceneInput input = ground.input(zoom_out);
  map::Scene scene;
  map::SceneScratch scratch;
  for (auto _ : state) {
    if (reuse) {
      map::build_scene(input, scene, scratch);
    } else {
      scene = map::build_scene(input);
    }
    benchmark::DoNotOptimize(scene.dots.data());
  }
  state.counters["dots"] = static_cast<double>(scene.dots.size());
}

BENCHMARK_CAPTURE(build, town_50k_in_view_fresh, town(), kTownZoomOut, false)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(build, town_50k_in_view_reused, town(), kTownZoomOut, true)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(paint, town_50k_in_view, town(), kTownZoomOut)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(build_and_paint, town_50k_in_view, town(), kTownZoomOut)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(paint, world_50k_in_view, world(), kWorldZoomOut)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(build_and_paint, world_50k_in_view, world(), kWorldZoomOut)
    ->Unit(benchmark::kMillisecond);

}  // namespace

// Painting text needs a GUI application; off screen, no display is needed.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
