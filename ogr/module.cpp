// The entry of pinwright-ogr.so: the table of the functions that need GDAL.
#include "ogr/module.hpp"

#include "version.hpp"

extern "C" [[gnu::visibility("default")]] const pinwright::ogr::ModuleFunctions*
pinwright_ogr_functions() {
  using namespace pinwright::ogr;
  static const ModuleFunctions functions{
      .version = pinwright::kVersion,
      .has_vector_driver = &has_vector_driver,
      .driver_extensions = &driver_extensions,
      .dataset_files = &dataset_files,
      .read_points = &read_points,
      .write_points_from = &write_points_from,
      .write_points = &write_points,
  };
  return &functions;
}
