#include "ui/qt/file_drop.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QPalette>
#include <QUrl>
#include <QWidget>

#include "ui/controls.hpp"

namespace pinwright::ui::qt {

namespace {

namespace c = control;

struct SlotButtons {
  int group;
  int text;
  int ov2;
};

constexpr std::array<SlotButtons, 3> kSlots = {{
    {c::kMasterGroup, c::kMasterText, c::kMasterOv2},
    {c::kUpdateGroup, c::kUpdateText, c::kUpdateOv2},
    {c::kOutputGroup, c::kOutputText, c::kOutputOv2},
}};

// What the Text button reads: POI text files, and the vector formats it
// reads through OGR.
constexpr std::array<std::string_view, 9> kTextButtonExtensions = {
    ".asc", ".csv", ".gpx", ".kml", ".geojson", ".json", ".gpkg", ".fgb", ".shp"};

std::string lower_extension(std::string_view file_name) {
  const std::size_t dot = file_name.rfind('.');
  const std::size_t slash = file_name.rfind('/');
  if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash)) return {};
  std::string extension(file_name.substr(dot));
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char ch) { return static_cast<char>(std::tolower(ch)); });
  return extension;
}

// The one local file a drag carries; empty for anything else.
QString dragged_file(const QMimeData* data) {
  if (!data || !data->hasUrls() || data->urls().size() != 1) return {};
  const QUrl url = data->urls().front();
  return url.isLocalFile() ? url.toLocalFile() : QString();
}

// While a drag hovers over it, the slot's group is filled in a tint of the
// highlight colour: the user sees where the file will go.
void show_drop_target(QWidget* group, bool shown) {
  if (group->property(kDropTargetProperty).toBool() == shown) return;
  group->setProperty(kDropTargetProperty, shown);
  group->setAutoFillBackground(shown);
  if (!shown) {
    // Back to the colours it inherits.
    group->setPalette(QPalette());
    return;
  }
  QPalette palette = group->palette();
  const QColor ground = palette.color(QPalette::Window);
  const QColor highlight = palette.color(QPalette::Highlight);
  const auto mix = [](int from, int to) { return (2 * from + to) / 3; };
  palette.setColor(QPalette::Window, QColor(mix(ground.red(), highlight.red()),
                                            mix(ground.green(), highlight.green()),
                                            mix(ground.blue(), highlight.blue())));
  group->setPalette(palette);
}

}  // namespace

std::optional<int> drop_button(int group_id, std::string_view file_name) {
  const std::string extension = lower_extension(file_name);
  for (const SlotButtons& slot : kSlots) {
    if (slot.group != group_id) continue;
    if (extension == ".ov2") return slot.ov2;
    if (std::find(kTextButtonExtensions.begin(), kTextButtonExtensions.end(), extension) !=
        kTextButtonExtensions.end())
      return slot.text;
  }
  return std::nullopt;
}

FileDropFilter::FileDropFilter(QObject* parent, int group_id, std::function<bool(int)> can_drop,
                               std::function<void(int, const QString&)> drop)
    : QObject(parent),
      group_id_(group_id),
      can_drop_(std::move(can_drop)),
      drop_(std::move(drop)) {}

bool FileDropFilter::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::DragEnter: {
      auto* enter = static_cast<QDragEnterEvent*>(event);
      const bool taken = !dragged_file(enter->mimeData()).isEmpty() && can_drop_(group_id_);
      if (taken) {
        enter->acceptProposedAction();
      } else {
        enter->ignore();
      }
      show_drop_target(static_cast<QWidget*>(watched), taken);
      return true;
    }
    case QEvent::DragLeave:
      show_drop_target(static_cast<QWidget*>(watched), false);
      return true;
    case QEvent::Drop: {
      show_drop_target(static_cast<QWidget*>(watched), false);
      auto* drop = static_cast<QDropEvent*>(event);
      const QString path = dragged_file(drop->mimeData());
      if (path.isEmpty() || !can_drop_(group_id_)) {
        drop->ignore();
        return true;
      }
      drop->acceptProposedAction();
      drop_(group_id_, path);
      return true;
    }
    default:
      return QObject::eventFilter(watched, event);
  }
}

}  // namespace pinwright::ui::qt
