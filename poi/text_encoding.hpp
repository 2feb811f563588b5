#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace pinwright::poi {

// Names and information texts are kept as the bytes their file holds. Files
// written by current tools hold UTF-8; older OV2 files and many text files
// hold Windows-1252. Where characters are needed (a window shows them, a
// vector file takes UTF-8) each text is read in the encoding its bytes fit,
// and written back in the same one.
enum class TextEncoding { utf8, windows_1252 };

// Appends the UTF-8 bytes of one code point.
void append_utf8(std::string& out, char32_t code);

// True when every byte is below 0x80: such a text reads the same in both encodings.
bool is_ascii(std::string_view bytes);

// UTF-8 when `bytes` are valid UTF-8 (plain ASCII is), otherwise Windows-1252,
// in which every byte is a character.
TextEncoding detect_encoding(std::string_view bytes);

// `bytes` read in `encoding`, as UTF-8. Windows-1252 leaves five bytes
// unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D); they become the code points of
// the same value, so that every byte reads as a character and writes back as
// itself. Invalid UTF-8 read as UTF-8 gives U+FFFD for each bad byte.
std::string decode_to_utf8(std::string_view bytes, TextEncoding encoding);

// The first character of `utf8` that `encoding` cannot hold, as UTF-8;
// nothing when every character fits. Invalid UTF-8 fits nothing: its first
// bad byte is returned.
std::optional<std::string> first_unencodable(std::string_view utf8, TextEncoding encoding);

// `utf8` written in `encoding`; nothing when `first_unencodable` finds a character.
std::optional<std::string> encode_from_utf8(std::string_view utf8, TextEncoding encoding);

// The name and information of one entry go into one line of a file and should
// share its encoding. A text of plain ASCII says nothing about its file: it
// takes the encoding of its partner (the entry's other text) when that holds
// more; a text that is not plain ASCII keeps its own.
TextEncoding entry_encoding(std::string_view own_bytes, std::string_view partner_bytes);

}  // namespace pinwright::poi
