#pragma once

#include <string>

namespace pinwright::poi {

// The few file-system services the program needs beyond reading and writing.
// None throws; each says whether it worked.

bool file_exists(const std::string& path);
// A regular file (not a folder) at `path`.
bool is_file(const std::string& path);
// The process may write into the file at `path` (which must exist).
bool is_writable(const std::string& path);
// Copies `from` to `to`, replacing what is there.
bool copy_file(const std::string& from, const std::string& to);
bool delete_file(const std::string& path);

}  // namespace pinwright::poi
