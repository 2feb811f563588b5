#pragma once

#include <string>
#include <string_view>

namespace pinwright::testing {

// The path of `name` in tests/data/ (see tests/data/README.md), for tests and benchmarks.
std::string data_path(std::string_view name);

// The same for a GoogleTest test, which fails here naming the file when it is missing:
// a reader's failure further on would not say why.
std::string data_file(std::string_view name);

}  // namespace pinwright::testing
