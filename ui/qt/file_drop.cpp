#include "ui/qt/file_drop.hpp"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

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

}  // namespace

std::optional<int> drop_button(int group_id, std::string_view file_name) {
  const std::string extension = lower_extension(file_name);
  for (const SlotButtons& slot : kSlots) {
    if (slot.group != group_id) continue;
    if (extension == ".ov2") return slot.ov2;
    if (extension == ".asc" || extension == ".csv") return slot.text;
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
      if (!dragged_file(enter->mimeData()).isEmpty() && can_drop_(group_id_)) {
        enter->acceptProposedAction();
      } else {
        enter->ignore();
      }
      return true;
    }
    case QEvent::Drop: {
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
