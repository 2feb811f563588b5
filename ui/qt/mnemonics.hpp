#pragma once

#include <optional>

#include <QChar>
#include <QString>

class QAbstractButton;

namespace pinwright::ui::qt {

// Alt+letter keys of the main dialog's buttons and check boxes. Captions stay
// the program's own texts: the '&' marking the letter is added when a caption
// is shown and removed when it is read back.

// The letter of control `id` for `caption`: the first of the control's letters
// that the caption holds (the decision buttons change captions with the kind
// of run). None for other controls, or when the caption holds none of them.
std::optional<QChar> mnemonic_letter(int id, const QString& caption);

// `caption` as a button shows it: its own '&' doubled, '&' before the first
// occurrence of `letter` (either case), if any.
QString with_mnemonic(const QString& caption, std::optional<QChar> letter);

// What a button's text says without its '&' marks ("&&" is a plain '&').
QString without_mnemonic(const QString& text);

// Alt and its letter give `control` the focus as well as pressing it, so the
// keyboard goes on from there as it would after a click.
void focus_on_mnemonic(QAbstractButton* control);

}  // namespace pinwright::ui::qt
