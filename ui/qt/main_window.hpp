#pragma once

#include <QDialog>

#include "ui_main_dialog.h"

class QCloseEvent;

namespace pinwright::ui::qt {

// The main dialog as a modeless window. Closing it or pressing Escape does not
// close it: both become the cancel command, and the program decides.
class MainWindow : public QDialog {
  Q_OBJECT

 public:
  explicit MainWindow(QWidget* parent = nullptr);

  Ui::MainDialog& form() { return form_; }

  // Lets the next close request through (the program is ending).
  void allow_close() { close_allowed_ = true; }

 signals:
  void cancel_requested();

 public slots:
  void reject() override;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  Ui::MainDialog form_;
  bool close_allowed_ = false;
};

}  // namespace pinwright::ui::qt
