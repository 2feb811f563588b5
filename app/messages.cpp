#include "app/messages.hpp"

#include <string>
#include <vector>

#include "poi/file_system.hpp"
#include "poi/fixed_text.hpp"
#include "poi/format.hpp"
#include "poi/paths.hpp"
#include "poi/text_file.hpp"

namespace pinwright::app {

void show_message(ui::DialogLayer& dialog, std::string_view title, std::string_view text,
                  ui::Icon icon) {
  dialog.message_box(ui::ButtonSet::ok, icon, 1, text, title);
}

void show_write_failure(ui::DialogLayer& dialog, std::string_view what, std::string_view path) {
  std::string text(what);
  text += " could not be written completely:\r";
  text += poi::shorten_path(path, poi::kMessagePathWidth);
  show_message(dialog, kWriteErrorTitle, text, ui::Icon::exclamation);
}

std::string format_error_line(std::int64_t line, std::string_view text) {
  return "Line " + std::to_string(line) + ": " +
         std::string(text.substr(0, poi::utf8_safe_cut(text, poi::kFieldWidth)));
}

std::string conflict_text(std::string_view path, std::string_view reason) {
  return std::string(kFileOpenConflictText) + "\r" +
         poi::shorten_path(path, poi::kMessagePathWidth) + ": " + std::string(reason);
}

std::string_view read_failure_title(const poi::ReadFailure& failure) {
  switch (failure.kind) {
    case poi::ReadFailure::Kind::open_failed:
      return kFileOpenConflictTitle;
    case poi::ReadFailure::Kind::format_error:
      return kFormatErrorTitle;
    case poi::ReadFailure::Kind::storage_limit:
      return kStorageLimitTitle;
    case poi::ReadFailure::Kind::unsupported_record:
    case poi::ReadFailure::Kind::damaged:
      break;
  }
  return kPinlayerErrorTitle;
}

std::string read_failure_text(const poi::ReadFailure& failure, const poi::FileSlot& file,
                              poi::Slot slot) {
  const std::string not_loaded =
      "\rThe file " + poi::shorten_path(file.path, poi::kMessagePathWidth) + " was not loaded.";
  switch (failure.kind) {
    case poi::ReadFailure::Kind::open_failed:
      return conflict_text(file.path,
                           poi::file_exists(file.path) ? "cannot be read" : "no such file");
    case poi::ReadFailure::Kind::format_error:
      return std::string(kTextFormatErrorText) + "\r" +
             format_error_line(failure.where, failure.line_text) + not_loaded;
    case poi::ReadFailure::Kind::unsupported_record:
      return "Unsupported record type:" + poi::i2(failure.record_type) +
             "\rPlease inform the author\rByte offset " + std::to_string(failure.where) +
             not_loaded;
    case poi::ReadFailure::Kind::storage_limit: {
      // An overlay file names the table's size as a number, a text file its slot.
      const std::string too_many =
          file.is_ov2()
              ? "Too many POI entries in file.\rMaximum is" +
                    std::string(poi::trim_right(poi::i6(failure.limit)))
              : std::string(slot == poi::Slot::master ? kTooManyMasterText : kTooManyUpdateText);
      return too_many + not_loaded + "\r" + std::string(kNoLimitInBatch);
    }
    case poi::ReadFailure::Kind::damaged:
      break;
  }
  return "The overlay file is damaged: the record at byte " + std::to_string(failure.where) +
         "\rruns past the end of the file.\rThe file was not loaded.";
}

namespace {

std::string joined(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
  return text;
}

std::string what_failed(const ogr::ReadFailure& failure, std::int64_t skipped) {
  using Kind = ogr::ReadFailure::Kind;
  switch (failure.kind) {
    case Kind::cannot_open:
      return "The file cannot be read as a vector file:\r" + failure.detail;
    case Kind::no_points:
      return "No points in the file, " + std::to_string(skipped) +
             (skipped == 1 ? " other geometry." : " other geometries.");
    case Kind::no_name_field:
      return "No name field (fields: " + joined(failure.fields) + ").";
    case Kind::named_field_missing:
      return "No field " + failure.field + " (fields: " + joined(failure.fields) + ").";
    case Kind::no_transformation:
      return "The coordinate system cannot be turned into WGS 84:\r" + failure.detail;
    case Kind::no_coordinate_columns:
      return "No longitude and latitude columns (columns: " + joined(failure.fields) + ").";
    case Kind::damaged:
      return "The file is damaged:\r" + failure.detail;
    case Kind::several_layers:
      return "Several layers hold points (" + joined(failure.fields) + ").";
    case Kind::no_such_layer:
      return "No layer " + failure.layer + " (layers: " + joined(failure.fields) + ").";
    case Kind::bad_filter:
      return "The filter cannot be applied:\r" + failure.detail;
    case Kind::outside_range:
      break;
  }
  return "A position outside longitude -180..180, latitude -90..90:\r" + failure.detail;
}

}  // namespace

std::string vector_failure_text(const ogr::ReadFailure& failure, std::int64_t skipped,
                                std::string_view path) {
  std::string text = what_failed(failure, skipped);
  if (!failure.layer.empty()) {
    text += "\rLayer " + failure.layer;
    if (failure.feature > 0) text += ", feature " + std::to_string(failure.feature);
  }
  return text + "\rThe file " + poi::shorten_path(path, poi::kMessagePathWidth) +
         " was not loaded.";
}

std::string vector_count_text(std::int32_t points, std::int64_t skipped) {
  return std::to_string(points) + " POI entries (" + std::to_string(skipped) +
         " other geometries skipped)";
}

std::string texts_cut_text(std::int64_t count, std::string_view path) {
  return std::to_string(count) +
         (count == 1 ? " name or information text was" : " names or information texts were") +
         " longer than the Output file holds\r(254 bytes in a shapefile) and cut at a character's "
         "end:\r" +
         poi::shorten_path(path, poi::kMessagePathWidth);
}

std::string exclusion_summary_text(const exclusion::Summary& summary) {
  std::string text =
      "Exclusions read from " + poi::shorten_path(summary.exclusions_path, poi::kMessagePathWidth);
  text += "\r Number in file:" + poi::i8(summary.circle_count);
  text += "\r Exclusion circle radius (metres): " + poi::f8_1(summary.radius);
  text += "\r Number of POIs removed:" + poi::i8(summary.removed_count);
  text += "\r Output to " + poi::shorten_path(summary.list_path, poi::kMessagePathWidth);
  return text;
}

std::string entries_label_text(std::int32_t count) {
  return std::string(poi::trim_right("Number of POI entries:" + poi::i5(count)));
}

}  // namespace pinwright::app
