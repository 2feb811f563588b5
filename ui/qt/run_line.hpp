#pragma once

#include <QLabel>

namespace pinwright::ui::qt {

// The progress and status lines beside the form: a text wrapped within a
// fixed height of two lines. The label reports no height for its width, so
// that a text put there or taken away never makes the window lay out its
// form anew (a wrapping label asks for that, and a folded window then
// squeezes the form to give the map room).
class RunLine : public QLabel {
 public:
  using QLabel::QLabel;

  bool hasHeightForWidth() const override { return false; }
};

}  // namespace pinwright::ui::qt
