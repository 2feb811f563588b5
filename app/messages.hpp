#pragma once

#include <string_view>

#include "exclusion/exclusion_run.hpp"
#include "ogr/points.hpp"
#include "poi/file_slot.hpp"
#include "poi/read_result.hpp"
#include "ui/dialog_layer.hpp"

namespace pinwright::app {

inline constexpr std::string_view kWriteErrorTitle = "Write error";
inline constexpr std::string_view kFormatErrorTitle = "Format error";
inline constexpr std::string_view kStorageLimitTitle = "Storage limit";
inline constexpr std::string_view kPinlayerErrorTitle = "Pinlayer Error";
inline constexpr std::string_view kFileOpenConflictTitle = "File Open Conflict";
inline constexpr std::string_view kFileOpenConflictText =
    "Please select different files or use\rthe CANCEL button in the Open File\r"
    "Dialog box to clear an entry";
inline constexpr std::string_view kTextFormatErrorText =
    "Text records must have the following format\rwith the positions in decimal degrees\r\r"
    "; Comment text\rLongitude, Latitude, \"Text description\"";
inline constexpr std::string_view kTooManyMasterText =
    "Too many Master entries.\rMaximum is 50,000";
inline constexpr std::string_view kTooManyUpdateText =
    "Too many Update entries.\rMaximum is 30,000";
inline constexpr std::string_view kTooManyMergedText =
    "Too many merged entries.\rMaximum is 50,000";

// A box with only OK: the way the program tells the user of anything.
void show_message(ui::DialogLayer& dialog, std::string_view title, std::string_view text,
                  ui::Icon icon = ui::Icon::information);

// A file that could not be written completely: "Write error" box naming it
// (`what` starts the sentence, for example "The Output file").
void show_write_failure(ui::DialogLayer& dialog, std::string_view what, std::string_view path);

// The line a format error names: "Line N: " and the line as read, cut to the
// field width.
std::string format_error_line(std::int64_t line, std::string_view text);

// The "File Open Conflict" text with a last line naming the file at `path`
// and why it cannot be taken ("no such file", "in use as the Master file").
std::string conflict_text(std::string_view path, std::string_view reason);

// The title of the box that tells of a reader's failure.
std::string_view read_failure_title(const poi::ReadFailure& failure);

// The box text of a reader's failure for `file`, read for `slot`, with where
// it happened when that helps the user find it in a long file. A file refused
// for its content is named, and a full table adds that pinwright-batch has
// no such limit.
std::string read_failure_text(const poi::ReadFailure& failure, const poi::FileSlot& file,
                              poi::Slot slot);

// The box of a vector file OGR could not read: what went wrong, where (the
// layer, the feature) and GDAL's reason, and that the file was not loaded.
// `skipped` counts the features of other geometries read before.
inline constexpr std::string_view kVectorFormatErrorTitle = kFormatErrorTitle;
std::string vector_failure_text(const ogr::ReadFailure& failure, std::int64_t skipped,
                                std::string_view path);

// The count field of a vector file: "N POI entries (M other geometries skipped)".
std::string vector_count_text(std::int32_t points, std::int64_t skipped);

// The box after a vector Output that holds `count` texts cut to its format's
// length (a shapefile's 254 bytes).
inline constexpr std::string_view kTextsCutTitle = "Texts cut";
std::string texts_cut_text(std::int64_t count, std::string_view path);

inline constexpr std::string_view kExclusionsFormatErrorTitle = kFormatErrorTitle;
inline constexpr std::string_view kExclusionsFormatErrorText =
    "Exclusion records must have the following format\rwith the positions in decimal degrees "
    "and\r\"value\" in metres\r\rMatch radius = \"value\"\r; Comment text\rLongitude, Latitude, "
    "\"Text\"";
inline constexpr std::string_view kTooManyExclusionsText =
    "Too many exclusion entries.\rMaximum is 5,000";
inline constexpr std::string_view kExclusionSummaryTitle = "POI exclusions";

// The "POI exclusions" box text: five lines separated by carriage returns.
std::string exclusion_summary_text(const exclusion::Summary& summary);

// "Number of POI entries:" and `count` in I5, trailing blanks removed.
std::string entries_label_text(std::int32_t count);

// The line a storage-limit box ends with.
inline constexpr std::string_view kNoLimitInBatch = "pinwright-batch has no such limit.";

}  // namespace pinwright::app
