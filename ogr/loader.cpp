// The programs' side of pinwright-ogr.so: each function of points.hpp that
// needs GDAL loads the module on its first call and forwards to it. A module
// that is missing or does not fit is told once, in the words of each call's
// own failure, and the text and overlay files go on working without it.
#include <dlfcn.h>

#include <string>

#include "ogr/module.hpp"
#include "poi/file_system.hpp"
#include "version.hpp"

namespace pinwright::ogr {

namespace {

struct Loaded {
  const ModuleFunctions* functions = nullptr;
  std::string failure;  // why there are none
};

std::string module_path() {
  return poi::program_dir_from("") + kModuleFile;
}

Loaded load() {
  const std::string path = module_path();
  // Never closed: GDAL's drivers stay registered for the rest of the process.
  void* const module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (module == nullptr)
    return {nullptr, "the vector formats cannot be loaded: " + std::string(dlerror())};
  using Entry = const ModuleFunctions* (*)();
  const auto entry = reinterpret_cast<Entry>(dlsym(module, kModuleEntry));
  const ModuleFunctions* const functions = entry != nullptr ? entry() : nullptr;
  if (functions == nullptr || functions->size != sizeof(ModuleFunctions) ||
      functions->version != kVersion)
    return {nullptr, "the vector formats cannot be loaded: " + path +
                         " is not the module of pinwright " + std::string(kVersion)};
  return {functions, {}};
}

const Loaded& loaded() {
  static const Loaded once = load();
  return once;
}

WriteResult not_written(const Loaded& module) {
  return WriteResult{.points = 0, .texts_cut = 0, .fields_dropped = {}, .failure = module.failure};
}

}  // namespace

bool has_vector_driver(const std::string& name) {
  const Loaded& module = loaded();
  return module.functions != nullptr && module.functions->has_vector_driver(name);
}

std::vector<std::string> driver_extensions(const std::string& name) {
  const Loaded& module = loaded();
  if (module.functions == nullptr) return {};
  return module.functions->driver_extensions(name);
}

std::vector<std::string> dataset_files(const std::string& path, const std::string& driver) {
  const Loaded& module = loaded();
  if (module.functions == nullptr) return {path};
  return module.functions->dataset_files(path, driver);
}

ReadResult read_points(const std::string& path, const ReadOptions& options,
                       const PointVisitor& visit, const LayerVisitor& layer) {
  const Loaded& module = loaded();
  if (module.functions == nullptr) {
    ReadResult result;
    result.failure.emplace();
    result.failure->path = path;
    result.failure->detail = module.failure;
    return result;
  }
  return module.functions->read_points(path, options, visit, layer);
}

WriteResult write_points_from(const std::string& path, const PointFeed& next,
                              const WriteOptions& options) {
  const Loaded& module = loaded();
  if (module.functions == nullptr) return not_written(module);
  return module.functions->write_points_from(path, next, options);
}

WriteResult write_points(const std::string& path, std::span<const Point> points,
                         const WriteOptions& options) {
  const Loaded& module = loaded();
  if (module.functions == nullptr) return not_written(module);
  return module.functions->write_points(path, points, options);
}

}  // namespace pinwright::ogr
