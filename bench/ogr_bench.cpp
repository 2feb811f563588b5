// Reading a GeoPackage of 1,000,000 points, generated before the timing; and
// converting 200,000 points between vector formats, and 1,000,000 points with
// fields from GeoPackage to GeoPackage, a whole pinwright-batch process paired
// with ogr2ogr's where it is installed.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "ogr/points.hpp"
#include "poi/file_system.hpp"

namespace {

using namespace pinwright::ogr;

inline constexpr std::int64_t kPoints = 1'000'000;
inline constexpr std::int64_t kPairedPoints = 200'000;

// `count` points all over the world, each with a name and every tenth with a
// description, as an extract of a map database has them.
std::vector<Point> world_points(std::int64_t count = kPoints) {
  std::mt19937_64 random(20261207);
  std::uniform_real_distribution<double> longitude(-180.0, 180.0);
  std::uniform_real_distribution<double> latitude(-85.0, 85.0);
  std::vector<Point> points(static_cast<std::size_t>(count));
  for (std::int64_t k = 0; k < count; ++k) {
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

namespace fs = std::filesystem;

// The fields of a point of a map database's extract besides name and
// description.
std::vector<FieldSpec> extract_fields() {
  return {{"osm_id", FieldType::integer},
          {"rating", FieldType::real},
          {"amenity", FieldType::string},
          {"checked", FieldType::date_time},
          {"opening_hours", FieldType::string}};
}

// `world_points`, each with a description and a value in every field of
// `extract_fields`.
std::vector<Point> extract_points(std::int64_t count) {
  std::vector<Point> points = world_points(count);
  const char* const amenities[] = {"fuel", "cafe", "restaurant", "parking", "toilets"};
  for (std::size_t k = 0; k < points.size(); ++k) {
    Point& point = points[k];
    point.information = "open 06-22, shop";
    point.fields = {{0, static_cast<std::int64_t>(4'000'000'000 + k)},
                    {1, static_cast<double>(k % 50) / 10.0},
                    {2, std::string(amenities[k % 5])},
                    {3, DateTime{2024, 1 + static_cast<int>(k % 12), 1 + static_cast<int>(k % 28),
                                 static_cast<int>(k % 24), static_cast<int>(k % 60),
                                 static_cast<float>(k % 60), 100}},
                    {4, std::string(k % 2 == 0 ? "Mo-Fr 06:00-22:00; Sa,Su 08:00-20:00" : "24/7")}};
  }
  return points;
}

// The 200,000 points as a file of the name given, written once and kept in
// the temporary folder for the next run (a GeoPackage takes a while).
std::string paired_input(const std::string& name) {
  const fs::path folder = fs::temp_directory_path() / "pinwright-bench-ogr";
  fs::create_directories(folder);
  const fs::path path = folder / name;
  if (fs::exists(path)) return path.string();
  const fs::path partial = folder / ("partial-" + name);
  const bool with_fields = name.starts_with("fields-");
  WriteOptions options;
  if (with_fields) options.fields = extract_fields();
  const std::vector<Point> points =
      with_fields ? extract_points(kPoints) : world_points(kPairedPoints);
  if (write_points(partial.string(), points, options).failure) return {};
  fs::rename(partial, path);
  return path.string();
}

double seconds_of(const std::string& command) {
  const auto start = std::chrono::steady_clock::now();
  const int status = std::system(command.c_str());
  const auto end = std::chrono::steady_clock::now();
  return status == 0 ? std::chrono::duration<double>(end - start).count() : -1.0;
}

// pinwright-batch beside this program.
std::string batch_program() {
  return pinwright::poi::program_dir_from("") + "pinwright-batch";
}

// One conversion, ours and then ogr2ogr's (of the one layer of points) on the same input, each a
// whole process with its output removed first; the wall times of both and their ratio (ours over
// ogr2ogr's: below 1 is faster).
void paired_convert(benchmark::State& state, const std::string& input_name,
                    const std::string& output_name, const std::string& ogr2ogr_options,
                    const std::string& ogr2ogr_layer) {
  const std::string input = paired_input(input_name);
  const std::string batch = batch_program();
  if (input.empty() || !fs::exists(batch)) {
    state.SkipWithError("no input or no pinwright-batch beside the bench");
    return;
  }
  const fs::path output = fs::path(input).parent_path() / output_name;
  const std::string ours =
      batch + " convert " + input + " -o " + output.string() + " --quiet > /dev/null";
  const std::string theirs = "ogr2ogr " + ogr2ogr_options + " " + output.string() + " " + input +
                             " " + ogr2ogr_layer + " > /dev/null 2>&1";
  double ours_seconds = 0.0;
  double theirs_seconds = 0.0;
  for (auto _ : state) {
    fs::remove(output);
    const double ours_run = seconds_of(ours);
    fs::remove(output);
    const double theirs_run = seconds_of(theirs);
    if (ours_run < 0.0 || theirs_run < 0.0) {
      state.SkipWithError("a conversion failed");
      break;
    }
    ours_seconds += ours_run;
    theirs_seconds += theirs_run;
  }
  fs::remove(output);
  const auto runs = static_cast<double>(state.iterations());
  state.counters["ours_ms"] = 1000.0 * ours_seconds / runs;
  state.counters["ogr2ogr_ms"] = 1000.0 * theirs_seconds / runs;
  state.counters["ratio"] = theirs_seconds > 0.0 ? ours_seconds / theirs_seconds : 0.0;
}

void register_paired(const char* name, std::string input, std::string output,
                     std::string ogr2ogr_options, std::string ogr2ogr_layer, int repetitions) {
  benchmark::RegisterBenchmark(name,
                               [=](benchmark::State& state) {
                                 paired_convert(state, input, output, ogr2ogr_options,
                                                ogr2ogr_layer);
                               })
      ->Iterations(1)
      ->Repetitions(repetitions)
      ->ReportAggregatesOnly(true)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
}

const bool kPairedCases = [] {
  if (std::system("command -v ogr2ogr > /dev/null 2>&1") != 0) {
    std::fputs("convert_*: left out; ogr2ogr is not installed\n", stderr);
    return false;
  }
  register_paired("convert_gpx_to_geojson_200k", "points-200k.gpx", "out.geojson", "-f GeoJSON",
                  "waypoints", 5);
  register_paired("convert_gpkg_to_gpx_200k", "points-200k.gpkg", "out.gpx",
                  "-f GPX -nln waypoints", "", 5);
  // A minute a conversion: three pairs.
  register_paired("convert_gpkg_fields_1m", "fields-1m.gpkg", "out.gpkg", "-f GPKG", "", 3);
  return true;
}();

}  // namespace
