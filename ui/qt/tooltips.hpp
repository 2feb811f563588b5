#pragma once

#include <QString>
#include <QStringList>

namespace pinwright::ui::qt {

// The tooltip of a button or check box of the main dialog: what it does, in
// the words of its current caption (the decision buttons change theirs with
// the kind of run), and the keys that reach it, such as "Alt+S" or "F1".
// Empty for other controls.
QString tooltip(int id, const QString& caption, const QStringList& keys);

}  // namespace pinwright::ui::qt
