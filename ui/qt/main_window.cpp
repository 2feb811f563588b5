#include "ui/qt/main_window.hpp"

#include <QCloseEvent>

namespace pinwright::ui::qt {

MainWindow::MainWindow(QWidget* parent) : QDialog(parent) {
  form_.setupUi(this);
}

void MainWindow::reject() {
  if (close_allowed_) {
    QDialog::reject();
    return;
  }
  emit cancel_requested();
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (close_allowed_) {
    QDialog::closeEvent(event);
    return;
  }
  event->ignore();
  emit cancel_requested();
}

}  // namespace pinwright::ui::qt
