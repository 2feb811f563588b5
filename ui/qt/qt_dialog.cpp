#include "ui/qt/qt_dialog.hpp"

#include <algorithm>
#include <array>
#include <span>
#include <utility>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QScreen>
#include <QStyle>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>

#include "poi/fixed_text.hpp"
#include "ui/controls.hpp"
#include "ui/qt/encoding_validator.hpp"
#include "ui/qt/file_drop.hpp"
#include "ui/qt/file_filter.hpp"
#include "ui/qt/help_window.hpp"
#include "ui/qt/main_window.hpp"
#include "ui/qt/map_panel.hpp"
#include "ui/qt/menus.hpp"
#include "ui/qt/mnemonics.hpp"
#include "ui/qt/tooltips.hpp"
#include "ui/qt/window_settings.hpp"

// Resources of a static library must be registered by name, outside any namespace.
static void register_pinwright_resources() {
  Q_INIT_RESOURCE(pinwright);
}

namespace pinwright::ui::qt {

namespace {

constexpr char kIconPath[] = ":/pinwright/pinwright.png";
constexpr int kPictureSize = 16;

// The review rows' name and information fields, each with the other text of its entry.
constexpr std::array<std::pair<int, int>, 4> kEntryPartners = {{
    {control::kRow1Name, control::kRow1Information},
    {control::kRow1Information, control::kRow1Name},
    {control::kRow2Name, control::kRow2Information},
    {control::kRow2Information, control::kRow2Name},
}};

QString decode(std::string_view bytes) {
  return QString::fromStdString(decode_to_utf8(bytes, detect_encoding(bytes)));
}

bool is_picture(const QWidget* widget) {
  return widget->property("controlKind").toString() == QLatin1String("picture");
}

// Tab passes over fields the user cannot change; a click still selects their text.
void set_read_only(QLineEdit* edit, bool read_only) {
  edit->setReadOnly(read_only);
  edit->setFocusPolicy(read_only ? Qt::ClickFocus : Qt::StrongFocus);
}

bool holds_focus(const QWidget* window, const QWidget* control) {
  const QWidget* focus = window->focusWidget();
  return focus && (focus == control || control->isAncestorOf(focus));
}

QMessageBox::Icon qt_icon(Icon icon) {
  switch (icon) {
    case Icon::question:
      return QMessageBox::Question;
    case Icon::exclamation:
      return QMessageBox::Warning;
    case Icon::information:
      return QMessageBox::Information;
  }
  return QMessageBox::NoIcon;
}

// The buttons of a set in the order the default button counts them.
std::span<const QMessageBox::StandardButton> qt_buttons(ButtonSet set) {
  using B = QMessageBox::StandardButton;
  static constexpr std::array<B, 1> kOk = {B::Ok};
  static constexpr std::array<B, 2> kYesNo = {B::Yes, B::No};
  switch (set) {
    case ButtonSet::ok:
      return kOk;
    case ButtonSet::yes_no:
      return kYesNo;
  }
  return kOk;
}

int answer_code(QMessageBox::StandardButton button) {
  switch (button) {
    case QMessageBox::Ok:
    case QMessageBox::Yes:
      return kAnswerOkYes;
    case QMessageBox::No:
      return kAnswerNo;
    default:
      return kAnswerNone;
  }
}

// A relative help file name is looked up beside the executable first.
QString help_file_path(std::string_view name) {
  const QString path =
      QFile::decodeName(QByteArray(name.data(), static_cast<qsizetype>(name.size())));
  if (QFileInfo(path).isAbsolute()) return path;
  const QString beside_program = QCoreApplication::applicationDirPath() + u'/' + path;
  return QFileInfo::exists(beside_program) ? beside_program : QFileInfo(path).absoluteFilePath();
}

}  // namespace

QtDialog::QtDialog() {
  register_pinwright_resources();
}

QtDialog::~QtDialog() {
  delete help_window_.data();
  // The window first: a field that loses the focus as it goes still asks
  // this object (its validator) for the texts put into it.
  window_.reset();
}

void QtDialog::load_main_dialog() {
  QApplication::setWindowIcon(QIcon(QString::fromLatin1(kIconPath)));
  window_ = std::make_unique<MainWindow>();
  window_->setWindowIcon(QIcon(QString::fromLatin1(kIconPath)));
  // Read-only fields look like the dialog, not like fields to type into.
  window_->setStyleSheet(
      QStringLiteral("QLineEdit[readOnly=\"true\"] { background: palette(window); }"));
  controls_.clear();
  access_.clear();
  pictures_.clear();
  put_texts_.clear();
  for (QWidget* child : window_->findChildren<QWidget*>()) {
    const QVariant id = child->property("controlId");
    if (!id.isValid()) continue;
    controls_[id.toInt()] = child;

    FieldState access = FieldState::enabled;
    if (!child->isEnabled()) {
      access = FieldState::disabled;
    } else if (const auto* edit = qobject_cast<QLineEdit*>(child); edit && edit->isReadOnly()) {
      access = FieldState::read_only;
    }
    access_[id.toInt()] = access;

    // Names come from files and may hold '<' or '&': never read them as markup.
    if (auto* label = qobject_cast<QLabel*>(child)) label->setTextFormat(Qt::PlainText);
    if (auto* button = qobject_cast<QAbstractButton*>(child)) focus_on_mnemonic(button);
    if (auto* edit = qobject_cast<QLineEdit*>(child)) set_read_only(edit, edit->isReadOnly());
    // A control the program hides keeps its room, so that nothing else moves.
    QSizePolicy policy = child->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    // A wider window widens the text fields; buttons and the radius keep their size.
    if (qobject_cast<QPushButton*>(child) || qobject_cast<QComboBox*>(child))
      policy.setHorizontalPolicy(QSizePolicy::Fixed);
    child->setSizePolicy(policy);
    // Enter is the window's to hand out (the default button, or the one with the focus).
    if (auto* button = qobject_cast<QPushButton*>(child); button && !button->isDefault())
      button->setAutoDefault(false);
    // A radius typed into the combo box stays out of its list.
    if (auto* combo = qobject_cast<QComboBox*>(child)) combo->setInsertPolicy(QComboBox::NoInsert);
    // What a user types must fit the encoding the entry is written in.
    if (auto* edit = qobject_cast<QLineEdit*>(child)) {
      const int control_id = id.toInt();
      edit->setValidator(new EncodingValidator(
          [this, control_id] { return field_encoding(control_id); },
          [this](const QString& character) { refuse_character(character); }, edit));
    }
  }
  connect_controls();
  // The menus own the keys F1 (Help), Ctrl+Z (Back), Ctrl+O and Ctrl+Q.
  menu_bar_ = make_menu_bar(*this);
  window_->layout()->setMenuBar(menu_bar_);
  // Captions with their letters, tooltips with the menus' keys too.
  for (const auto& [id, control] : controls_) {
    if (auto* button = qobject_cast<QAbstractButton*>(control))
      show_caption(button, id, button->text());
  }
  if (settings_) add_recent_files_menu();
  // Files dropped on a slot's group load as its buttons would.
  for (const int group : {control::kMasterGroup, control::kUpdateGroup, control::kOutputGroup}) {
    QWidget* box = widget(group);
    if (!box) continue;
    box->setAcceptDrops(true);
    box->installEventFilter(new FileDropFilter(
        box, group, [this](int id) { return slot_takes_drops(id); },
        [this](int id, const QString& path) { drop_file(id, path); }));
  }
}

void QtDialog::connect_controls() {
  MainWindow* context = window_.get();
  for (const auto& [id, widget] : controls_) {
    const int control_id = id;
    if (auto* button = qobject_cast<QPushButton*>(widget)) {
      QObject::connect(button, &QPushButton::clicked, context, [this, control_id] {
        queue({EventKind::push_button, control_id});
      });
    } else if (auto* box = qobject_cast<QCheckBox*>(widget)) {
      QObject::connect(box, &QCheckBox::toggled, context,
                       [this, control_id] { queue_field_change(control_id); });
    } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
      QObject::connect(combo, &QComboBox::currentTextChanged, context,
                       [this, control_id] { queue_field_change(control_id); });
    }
  }
  QObject::connect(context, &MainWindow::cancel_requested, context, [this] {
    queue({EventKind::push_button, control::kCancelCommand});
  });
}

