#include "ui/qt/main_window.hpp"

#include <algorithm>

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>

namespace pinwright::ui::qt {

namespace {

// Rows close together: the whole form fits a window 540 pixels high, what a
// laptop screen at 125 % leaves once its panel is drawn.
constexpr int kGroupMargin = 6;
constexpr int kGroupTop = 2;
constexpr int kGroupBottom = 4;
constexpr int kRowSpacing = 4;
constexpr int kWindowMargin = 6;
constexpr int kFormSpacing = 4;

}  // namespace

MainWindow::MainWindow(QWidget* parent) : QDialog(parent) {
  form_.setupUi(this);
  // The radius is typed into its combo box's line edit: the Names choice
  // follows that, not the combo box the form's tab stops name.
  QWidget::setTabOrder(form_.radiusCombo->lineEdit(), form_.namesCombo);
  QWidget::setTabOrder(form_.namesCombo, form_.startButton);
  for (QGroupBox* group : findChildren<QGroupBox*>()) {
    if (QLayout* rows = group->layout()) {
      rows->setContentsMargins(kGroupMargin, kGroupTop, kGroupMargin, kGroupBottom);
      rows->setSpacing(kRowSpacing);
    }
  }
  form_.windowLayout->setContentsMargins(kWindowMargin, kWindowMargin, kWindowMargin,
                                         kWindowMargin);
  form_.windowLayout->setSpacing(kWindowMargin);
  form_.mainLayout->setSpacing(kFormSpacing);
  form_.bottomLayout->setSpacing(kFormSpacing);
  form_.commandLayout->setSpacing(kRowSpacing);
  form_.runPanelLayout->setSpacing(kRowSpacing);
  // The progress and status lines keep room for two lines whatever they hold.
  for (QLabel* line : {form_.progress, form_.runStatus})
    line->setFixedHeight(2 * line->fontMetrics().lineSpacing());
  form_.scrollArea->setMinimumSize(kMinimumSize);
  form_.scrollArea->viewport()->installEventFilter(this);
  // Tab and the program move the focus; what takes it is never out of sight.
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
    if (now && form_.content->isAncestorOf(now)) form_.scrollArea->ensureWidgetVisible(now);
  });
}

QSize MainWindow::full_size() const {
  const QMargins margins = form_.windowLayout->contentsMargins();
  const QSize form = form_.mainLayout->sizeHint();
  const QSize panel = form_.runPanelLayout->sizeHint();
  const QWidget* menu = layout()->menuBar();
  const int width =
      std::max(side_by_side_width(), margins.left() + form.width() + form_.windowLayout->spacing() +
                                         panel.width() + margins.right());
  const int height = (menu ? menu->sizeHint().height() : 0) + margins.top() +
                     std::max(form.height(), panel.height()) + margins.bottom();
  return {width, height};
}

bool MainWindow::folded() const {
  return form_.windowLayout->direction() == QBoxLayout::TopToBottom;
}

int MainWindow::side_by_side_width() const {
  const QMargins margins = form_.windowLayout->contentsMargins();
  return margins.left() + form_.mainLayout->minimumSize().width() + form_.windowLayout->spacing() +
         form_.runPanelLayout->minimumSize().width() + margins.right();
}

void MainWindow::fold_to_width() {
  const QBoxLayout::Direction direction =
      form_.scrollArea->viewport()->width() < side_by_side_width() ? QBoxLayout::TopToBottom
                                                                   : QBoxLayout::LeftToRight;
  if (form_.windowLayout->direction() != direction) form_.windowLayout->setDirection(direction);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == form_.scrollArea->viewport() && event->type() == QEvent::Resize) fold_to_width();
  return QDialog::eventFilter(watched, event);
}

bool MainWindow::default_button_waits() const {
  const QList<QPushButton*> buttons = findChildren<QPushButton*>();
  return std::any_of(buttons.begin(), buttons.end(), [](const QPushButton* button) {
    return button->isDefault() && button->isVisible() && button->isEnabled();
  });
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
  const bool enter = (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
                     (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
  if (enter && !default_button_waits()) {
    auto* button = qobject_cast<QPushButton*>(focusWidget());
    if (button && button->isEnabled() && button->isVisible()) {
      button->click();
      return;
    }
  }
  QDialog::keyPressEvent(event);
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
