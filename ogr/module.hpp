#pragma once

// GDAL and the hundred libraries it brings take longer to load than a run of
// a million text entries takes to read: the functions that need it live in a
// module of their own, pinwright-ogr.so beside the executables, loaded the
// first time a vector file is read or written. The programs link the loader
// (loader.cpp), which forwards each call of points.hpp through the table
// below; tests and benchmarks link the functions themselves.

#include <cstddef>
#include <string_view>

#include "ogr/points.hpp"

namespace pinwright::ogr {

inline constexpr const char* kModuleFile = "pinwright-ogr.so";
inline constexpr const char* kModuleEntry = "pinwright_ogr_functions";

struct ModuleFunctions {
  // The loader and the module come from one build: a module of another
  // version, whose types may differ, is refused.
  std::size_t size = sizeof(ModuleFunctions);
  std::string_view version;
  decltype(&ogr::has_vector_driver) has_vector_driver = nullptr;
  decltype(&ogr::driver_extensions) driver_extensions = nullptr;
  decltype(&ogr::dataset_files) dataset_files = nullptr;
  decltype(&ogr::read_points) read_points = nullptr;
  decltype(&ogr::write_points_from) write_points_from = nullptr;
  decltype(&ogr::write_points) write_points = nullptr;
};

}  // namespace pinwright::ogr