void QtDialog::show_caption(QAbstractButton* button, int id, const QString& caption) {
  const std::optional<QChar> letter = mnemonic_letter(id, caption);
  button->setText(with_mnemonic(caption, letter));
  QStringList keys;
  if (letter) keys << QStringLiteral("Alt+") + letter->toUpper();
  const QAction* item = menu_bar_ ? menu_action(*menu_bar_, id) : nullptr;
  if (item && !item->shortcut().isEmpty())
    keys << item->shortcut().toString(QKeySequence::NativeText);
  if (const auto* push = qobject_cast<QPushButton*>(button); push && push->isDefault())
    keys << QStringLiteral("Enter");
  button->setToolTip(tooltip(id, caption, keys));
}

void QtDialog::queue(Event event, std::optional<std::string> file) {
  events_.push_back({event, std::move(file)});
}

void QtDialog::add_recent_files_menu() {
  QMenu* file_menu = menu_bar_->actions().front()->menu();
  QAction* exit_item = menu_action(*menu_bar_, control::kExit);
  auto* recent = new QMenu(QStringLiteral("Recent &files"), file_menu);
  file_menu->insertMenu(exit_item, recent);
  file_menu->insertSeparator(exit_item);
  // Filled afresh each time: the lists change as files are chosen.
  QObject::connect(recent, &QMenu::aboutToShow, recent, [this, recent] {
    recent->clear();
    const std::array<std::pair<WindowSettings::Slot, int>, 2> inputs = {{
        {WindowSettings::Slot::master, control::kMasterGroup},
        {WindowSettings::Slot::update, control::kUpdateGroup},
    }};
    for (const auto& [slot, group] : inputs) {
      const QString label = slot == WindowSettings::Slot::master ? QStringLiteral("Master")
                                                                 : QStringLiteral("Update");
      for (const QString& path : settings_->recent_files(slot)) {
        QAction* item = recent->addAction(label + QStringLiteral(": ") + path);
        item->setEnabled(slot_takes_drops(group));
        QObject::connect(item, &QAction::triggered, recent, [this, group_id = group, path] {
          if (slot_takes_drops(group_id)) drop_file(group_id, path);
        });
      }
    }
    if (recent->isEmpty()) recent->addAction(QStringLiteral("(none)"))->setEnabled(false);
  });
}

