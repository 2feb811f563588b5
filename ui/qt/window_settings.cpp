#include "ui/qt/window_settings.hpp"

#include <QFileInfo>

#include "ui/controls.hpp"

namespace pinwright::ui::qt {

namespace {

namespace c = control;

QString slot_key(WindowSettings::Slot slot) {
  switch (slot) {
    case WindowSettings::Slot::master:
      return QStringLiteral("master");
    case WindowSettings::Slot::update:
      return QStringLiteral("update");
    case WindowSettings::Slot::output:
      return QStringLiteral("output");
  }
  return {};
}

}  // namespace

WindowSettings::WindowSettings(std::unique_ptr<QSettings> store) : store_(std::move(store)) {}

std::unique_ptr<QSettings> WindowSettings::user_store() {
  return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                     QStringLiteral("pinwright"), QStringLiteral("pinwright"));
}

std::optional<WindowSettings::Slot> WindowSettings::slot_of_button(int id) {
  switch (id) {
    case c::kMasterText:
    case c::kMasterOv2:
      return Slot::master;
    case c::kUpdateText:
    case c::kUpdateOv2:
      return Slot::update;
    case c::kOutputText:
    case c::kOutputOv2:
      return Slot::output;
    default:
      return std::nullopt;
  }
}

QString WindowSettings::folder(Slot slot) const {
  return store_->value(QStringLiteral("folders/") + slot_key(slot)).toString();
}

QStringList WindowSettings::recent_files(Slot slot) const {
  if (slot == Slot::output) return {};
  return store_->value(QStringLiteral("recent/") + slot_key(slot)).toStringList();
}

void WindowSettings::remember_choice(Slot slot, const QString& path) {
  const QFileInfo file(path);
  store_->setValue(QStringLiteral("folders/") + slot_key(slot), file.absolutePath());
  if (slot == Slot::output || !file.isFile()) return;
  QStringList recent = recent_files(slot);
  const QString absolute = file.absoluteFilePath();
  recent.removeAll(absolute);
  recent.prepend(absolute);
  while (recent.size() > kRecentFiles) recent.removeLast();
  store_->setValue(QStringLiteral("recent/") + slot_key(slot), recent);
}

std::optional<WindowSettings::Options> WindowSettings::options() const {
  if (!store_->contains(QStringLiteral("options/radius"))) return std::nullopt;
  Options options;
  options.radius = store_->value(QStringLiteral("options/radius")).toString();
  options.under_one_metre = store_->value(QStringLiteral("options/underOneMetre")).toBool();
  options.under_radius = store_->value(QStringLiteral("options/underRadius")).toBool();
  options.append = store_->value(QStringLiteral("options/append")).toBool();
  options.names = store_->value(QStringLiteral("options/names")).toString();
  options.keep_first = store_->value(QStringLiteral("options/keepFirst")).toBool();
  return options;
}

void WindowSettings::remember_options(const Options& options) {
  store_->setValue(QStringLiteral("options/radius"), options.radius);
  store_->setValue(QStringLiteral("options/underOneMetre"), options.under_one_metre);
  store_->setValue(QStringLiteral("options/underRadius"), options.under_radius);
  store_->setValue(QStringLiteral("options/append"), options.append);
  store_->setValue(QStringLiteral("options/names"), options.names);
  store_->setValue(QStringLiteral("options/keepFirst"), options.keep_first);
}

std::optional<WindowSettings::Place> WindowSettings::place() const {
  if (!store_->contains(QStringLiteral("window/position"))) return std::nullopt;
  return Place{store_->value(QStringLiteral("window/position")).toPoint(),
               store_->value(QStringLiteral("window/width")).toInt(),
               store_->value(QStringLiteral("window/height")).toInt()};
}

void WindowSettings::remember_place(const Place& place) {
  store_->setValue(QStringLiteral("window/position"), place.position);
  store_->setValue(QStringLiteral("window/width"), place.width);
  store_->setValue(QStringLiteral("window/height"), place.height);
  store_->sync();
}

}  // namespace pinwright::ui::qt
