// A vector formats module of another version, for the end-to-end case that
// puts it beside the program: its table must be refused, never called.
#include "ogr/module.hpp"

extern "C" [[gnu::visibility("default")]] const pinwright::ogr::ModuleFunctions*
pinwright_ogr_functions() {
  static const pinwright::ogr::ModuleFunctions functions{.version = "0.0.0-another"};
  return &functions;
}