bool QtDialog::slot_takes_drops(int group_id) const {
  // Locked slots (a review waits) take no files, as their buttons take no clicks.
  const std::optional<int> text_button = drop_button(group_id, ".asc");
  const QWidget* button = text_button ? widget(*text_button) : nullptr;
  return button && button->isEnabled() && !button->isHidden();
}

void QtDialog::drop_file(int group_id, const QString& path) {
  const std::string file = QFile::encodeName(path).toStdString();
  if (const std::optional<int> button = drop_button(group_id, file)) {
    queue({EventKind::push_button, *button}, file);
    return;
  }
  // Not from inside the drop itself: once it is done.
  QTimer::singleShot(0, window_.get(), [this, path] {
    QMessageBox box(QMessageBox::Warning, QStringLiteral("File not loaded"),
                    QStringLiteral("%1\nis not a POI file. POI files (.asc, .csv), vector files "
                                   "(.gpx, .geojson, .json, .kml, .gpkg, .fgb, .shp) and "
                                   "overlay files (.ov2) can be dropped on a file slot.")
                        .arg(QFileInfo(path).fileName()),
                    QMessageBox::Ok, window_.get());
    box.setTextFormat(Qt::PlainText);
    box.exec();
  });
}

void QtDialog::queue_field_change(int id) {
  if (program_is_setting_ || !field_changes_enabled_) return;
  queue({EventKind::field_changed, id});
}

void QtDialog::show_dialog() {
  if (!window_) return;
  place_window();
  window_->show();
  keep_on_screen();
  window_->raise();
  window_->activateWindow();
  // The focus frame shows from the start, not only once a key has moved it.
  window_->setAttribute(Qt::WA_KeyboardFocusChange);
  // The first thing to do is choose the Master file.
  if (QWidget* first = widget(control::kMasterText)) first->setFocus(Qt::OtherFocusReason);
}

void QtDialog::set_title(std::string_view title) {
  if (window_) window_->setWindowTitle(decode(title));
}

