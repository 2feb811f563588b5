// Reading a GeoPackage of 1,000,000 points, generated before the timing.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "ogr/points.hpp"

namespace {

using namespace pinwright::ogr;

inline constexpr std::int64_t kPoints = 1'000'000;

// Points all over the world, each with a name and every tenth with a
// description, as an extract of a map database has them.
std::vector<Point> world_points() {
  std::mt19937_64 random(20261207);
  std::uniform_real_distribution<double> longitude(-180.0, 180.0);
  std::uniform_real_distribution<double> latitude(-85.0, 85.0);
  std::vector<Point> points(kPoints);
  for (std::int64_t k = 0; k < kPoints; ++k) {
    Point& point = points[static_cast<std::size_t>(k)];
    point.longitude = longitude(random);
    point.latitude = latitude(random);
    point.name = "Fuel station " + std::to_string(k);
    if (k % 10 == 0) point.information = "open 06-22, shop";
  }
  return points;
}

void read_gpkg_1m(benchmark::State& state) {
  const std::string path =
      (std::filesystem::temp_directory_path() / "pinwright-bench-1m.gpkg").string();
  if (const WriteResult written = write_points(path, world_points(), {}); written.failure) {
    state.SkipWithError(("cannot write " + path + ": " + *written.failure).c_str());
    return;
  }
  for (auto _ : state) {
    std::int64_t name_bytes = 0;
    const ReadResult read = read_points(
        path, {}, [&name_bytes](Point&& point) { name_bytes += std::ssize(point.name); });
    if (read.failure || read.points != kPoints) {
      state.SkipWithError(("unexpected read result: " + path).c_str());
      break;
    }
    benchmark::DoNotOptimize(name_bytes);
  }
  std::filesystem::remove(path);
  state.SetItemsProcessed(state.iterations() * kPoints);
}
BENCHMARK(read_gpkg_1m)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace
