#include "ui/qt/tooltips.hpp"

#include "ui/controls.hpp"

namespace pinwright::ui::qt {

namespace {

namespace c = control;

QString what_it_does(int id, const QString& caption) {
  switch (id) {
    case c::kMasterText:
      return QStringLiteral("Choose the Master file, a text file (.asc, .csv)");
    case c::kMasterOv2:
      return QStringLiteral("Choose the Master file, an overlay file (.ov2)");
    case c::kMasterClear:
      return QStringLiteral("Empty the Master file slot");
    case c::kUpdateText:
      return QStringLiteral("Choose the Update file, a text file (.asc, .csv)");
    case c::kUpdateOv2:
      return QStringLiteral("Choose the Update file, an overlay file (.ov2)");
    case c::kUpdateClear:
      return QStringLiteral("Empty the Update file slot: Start then begins a duplicate run");
    case c::kOutputText:
      return QStringLiteral("Name the Output file, a text file (.asc)");
    case c::kOutputOv2:
      return QStringLiteral("Name the Output file, an overlay file (.ov2)");
    case c::kOutputClear:
      return QStringLiteral("Empty the Output file slot");
    case c::kPosition:
      return QStringLiteral("Move the Master entry to the Update entry's position");
    case c::kText:
      return QStringLiteral("Give the Master entry the name and information of the second row");
    case c::kBoth:
      return QStringLiteral(
          "Move the Master entry to the Update entry's position and give it the name of the "
          "second row");
    case c::kFirstDecision:
      return caption == QLatin1String("Keep") ? QStringLiteral("Keep the earlier entry (first row)")
                                              : QStringLiteral("Leave the Update entry out");
    case c::kSecondDecision:
      return caption.startsWith(QLatin1String("Delete"))
                 ? QStringLiteral(
                       "Delete the earlier entry (first row); the later one takes the name of the "
                       "second row")
                 : QStringLiteral("Append the Update entry with the name of the second row");
    case c::kBack:
      return QStringLiteral("Take back the decision at the previous stop");
    case c::kStart:
      return QStringLiteral("Start the run");
    case c::kHelp:
      return QStringLiteral("Open the help");
    case c::kQuit:
      return QStringLiteral("Abandon the run and delete the Output file, after asking");
    case c::kExit:
      return QStringLiteral("End the program");
    case c::kAppend:
      return QStringLiteral(
          "Checked, the Output file gets the whole updated Master file; unchecked, only the "
          "entries the run appends");
    case c::kUnderOneMetre:
      return QStringLiteral("Settle matches closer than 1 metre without asking");
    case c::kUnderRadius:
      return QStringLiteral("Settle every match closer than the Match radius without asking");
    default:
      return {};
  }
}

}  // namespace

QString tooltip(int id, const QString& caption, const QStringList& keys) {
  const QString text = what_it_does(id, caption);
  if (text.isEmpty() || keys.isEmpty()) return text;
  return text + QStringLiteral(" (") + keys.join(QStringLiteral(", ")) + u')';
}

}  // namespace pinwright::ui::qt