QWidget* QtDialog::widget(int id) const {
  const auto found = controls_.find(id);
  return found == controls_.end() ? nullptr : found->second;
}

std::vector<int> QtDialog::control_ids() const {
  std::vector<int> ids;
  for (const auto& entry : controls_) ids.push_back(entry.first);
  return ids;
}

QString QtDialog::shown_text(int id) const {
  const QWidget* control = widget(id);
  if (!control) return {};
  if (const auto* group = qobject_cast<const QGroupBox*>(control)) return group->title();
  if (const auto* button = qobject_cast<const QAbstractButton*>(control))
    return without_mnemonic(button->text());
  if (const auto* edit = qobject_cast<const QLineEdit*>(control)) return edit->text();
  if (const auto* combo = qobject_cast<const QComboBox*>(control)) return combo->currentText();
  if (const auto* label = qobject_cast<const QLabel*>(control))
    return is_picture(label) ? QString() : label->text();
  return {};
}

void QtDialog::put_text(int id, std::string_view text) {
  QWidget* control = widget(id);
  if (!control || is_picture(control)) return;
  const QString shown = decode(text);
  const QScopedValueRollback setting(program_is_setting_, true);
  if (auto* group = qobject_cast<QGroupBox*>(control)) {
    group->setTitle(shown);
  } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
    show_caption(button, id, shown);
  } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
    edit->setText(shown);
    edit->setCursorPosition(0);
  } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
    combo->setEditText(shown);
  } else if (auto* label = qobject_cast<QLabel*>(control)) {
    label->setText(shown);
  }
  FieldText put = field_text_from_bytes(text);
  // What the widget holds may differ from what it was given (a line edit
  // drops line ends): compare later edits with what it holds.
  put.shown = shown_text(id).toStdString();
  put_texts_[id] = std::move(put);
}

std::string QtDialog::text(int id) const {
  const std::string shown = shown_text(id).toStdString();
  const auto put = put_texts_.find(id);
  if (put == put_texts_.end()) return shown;
  return bytes_from_field(put->second, shown, field_encoding(id));
}

TextEncoding QtDialog::field_encoding(int id) const {
  const auto bytes_put = [this](int control_id) {
    const auto put = put_texts_.find(control_id);
    return put == put_texts_.end() ? std::string_view() : std::string_view(put->second.bytes);
  };
  std::string_view partner_bytes;
  for (const auto& [field, partner] : kEntryPartners) {
    if (field == id) partner_bytes = bytes_put(partner);
  }
  return entry_encoding(bytes_put(id), partner_bytes);
}

void QtDialog::refuse_character(const QString& character) {
  if (refusal_pending_ || !window_) return;
  refusal_pending_ = true;
  // Not from inside the field's own key handling: once it is done.
  QTimer::singleShot(0, window_.get(), [this, character] {
    refusal_pending_ = false;
    QMessageBox box(QMessageBox::Information, QStringLiteral("Character not stored"),
                    QStringLiteral("This entry is written in the Windows-1252 encoding of its "
                                   "file,\nwhich has no character \"%1\".\n"
                                   "The field keeps its text.")
                        .arg(character),
                    QMessageBox::Ok, window_.get());
    box.setTextFormat(Qt::PlainText);
    box.exec();
  });
}

std::string QtDialog::get_text(int id) {
  return text(id);
}

void QtDialog::set_field_state(int id, FieldState state) {
  QWidget* control = widget(id);
  if (!control) return;
  const bool had_focus = window_ && holds_focus(window_.get(), control);
  apply_field_state(control, id, state);
  if (state == FieldState::enabled && (id == control::kFirstDecision || id == control::kStart)) {
    // What the user most likely does next: decide on the pair, or start the run.
    control->setFocus(Qt::OtherFocusReason);
    output_text_wants_focus_ = false;
  } else if (state == FieldState::enabled && id == control::kOutputText &&
             output_text_wants_focus_) {
    control->setFocus(Qt::OtherFocusReason);
    output_text_wants_focus_ = false;
  } else if (had_focus && (!control->isEnabled() || control->isHidden())) {
    focus_next_step();
  }
}

