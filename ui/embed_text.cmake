# Writes a C++ source whose function FUNCTION (in namespace pinwright::ui)
# returns the bytes of INPUT exactly, so a program needs no source tree at run time.
# Usage: cmake -DINPUT=file -DOUTPUT=file.cpp -DFUNCTION=name -P embed_text.cmake
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR byte_count "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
# One line per 32 bytes keeps the file readable for tools.
string(REGEX REPLACE "((0x[0-9a-f][0-9a-f],){32})" "\\1\n    " bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp" "// Generated from ${INPUT}; do not edit.
#include <string_view>

namespace pinwright::ui {

std::string_view ${FUNCTION}() {
  // A closing zero keeps the array valid when the file is empty.
  static constexpr unsigned char kBytes[] = {
    ${bytes}0x00
  };
  return {reinterpret_cast<const char*>(kBytes), ${byte_count}};
}

}  // namespace pinwright::ui
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
