#include "ui/qt/menus.hpp"

#include <functional>

#include <QAbstractButton>
#include <QAction>
#include <QEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>

#include "ui/controls.hpp"
#include "ui/qt/qt_dialog.hpp"
#include "version.hpp"

namespace pinwright::ui::qt {

namespace {

namespace c = control;

// Menu titles take no letter a button has taken: Alt+F, Alt+U and Alt+H
// (see mnemonics.cpp). Within the File menu each item has a letter of its own
// but the Output slot's Text, whose letters the two other Text items and Exit
// have taken.
constexpr char kButtonProperty[] = "pinwrightButton";

// Keeps an item's state in line with its button's.
class StateFollower : public QObject {
 public:
  StateFollower(QObject* parent, std::function<void()> follow)
      : QObject(parent), follow_(std::move(follow)) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::EnabledChange:
      case QEvent::ShowToParent:
      case QEvent::HideToParent:
        follow_();
        break;
      default:
        break;
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<void()> follow_;
};

bool usable(const QAbstractButton* button) {
  return button->isEnabled() && !button->isHidden();
}

void add_item(QtDialog& dialog, QMenu* menu, int id, const QString& text,
              const QKeySequence& key = {}) {
  auto* button = qobject_cast<QAbstractButton*>(dialog.widget(id));
  if (!button) return;
  QAction* action = menu->addAction(text);
  action->setShortcut(key);
  action->setProperty(kButtonProperty, id);
  const auto follow = [action, button] { action->setEnabled(usable(button)); };
  follow();
  button->installEventFilter(new StateFollower(action, follow));
  QObject::connect(action, &QAction::triggered, button, [button] {
    if (usable(button)) button->click();
  });
}

}  // namespace

QString about_text(const QString& title) {
  return QStringLiteral(
             "%1\nVersion %2\n\n"
             "Cleans and merges collections of points of interest in text and OV2 files.\n\n"
             "Copyright 2026 The Pinwright maintainers. No licence to copy, modify or "
             "redistribute Pinwright has been granted yet; its authors keep all rights.\n\n"
             "Built with Qt %3 (GNU LGPL version 3) and pugixml (MIT licence). The example "
             "files contain data from GeoNames (CC BY 4.0), modified.")
      .arg(title, QString::fromUtf8(kVersion.data(), static_cast<qsizetype>(kVersion.size())),
           QString::fromLatin1(qVersion()));
}

QMenuBar* make_menu_bar(QtDialog& dialog) {
  auto* bar = new QMenuBar();

  QMenu* file = bar->addMenu(QStringLiteral("&File"));
  add_item(dialog, file, c::kMasterText, QStringLiteral("Master file: &Text..."),
           QKeySequence(QKeySequence::Open));
  add_item(dialog, file, c::kMasterOv2, QStringLiteral("Master file: &OV2..."));
  add_item(dialog, file, c::kMasterClear, QStringLiteral("Master file: &Clear"));
  file->addSeparator();
  add_item(dialog, file, c::kUpdateText, QStringLiteral("Update file: T&ext..."));
  add_item(dialog, file, c::kUpdateOv2, QStringLiteral("Update file: O&V2..."));
  add_item(dialog, file, c::kUpdateClear, QStringLiteral("Update file: C&lear"));
  file->addSeparator();
  add_item(dialog, file, c::kOutputText, QStringLiteral("Output file: Text..."));
  add_item(dialog, file, c::kOutputOv2, QStringLiteral("Output file: OV&2..."));
  add_item(dialog, file, c::kOutputClear, QStringLiteral("Output file: Clea&r"));
  file->addSeparator();
  add_item(dialog, file, c::kExit, QStringLiteral("E&xit"), QKeySequence(Qt::CTRL | Qt::Key_Q));

  QMenu* run = bar->addMenu(QStringLiteral("R&un"));
  add_item(dialog, run, c::kStart, QStringLiteral("&Start"));
  add_item(dialog, run, c::kBack, QStringLiteral("&Back"), QKeySequence(QKeySequence::Undo));
  add_item(dialog, run, c::kQuit, QStringLiteral("&Quit"));

  QMenu* help = bar->addMenu(QStringLiteral("&Help"));
  add_item(dialog, help, c::kHelp, QStringLiteral("&Contents"), QKeySequence(Qt::Key_F1));
  QAction* about = help->addAction(QStringLiteral("&About Pinwright"));
  QObject::connect(about, &QAction::triggered, bar, [bar] {
    QMessageBox::about(bar->window(), QStringLiteral("About Pinwright"),
                       about_text(bar->window()->windowTitle()));
  });
  QAction* about_qt = help->addAction(QStringLiteral("About &Qt"));
  QObject::connect(about_qt, &QAction::triggered, bar,
                   [bar] { QMessageBox::aboutQt(bar->window()); });
  return bar;
}

QAction* menu_action(const QMenuBar& bar, int id) {
  for (QAction* action : bar.findChildren<QAction*>()) {
    const QVariant button = action->property(kButtonProperty);
    if (button.isValid() && button.toInt() == id) return action;
  }
  return nullptr;
}

}  // namespace pinwright::ui::qt
