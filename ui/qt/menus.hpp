#pragma once

#include <QString>

class QAction;
class QMenuBar;

namespace pinwright::ui::qt {

class QtDialog;

// The window's menus mirror its buttons: an item presses its button exactly
// as a click does, and is enabled while its button is enabled and shown.
// File: the three slots' Text, OV2 and Clear, Exit (Ctrl+O is the Master
// slot's Text, Ctrl+Q is Exit); Run: Start, Back (Ctrl+Z), Quit; Help:
// Contents (F1), About. Alt+F, Alt+U and Alt+H open them.
QMenuBar* make_menu_bar(QtDialog& dialog);

// The menu item that presses button `id`, or null.
QAction* menu_action(const QMenuBar& bar, int id);

// The text of the About box: the window's title, which names the version as
// the program always has, the package's version and the licences.
QString about_text(const QString& title);

}  // namespace pinwright::ui::qt
