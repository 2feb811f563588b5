#include "ui/qt/help_window.hpp"

#include <algorithm>

#include <QKeyEvent>
#include <QScreen>

namespace pinwright::ui::qt {

HelpWindow::HelpWindow(QWidget* owner) : QTextBrowser(owner) {
  setWindowFlag(Qt::Window);
  setAttribute(Qt::WA_DeleteOnClose);
  setOpenExternalLinks(true);
  resize(kSize);
}

void HelpWindow::place_over(const QWidget& owner) {
  const QScreen* screen = owner.screen();
  const QRect room = screen ? screen->availableGeometry() : QRect(QPoint(), kSize);
  // Not shown yet, this window has no frame to measure: it gets the owner's.
  const QRect outer = owner.frameGeometry();
  const QRect inner = owner.geometry();
  const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(),
                       outer.right() - inner.right(), outer.bottom() - inner.bottom());
  const QSize framing(frame.left() + frame.right(), frame.top() + frame.bottom());
  resize(kSize.boundedTo(room.size() - framing));
  QRect place(QPoint(), size() + framing);
  place.moveCenter(outer.center());
  // move() places the frame's top left corner.
  move(std::clamp(place.left(), room.left(),
                  std::max(room.left(), room.right() + 1 - place.width())),
       std::clamp(place.top(), room.top(),
                  std::max(room.top(), room.bottom() + 1 - place.height())));
}

void HelpWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape || event->matches(QKeySequence::Close) ||
      (event->key() == Qt::Key_W && event->modifiers() == Qt::ControlModifier)) {
    close();
    return;
  }
  QTextBrowser::keyPressEvent(event);
}

}  // namespace pinwright::ui::qt
