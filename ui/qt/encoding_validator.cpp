#include "ui/qt/encoding_validator.hpp"

#include <optional>
#include <string>

namespace pinwright::ui::qt {

EncodingValidator::EncodingValidator(std::function<TextEncoding()> encoding,
                                     std::function<void(const QString&)> refused, QObject* parent)
    : QValidator(parent), encoding_(std::move(encoding)), refused_(std::move(refused)) {}

QValidator::State EncodingValidator::validate(QString& input, int&) const {
  const std::optional<std::string> character =
      first_unencodable(input.toUtf8().toStdString(), encoding_());
  if (!character) return Acceptable;
  refused_(QString::fromStdString(*character));
  return Invalid;
}

}  // namespace pinwright::ui::qt
