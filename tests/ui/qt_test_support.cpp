#include "tests/ui/qt_test_support.hpp"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

#include "app/options.hpp"
#include "ui/qt/main_window.hpp"

namespace pinwright::testing {

Watchdog::Watchdog(ui::qt::QtDialog& dialog, std::chrono::milliseconds limit) : dialog_(dialog) {
  timer_.setInterval(limit);
  QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { bite(); });
  timer_.start();
}

void Watchdog::bite() {
  if (!failed_) ADD_FAILURE() << "watchdog: the test waited too long and was freed";
  failed_ = true;
  timer_.setInterval(100);
  while (QWidget* modal = QApplication::activeModalWidget()) {
    // A box that asks (the Quit box, when closing during a review) is
    // answered Yes, so that the program can end.
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (box && box->button(QMessageBox::Yes)) {
      box->button(QMessageBox::Yes)->click();
    } else if (auto* dialog = qobject_cast<QDialog*>(modal)) {
      dialog->reject();
    } else {
      modal->close();
    }
    if (QApplication::activeModalWidget() == modal) break;
  }
  if (dialog_.window()) dialog_.window()->close();
}

ModalAnswer::ModalAnswer(std::function<void(QWidget*)> action, const char* class_name)
    : action_(std::move(action)), class_name_(class_name) {
  timer_.setInterval(10);
  QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal || (class_name_ && !modal->inherits(class_name_))) return;
    timer_.stop();
    action_(modal);
  });
  timer_.start();
}

std::function<void(QWidget*)> choose_in_file_dialog(const std::string& path) {
  return [path](QWidget* modal) {
    auto* file_dialog = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(file_dialog, nullptr);
    auto* name_field = file_dialog->findChild<QLineEdit*>("fileNameEdit");
    ASSERT_NE(name_field, nullptr);
    // A file selected in the list wins over the typed name on accepting: the
    // proposed file may be selected late, once the folder has been read.
    for (auto* view : file_dialog->findChildren<QAbstractItemView*>()) view->clearSelection();
    name_field->setText(QString::fromStdString(path));
    QMetaObject::invokeMethod(file_dialog, "accept", Qt::DirectConnection);
  };
}

UserSteps::UserSteps(ui::qt::QtDialog& dialog, std::vector<std::function<void()>> steps)
    : dialog_(dialog), steps_(std::move(steps)) {
  timer_.setInterval(5);
  QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] {
    if (!dialog_.waiting_for_event() || dialog_.pending_events() > 0 ||
        QApplication::activeModalWidget())
      return;
    if (done()) {
      timer_.stop();
      return;
    }
    steps_[next_++]();
  });
  timer_.start();
}

int handle_field_changes(app::Program& program, ui::qt::QtDialog& dialog) {
  int handled = 0;
  while (dialog.pending_events() > 0) {
    const ui::Event event = dialog.wait_for_event();
    EXPECT_EQ(event.kind, ui::EventKind::field_changed) << "event for " << event.value;
    app::handle_field_change(program, dialog, event.value);
    ++handled;
  }
  return handled;
}

void settle() {
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace pinwright::testing
