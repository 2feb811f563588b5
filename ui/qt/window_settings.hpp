#pragma once

#include <memory>
#include <optional>

#include <QPoint>
#include <QSettings>
#include <QString>
#include <QStringList>

namespace pinwright::ui::qt {

// What the window remembers from one program life to the next: the last
// folder of each slot's file dialog, the recent Master and Update files, the
// Match radius and the three option check boxes, the window's place and size.
// The store is the caller's: the user's configuration file, a test's own, or
// none at all (the window then remembers nothing).
class WindowSettings {
 public:
  // The user's own store: $XDG_CONFIG_HOME/pinwright/pinwright.ini
  // (~/.config/pinwright/pinwright.ini when the variable is not set).
  static std::unique_ptr<QSettings> user_store();

  enum class Slot { master, update, output };

  static constexpr int kRecentFiles = 8;

  explicit WindowSettings(std::unique_ptr<QSettings> store);

  // The slot whose Text or OV2 button `id` is.
  static std::optional<Slot> slot_of_button(int id);

  // The folder of the file last chosen for the slot; empty when none.
  QString folder(Slot slot) const;
  // Recent files of the Master or Update slot, the latest first.
  QStringList recent_files(Slot slot) const;
  // A file the slot took (an input read, the Output chosen): its folder, and
  // for an input slot the file itself at the head of its recent files when
  // it exists.
  void remember_choice(Slot slot, const QString& path);

  struct Options {
    QString radius;
    bool under_one_metre = false;
    bool under_radius = false;
    bool append = false;
    QString names;  // the "Names" rule; empty: none remembered
    bool keep_first = false;
  };
  std::optional<Options> options() const;
  void remember_options(const Options& options);

  struct Place {
    QPoint position;
    int width = 0;
    int height = 0;  // 0: none remembered
  };
  std::optional<Place> place() const;
  void remember_place(const Place& place);

 private:
  std::unique_ptr<QSettings> store_;
};

}  // namespace pinwright::ui::qt