void QtDialog::focus_next_step() {
  QWidget* start = widget(control::kStart);
  QWidget* next =
      start && start->isEnabled() && !start->isHidden() ? start : widget(control::kOutputText);
  if (!next) return;
  // The slot buttons are locked while a review waits: the Output slot's Text
  // button takes the focus once the run's end enables it again.
  if (!next->isEnabled()) {
    output_text_wants_focus_ = true;
    return;
  }
  next->setFocus(Qt::OtherFocusReason);
}

void QtDialog::apply_field_state(QWidget* control, int id, FieldState state) {
  if (state == FieldState::hidden) {
    control->hide();
    return;
  }
  if (state == FieldState::disabled || state == FieldState::enabled ||
      state == FieldState::read_only) {
    access_[id] = state;
    control->setEnabled(state != FieldState::disabled);
    if (auto* edit = qobject_cast<QLineEdit*>(control); edit && state != FieldState::disabled) {
      set_read_only(edit, state == FieldState::read_only);
      // The style sheet looks at readOnly only when a widget is polished.
      edit->style()->unpolish(edit);
      edit->style()->polish(edit);
    }
  }
  control->show();
}

FieldState QtDialog::state(int id) const {
  const QWidget* control = widget(id);
  if (!control) return FieldState::hidden;
  if (control->isHidden()) return FieldState::hidden;
  return access_.at(id);
}

bool QtDialog::get_check_box(int id) {
  const auto* box = qobject_cast<const QCheckBox*>(widget(id));
  return box && box->isChecked();
}

void QtDialog::set_check_box(int id, bool checked) {
  auto* box = qobject_cast<QCheckBox*>(widget(id));
  if (!box) return;
  const QScopedValueRollback setting(program_is_setting_, true);
  box->setChecked(checked);
}

std::optional<bool> QtDialog::checked(int id) const {
  const auto* box = qobject_cast<const QCheckBox*>(widget(id));
  if (!box) return std::nullopt;
  return box->isChecked();
}

std::optional<std::string> QtDialog::picture(int id) const {
  const QWidget* control = widget(id);
  if (!control || !is_picture(control)) return std::nullopt;
  const auto found = pictures_.find(id);
  return found == pictures_.end() ? std::string() : found->second;
}

void QtDialog::enable_event_kind(EventKind kind, bool enabled) {
  // Push-button and repaint events are always delivered.
  if (kind != EventKind::field_changed) return;
  field_changes_enabled_ = enabled;
  if (enabled && !options_restored_) {
    options_restored_ = true;
    restore_options();
  }
}

void QtDialog::use_settings(std::unique_ptr<QSettings> store) {
  settings_ = store ? std::make_unique<WindowSettings>(std::move(store)) : nullptr;
}

void QtDialog::restore_options() {
  const std::optional<WindowSettings::Options> options =
      settings_ ? settings_->options() : std::nullopt;
  if (!options) return;
  // Set as the user would set them: the program hears of each change and
  // keeps its radius caption and the two exclusive boxes in line.
  const auto set_box = [this](int id, bool checked) {
    if (auto* box = qobject_cast<QCheckBox*>(widget(id))) box->setChecked(checked);
  };
  if (!options->under_one_metre) set_box(control::kUnderOneMetre, false);
  if (!options->under_radius) set_box(control::kUnderRadius, false);
  set_box(control::kUnderOneMetre, options->under_one_metre);
  set_box(control::kUnderRadius, options->under_radius);
  set_box(control::kAppend, options->append);
  set_box(control::kKeepFirst, options->keep_first);
  if (auto* combo = qobject_cast<QComboBox*>(widget(control::kRadiusCombo)))
    combo->setEditText(options->radius);
  // A rule this version does not offer leaves the combo box as it is.
  if (auto* names = qobject_cast<QComboBox*>(widget(control::kNamesCombo));
      names && names->findText(options->names) >= 0)
    names->setCurrentText(options->names);
}

void QtDialog::place_window() {
  const std::optional<WindowSettings::Place> place = settings_ ? settings_->place() : std::nullopt;
  // A place on a screen no longer there is not restored.
  QScreen* screen = place ? QGuiApplication::screenAt(place->position) : nullptr;
  QSize size = window_->full_size();
  if (place && place->width > 0) size.setWidth(place->width);
  if (place && place->height > 0) size.setHeight(place->height);
  if (screen) {
    window_->move(place->position);
  } else {
    // Placed by the system when it shows: on the screen it is to show on.
    screen = window_->screen();
  }
  if (screen) size = size.boundedTo(screen->availableGeometry().size());
  window_->resize(size.expandedTo(window_->minimumSizeHint()));
}

