#pragma once

#include <functional>

#include <QValidator>

#include "ui/text_encoding.hpp"

namespace pinwright::ui::qt {

// Keeps out of an edit field what its entry's encoding cannot hold: a typed
// or pasted text with such a character is refused whole, and `refused` learns
// the first character, so the user can be told why nothing happened.
class EncodingValidator : public QValidator {
 public:
  EncodingValidator(std::function<TextEncoding()> encoding,
                    std::function<void(const QString&)> refused, QObject* parent);

  State validate(QString& input, int& position) const override;

 private:
  std::function<TextEncoding()> encoding_;
  std::function<void(const QString&)> refused_;
};

}  // namespace pinwright::ui::qt
