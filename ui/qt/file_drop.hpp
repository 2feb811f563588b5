#pragma once

#include <functional>
#include <optional>
#include <string_view>

#include <QObject>
#include <QString>

namespace pinwright::ui::qt {

// The button of a slot's group (1006 Master, 1007 Update, 1038 Output) that
// loads a file of this name: the OV2 button for ".ov2", the Text button for
// ".asc", ".csv" and the vector formats (".gpx", ".kml", ".geojson", ".json",
// ".gpkg", ".fgb", ".shp"), in any case; nothing for another kind of file or
// group.
std::optional<int> drop_button(int group_id, std::string_view file_name);

// The property a slot's group carries, true while a drag it takes hovers over it.
inline constexpr char kDropTargetProperty[] = "dropTarget";

// Takes file drops on a slot's group box: a drag of one local file is
// accepted while `can_drop` says so, the group is highlighted while it hovers,
// and the dropped file is handed to `drop`.
class FileDropFilter : public QObject {
 public:
  FileDropFilter(QObject* parent, int group_id, std::function<bool(int group_id)> can_drop,
                 std::function<void(int group_id, const QString& path)> drop);

  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  int group_id_;
  std::function<bool(int)> can_drop_;
  std::function<void(int, const QString&)> drop_;
};

}  // namespace pinwright::ui::qt