void QtDialog::keep_on_screen() {
  const QScreen* screen = window_->screen();
  if (!screen) return;
  const QRect room = screen->availableGeometry();
  // The frame, once the window has one, counts too.
  const QSize framing = window_->frameGeometry().size() - window_->size();
  window_->resize(
      window_->size().boundedTo(room.size() - framing).expandedTo(window_->minimumSizeHint()));
  const QRect outer = window_->frameGeometry();
  const QPoint inside(std::clamp(outer.left(), room.left(),
                                 std::max(room.left(), room.right() + 1 - outer.width())),
                      std::clamp(outer.top(), room.top(),
                                 std::max(room.top(), room.bottom() + 1 - outer.height())));
  if (inside != outer.topLeft()) window_->move(inside);
}

void QtDialog::save_settings() {
  if (!settings_ || !window_) return;
  WindowSettings::Options options;
  options.radius = shown_text(control::kRadiusCombo);
  options.under_one_metre = checked(control::kUnderOneMetre).value_or(false);
  options.under_radius = checked(control::kUnderRadius).value_or(false);
  options.append = checked(control::kAppend).value_or(false);
  options.names = shown_text(control::kNamesCombo);
  options.keep_first = checked(control::kKeepFirst).value_or(false);
  settings_->remember_options(options);
  settings_->remember_place({window_->pos(), window_->width(), window_->height()});
}

Event QtDialog::wait_for_event() {
  const QScopedValueRollback waiting(waiting_, true);
  while (events_.empty()) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    // processEvents() alone never deletes what deleteLater() left behind.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  const Event event = events_.front().event;
  file_for_event_ = std::move(events_.front().file);
  current_button_ = event.kind == EventKind::push_button ? event.value : 0;
  events_.pop_front();
  return event;
}

int QtDialog::message_box(ButtonSet buttons, Icon icon, int default_button, std::string_view text,
                          std::string_view title) {
  QString message = decode(text);
  message.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  message.replace(u'\r', u'\n');

  const std::span<const QMessageBox::StandardButton> set = qt_buttons(buttons);
  QMessageBox::StandardButtons flags;
  for (const QMessageBox::StandardButton button : set) flags |= button;
  QMessageBox box(qt_icon(icon), decode(title), message, flags, window_.get());
  box.setTextFormat(Qt::PlainText);
  const bool in_range = default_button >= 1 && default_button <= static_cast<int>(set.size());
  box.setDefaultButton(set[in_range ? static_cast<std::size_t>(default_button - 1) : 0]);
  box.exec();
  return answer_code(box.standardButton(box.clickedButton()));
}

void QtDialog::remember_file(poi::Slot slot, std::string_view path) {
  if (!settings_) return;
  const WindowSettings::Slot kept = slot == poi::Slot::master   ? WindowSettings::Slot::master
                                    : slot == poi::Slot::update ? WindowSettings::Slot::update
                                                                : WindowSettings::Slot::output;
  settings_->remember_choice(
      kept, QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size()))));
}

