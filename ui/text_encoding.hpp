#pragma once

#include <string>
#include <string_view>

#include "poi/text_encoding.hpp"

namespace pinwright::ui {

// The window shows and edits texts in the encoding their bytes fit.
using poi::append_utf8;
using poi::decode_to_utf8;
using poi::detect_encoding;
using poi::encode_from_utf8;
using poi::entry_encoding;
using poi::first_unencodable;
using poi::is_ascii;
using poi::TextEncoding;

// A text the program put into a field, remembered with what the field shows,
// so that the text read back goes into the file as it came.
struct FieldText {
  std::string bytes;  // as the program gave them
  TextEncoding encoding = TextEncoding::utf8;
  std::string shown;  // UTF-8, what the field shows
};

FieldText field_text_from_bytes(std::string_view bytes);

// The bytes for the program of a field that now shows `shown_now` (UTF-8):
// the bytes put when the user left the text as it was put; otherwise the new
// text in `encoding`, or in UTF-8 when `encoding` cannot hold it.
std::string bytes_from_field(const FieldText& put, std::string_view shown_now,
                             TextEncoding encoding);

}  // namespace pinwright::ui
