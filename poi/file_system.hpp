#pragma once

#include <string>
#include <string_view>

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

// The directory of the program's own file, ending with '/': the directory of
// the running executable as the system reports it (links resolved), or, when
// it does not, the directory part of `argv0`, or "./" for a bare name. The
// program's own files (the default symbol, the help file) lie there.
std::string program_dir_from(std::string_view argv0);
// The same rule with the system's answer given: `own_file` empty when unknown.
std::string program_dir_from(std::string_view own_file, std::string_view argv0);

}  // namespace pinwright::poi
