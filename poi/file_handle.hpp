#pragma once

#include <cstdio>
#include <memory>

namespace pinwright::poi {

// An open C file that is closed when dropped. Where a failed close matters,
// close it through release() and check the result.
struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace pinwright::poi
