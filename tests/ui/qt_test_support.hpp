#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include <QTimer>

#include "app/program.hpp"
#include "ui/qt/qt_dialog.hpp"

class QWidget;

namespace pinwright::testing {

// Fails the test and frees it when it waits too long: answers Yes to a box
// that asks, rejects every other modal dialog still open and closes the main
// window, which queues the cancel command, so a test blocked in a dialog or in
// wait_for_event() goes on.
class Watchdog {
 public:
  explicit Watchdog(ui::qt::QtDialog& dialog,
                    std::chrono::milliseconds limit = std::chrono::seconds(10));

 private:
  void bite();

  ui::qt::QtDialog& dialog_;
  QTimer timer_;
  bool failed_ = false;
};

// Runs `action` once on the first modal dialog that opens, of the class named
// when one is named (checked every few milliseconds while the test blocks in
// the dialog's own event loop).
class ModalAnswer {
 public:
  explicit ModalAnswer(std::function<void(QWidget*)> action, const char* class_name = nullptr);

 private:
  std::function<void(QWidget*)> action_;
  const char* class_name_;
  QTimer timer_;
};

// Types `path` into a QFileDialog's name field and accepts it: an action for ModalAnswer.
std::function<void(QWidget*)> choose_in_file_dialog(const std::string& path);

// Plays a user's actions one by one while the program's loop waits for
// events: each step runs once the program has handled the events of the last
// and waits for the next one, with no modal dialog open.
class UserSteps {
 public:
  UserSteps(ui::qt::QtDialog& dialog, std::vector<std::function<void()>> steps);
  bool done() const { return next_ == steps_.size(); }

 private:
  ui::qt::QtDialog& dialog_;
  std::vector<std::function<void()>> steps_;
  std::size_t next_ = 0;
  QTimer timer_;
};

// Hands every queued field-changed event to the program's option handler, as
// the event loop does; returns how many there were. Other events fail the test.
int handle_field_changes(app::Program& program, ui::qt::QtDialog& dialog);

// Lets Qt run until nothing is left to do.
void settle();

}  // namespace pinwright::testing
