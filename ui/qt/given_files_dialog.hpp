#pragma once

#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "ui/qt/qt_dialog.hpp"

namespace pinwright::ui::qt {

// The Qt window with the files to choose given beforehand, in order, in place
// of its file dialogs: for tools and tests that drive the program directly.
// With no file left, a choice is cancelled.
class GivenFilesDialog : public QtDialog {
 public:
  std::deque<std::string> files;

  std::optional<std::string> choose_file(std::string_view, FileDialogForm, std::string_view,
                                         std::string_view) override {
    if (files.empty()) return std::nullopt;
    std::string file = std::move(files.front());
    files.pop_front();
    return file;
  }
};

}  // namespace pinwright::ui::qt
