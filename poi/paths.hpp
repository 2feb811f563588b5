#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace pinwright::poi {

// Paths use '/' as the separator. None of these helpers cuts a path short:
// a long path stays whole, only its display is shortened.

// The most a path named in a message or a file header shows.
inline constexpr std::size_t kMessagePathWidth = 50;

// The path up to and including its last '/'; empty when it has none.
std::string directory_part(std::string_view path);

struct SplitExtension {
  std::string stem;       // the path without the '.' and what follows it
  std::string extension;  // lower-cased, without the '.'; empty when there is none
};

// Splits at the last '.' of the file-name part (a dot in a folder name is not
// an extension); trailing blanks are ignored.
SplitExtension split_extension(std::string_view path);

// The path shortened for display to at most `limit` characters: whole folders
// after the leading '/' are replaced by ".../" until it fits
// ("/.../Europe/file.asc"); a file name that alone is too long keeps its last
// `limit` characters.
std::string shorten_path(std::string_view path, std::size_t limit);

// Whether two paths name the same file, however they are written ("a/../b",
// a symbolic link, a second hard link). A file that does not exist yet is
// compared by its absolute, normalised path. Empty paths name no file.
bool same_file(const std::string& a, const std::string& b);

}  // namespace pinwright::poi
