#include "ui/qt/mnemonics.hpp"

#include <array>

#include <QAbstractButton>
#include <QEvent>
#include <QShortcutEvent>

#include "ui/controls.hpp"

namespace pinwright::ui::qt {

namespace {

namespace c = control;

struct Mnemonic {
  int id;
  const char* letters;  // tried in order against the caption
};

// Unique in the window in both kinds of run, and apart from the menu titles'
// F, U and H. Four buttons read "Text" and have only T, E and X between them:
// the review's Text takes T, the Master and Update slots E and X, and the
// Output slot's Text has none (the focus goes there after a run, when the next
// Output file is due). The slots otherwise mark their first, second and third
// letter. Help has none either: its other letters are taken, H opens the Help
// menu, and F1 is its key.
constexpr std::array kMnemonics = {
    Mnemonic{c::kMasterText, "e"},
    Mnemonic{c::kMasterOv2, "o"},
    Mnemonic{c::kMasterClear, "c"},
    Mnemonic{c::kUpdateText, "x"},
    Mnemonic{c::kUpdateOv2, "v"},
    Mnemonic{c::kUpdateClear, "l"},
    Mnemonic{c::kOutputOv2, "2"},
    Mnemonic{c::kOutputClear, "r"},
    Mnemonic{c::kPosition, "p"},
    Mnemonic{c::kText, "t"},
    Mnemonic{c::kBoth, "b"},
    Mnemonic{c::kFirstDecision, "k"},
    Mnemonic{c::kSecondDecision, "dn"},  // Delete Master entry / Save as new entry
    Mnemonic{c::kStart, "s"},
    Mnemonic{c::kQuit, "q"},
    Mnemonic{c::kExit, "i"},
    Mnemonic{c::kAppend, "a"},
    Mnemonic{c::kUnderOneMetre, "1"},
    Mnemonic{c::kUnderRadius, "m"},
};

}  // namespace

namespace {

// Pressed by its letter, a control also takes the focus, as a click gives it.
class FocusOnMnemonic : public QObject {
 public:
  using QObject::QObject;

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Shortcut && !static_cast<QShortcutEvent*>(event)->isAmbiguous()) {
      auto* control = static_cast<QWidget*>(watched);
      if (control->isEnabled() && control->focusPolicy() != Qt::NoFocus)
        control->setFocus(Qt::ShortcutFocusReason);
    }
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

void focus_on_mnemonic(QAbstractButton* control) {
  control->installEventFilter(new FocusOnMnemonic(control));
}

std::optional<QChar> mnemonic_letter(int id, const QString& caption) {
  for (const Mnemonic& mnemonic : kMnemonics) {
    if (mnemonic.id != id) continue;
    for (const char* letter = mnemonic.letters; *letter; ++letter) {
      if (caption.contains(QChar::fromLatin1(*letter), Qt::CaseInsensitive))
        return QChar::fromLatin1(*letter);
    }
    return std::nullopt;
  }
  return std::nullopt;
}

QString with_mnemonic(const QString& caption, std::optional<QChar> letter) {
  const qsizetype at = letter ? caption.indexOf(*letter, 0, Qt::CaseInsensitive) : -1;
  QString shown;
  for (qsizetype i = 0; i < caption.size(); ++i) {
    if (i == at) shown += u'&';
    if (caption[i] == u'&') shown += u'&';
    shown += caption[i];
  }
  return shown;
}

QString without_mnemonic(const QString& text) {
  QString plain;
  for (qsizetype i = 0; i < text.size(); ++i) {
    if (text[i] == u'&' && i + 1 < text.size()) ++i;
    plain += text[i];
  }
  return plain;
}

}  // namespace pinwright::ui::qt
