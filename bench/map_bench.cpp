// The match map's scene at a review stop over a synthetic world-wide table
// of 50,000 entries (towns of many entries and entries strewn between), at an
// 800 x 600 view: zoomed out over the whole world, and zoomed in on one town.
// Each through the run's index and by a plain scan of the table.
#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "engine/distance.hpp"
#include "engine/grid.hpp"
#include "map/scene.hpp"
#include "poi/compact_table.hpp"

namespace {

using namespace pinwright;

constexpr std::int32_t kEntries = 50'000;

struct World {
  World() : index(20.0f, engine::PointOrder::probe_first) {
    std::mt19937 random(20'240'607);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    // 400 towns; two entries in three lie within a few km of one.
    std::vector<std::pair<double, double>> towns;
    for (int t = 0; t < 400; ++t)
      towns.emplace_back(unit(random) * 360.0 - 180.0, unit(random) * 130.0 - 60.0);
    std::normal_distribution<double> spread(0.0, 0.03);
    std::vector<poi::PoiRecord> records(kEntries);
    for (std::int32_t j = 1; j <= kEntries; ++j) {
      poi::PoiRecord& record = records[static_cast<std::size_t>(j - 1)];
      if (j % 3 == 0) {
        record.longitude = static_cast<float>(unit(random) * 360.0 - 180.0);
        record.latitude = static_cast<float>(unit(random) * 130.0 - 60.0);
      } else {
        const auto& [longitude, latitude] = towns[j % towns.size()];
        record.longitude = static_cast<float>(longitude + spread(random));
        record.latitude = static_cast<float>(latitude + spread(random));
      }
      record.name.assign("Entry " + std::to_string(j) + " on the synthetic map");
    }
    // Entry 2 is the pending pair's row 2, 13 m north of entry 1.
    records[1].longitude = records[0].longitude;
    records[1].latitude = records[0].latitude + 0.000117f;
    for (const poi::PoiRecord& record : records) table.append(record);
    index.build(table);
  }
  poi::CompactTable table;
  engine::Grid index;
};

const World& world() {
  static const World world;
  return world;
}

// Entries 1 and 2 as the pending pair, in a view fitted
// to them and then zoomed out by `zoom_out`.
map::SceneInput input(bool indexed, double zoom_out) {
  const World& w = world();
  const poi::PoiRecord row1 = w.table.record(1);
  const poi::PoiRecord row2 = w.table.record(2);
  map::View view =
      map::fit_view({row1.longitude, row1.latitude}, {row2.longitude, row2.latitude}, 20, 800, 600);
  view = map::zoom_about(view, {400, 300}, 1.0 / zoom_out);
  return map::SceneInput{
      .view = view,
      .table = w.table,
      .first = 1,
      .last = kEntries,
      .index = indexed ? &w.index : nullptr,
      .leave_out = {1, 2},
      .row1 = row1,
      .row2 = row2,
      .row1_entry = 1,
      .row2_entry = 2,
      .separation = engine::distance(row1.latitude, row1.longitude, row2.latitude, row2.longitude),
      .radius = 20.0f};
}

// Entries whose pixel lies in the view, before dots sharing a pixel collapse.
std::int32_t entries_in_view(const map::View& view) {
  const map::Projection projection(view.centre);
  std::int32_t count = 0;
  for (std::int32_t j = 1; j <= kEntries; ++j) {
    const poi::CompactTable& table = world().table;
    const map::Pixel pixel =
        map::to_pixel(view, projection.to_metres({table.longitude(j), table.latitude(j)}));
    if (pixel.x >= 0 && pixel.x < view.width && pixel.y >= 0 && pixel.y < view.height) ++count;
  }
  return count;
}

void scene(benchmark::State& state, bool indexed, double zoom_out) {
  const map::SceneInput in = input(indexed, zoom_out);
  std::size_t dots = 0;
  for (auto _ : state) {
    const map::Scene built = map::build_scene(in);
    dots = built.dots.size();
    benchmark::DoNotOptimize(built.dots.data());
  }
  state.counters["in_view"] = entries_in_view(in.view);
  state.counters["dots"] = static_cast<double>(dots);
  state.counters["metres_per_pixel"] = in.view.metres_per_pixel;
}

// Zoomed out as far as the view goes: the whole world, every entry in view.
BENCHMARK_CAPTURE(scene, map_world_indexed, true, 1e9)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(scene, map_world_scan, false, 1e9)->Unit(benchmark::kMillisecond);
// The town of the pair, about 100 km across.
BENCHMARK_CAPTURE(scene, map_town_indexed, true, 1e3)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(scene, map_town_scan, false, 1e3)->Unit(benchmark::kMillisecond);

}  // namespace
