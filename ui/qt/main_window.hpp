#pragma once

#include <QDialog>
#include <QSize>

#include "ui_main_dialog.h"

class QCloseEvent;
class QKeyEvent;

namespace pinwright::ui::qt {

// The main dialog as a modeless window. Closing it or pressing Escape does not
// close it: both become the cancel command, and the program decides.
//
// The form keeps the size it needs and the run panel beside it takes every
// pixel left over, in both directions. A window too narrow for the two side
// by side puts the run panel under the form; a window smaller than what it
// holds scrolls, and the control that takes the focus is scrolled into view.
//
// Enter presses the default button while it can be pressed (a review waits);
// otherwise it presses the button with the focus, as Space does.
class MainWindow : public QDialog {
  Q_OBJECT

 public:
  // Below this the window shows too little of the form to work in.
  static constexpr QSize kMinimumSize{480, 320};

  explicit MainWindow(QWidget* parent = nullptr);

  Ui::MainDialog& form() { return form_; }

  // Lets the next close request through (the program is ending).
  void allow_close() { close_allowed_ = true; }

  // The size that shows the form and the run panel side by side with
  // nothing to scroll, the menu bar included.
  QSize full_size() const;
  // Whether the run panel lies under the form.
  bool folded() const;

 signals:
  void cancel_requested();

 public slots:
  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Side by side when the room allows both at their least, else one above the other.
  void fold_to_width();
  // The width the form and the run panel need side by side.
  int side_by_side_width() const;
  // The default button, when a review waits for it.
  bool default_button_waits() const;

  Ui::MainDialog form_;
  bool close_allowed_ = false;
};

}  // namespace pinwright::ui::qt