// A file chosen in the file dialog, or the file given with the event.
std::optional<std::string> QtDialog::choose_file(std::string_view filter, FileDialogForm form,
                                                 std::string_view start_path,
                                                 std::string_view title) {
  if (file_for_event_) {
    std::string dropped = std::move(*file_for_event_);
    file_for_event_.reset();
    // The question a save dialog asks before it replaces a file.
    const QString path = QFile::decodeName(QByteArray::fromStdString(dropped));
    if (form == FileDialogForm::save && QFileInfo::exists(path) &&
        QMessageBox::warning(window_.get(), decode(title),
                             QStringLiteral("%1 already exists.\nDo you want to replace it?")
                                 .arg(QFileInfo(path).fileName()),
                             QMessageBox::Yes | QMessageBox::No,
                             QMessageBox::No) != QMessageBox::Yes)
      return std::nullopt;
    return dropped;
  }
  QFileDialog dialog(window_.get(), decode(title));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  // The descriptions already name their patterns.
  dialog.setOption(QFileDialog::HideNameFilterDetails);
  // The program reports a missing input file itself.
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setAcceptMode(form == FileDialogForm::save ? QFileDialog::AcceptSave
                                                    : QFileDialog::AcceptOpen);
  const std::string filters = qt_name_filters(filter);
  if (!filters.empty()) dialog.setNameFilter(QString::fromUtf8(filters));

  const std::string_view start = poi::trim(start_path);
  const std::optional<WindowSettings::Slot> slot = WindowSettings::slot_of_button(current_button_);
  if (start.empty() && settings_ && slot && !settings_->folder(*slot).isEmpty()) {
    // The program has no place to start from yet: the slot's folder of last time.
    dialog.setDirectory(settings_->folder(*slot));
  } else if (!start.empty()) {
    const QString path =
        QFile::decodeName(QByteArray(start.data(), static_cast<qsizetype>(start.size())));
    const QFileInfo info(path);
    if (path.endsWith(u'/') || info.isDir()) {
      dialog.setDirectory(path);
    } else {
      dialog.setDirectory(info.absolutePath());
      dialog.selectFile(info.fileName());
    }
  }
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList chosen = dialog.selectedFiles();
  if (chosen.isEmpty()) return std::nullopt;
  return QFile::encodeName(chosen.front()).toStdString();
}

void QtDialog::help(std::string_view help_file) {
  const std::string_view name = poi::trim(help_file);
  if (name.empty()) {
    if (help_window_) help_window_->close();
    return;
  }
  if (!help_window_) {
    auto* opened = new HelpWindow(window_.get());
    if (window_) opened->place_over(*window_);
    help_window_ = opened;
  }
  const QString path = help_file_path(name);
  QFile file(path);
  if (file.open(QIODevice::ReadOnly)) {
    const QByteArray content = file.readAll();
    if (Qt::mightBeRichText(QString::fromUtf8(content))) {
      help_window_->setSource(QUrl::fromLocalFile(path), QTextDocument::HtmlResource);
    } else {
      help_window_->setPlainText(QString::fromUtf8(content));
    }
  } else {
    help_window_->setPlainText(QStringLiteral("The help file %1 cannot be read.").arg(path));
  }
  const QString document_title = help_window_->documentTitle();
  help_window_->setWindowTitle(document_title.isEmpty() ? QFileInfo(path).fileName()
                                                        : document_title);
  help_window_->moveCursor(QTextCursor::Start);
  help_window_->show();
  help_window_->raise();
  help_window_->activateWindow();
}

void QtDialog::draw_picture(int id, std::string_view bitmap_path) {
  auto* label = qobject_cast<QLabel*>(widget(id));
  if (!label || !is_picture(label)) return;
  QPixmap bitmap;
  if (!bitmap.load(QFile::decodeName(
          QByteArray(bitmap_path.data(), static_cast<qsizetype>(bitmap_path.size())))))
    return;
  // Drawn in the screen's own pixels: sharp on a screen scaled by 2 as well.
  const qreal ratio = label->devicePixelRatioF();
  const int device_size = qRound(kPictureSize * ratio);
  if (bitmap.size() != QSize(device_size, device_size)) {
    // A symbol smaller than the field grows by whole pixels, which keeps its
    // edges; a larger one is scaled down smoothly.
    const bool grows = bitmap.width() <= device_size && bitmap.height() <= device_size;
    bitmap = bitmap.scaled(device_size, device_size, Qt::KeepAspectRatio,
                           grows ? Qt::FastTransformation : Qt::SmoothTransformation);
  }
  bitmap.setDevicePixelRatio(ratio);
  label->setPixmap(bitmap);
  pictures_[id] = std::string(bitmap_path);
}

void QtDialog::put_map(int id, const std::optional<map::SceneInput>& input) {
  if (auto* panel = qobject_cast<MapPanel*>(widget(id))) panel->set_input(input);
}

bool QtDialog::listed(int id) const {
  const QWidget* control = widget(id);
  if (!control) return false;
  const QVariant listed = control->property("listed");
  return !listed.isValid() || listed.toBool();
}

void QtDialog::close_down() {
  save_settings();
  if (help_window_) help_window_->close();
  if (window_) {
    window_->allow_close();
    window_->close();
  }
}

}  // namespace pinwright::ui::qt
