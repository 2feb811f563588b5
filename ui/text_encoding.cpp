#include "ui/text_encoding.hpp"

namespace pinwright::ui {

FieldText field_text_from_bytes(std::string_view bytes) {
  const TextEncoding encoding = detect_encoding(bytes);
  return {std::string(bytes), encoding, decode_to_utf8(bytes, encoding)};
}

std::string bytes_from_field(const FieldText& put, std::string_view shown_now,
                             TextEncoding encoding) {
  if (shown_now == put.shown) return put.bytes;
  if (std::optional<std::string> encoded = encode_from_utf8(shown_now, encoding)) return *encoded;
  return std::string(shown_now);
}

}  // namespace pinwright::ui
