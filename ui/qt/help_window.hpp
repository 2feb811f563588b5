#pragma once

#include <QTextBrowser>

class QKeyEvent;

namespace pinwright::ui::qt {

// The help file in a window of its own beside the main dialog. Escape and
// Ctrl+W close it, as they close a document window.
class HelpWindow : public QTextBrowser {
  Q_OBJECT

 public:
  static constexpr QSize kSize{560, 480};

  explicit HelpWindow(QWidget* owner);

  // Centred over `owner`, wholly on its screen (smaller when the screen is).
  void place_over(const QWidget& owner);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace pinwright::ui::qt
