#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/name_rule.hpp"

namespace pinwright::batch {

// Exit statuses of pinwright-batch.
enum class ExitStatus : int {
  success = 0,
  bad_input = 1,     // an input file that cannot be read, with where and why
  bad_usage = 2,     // the command line, including an output that names an input
  output_failed = 3  // an output that could not be written; nothing is left behind
};

enum class Subcommand { dedupe, update, convert };

// dedupe --delete: which matches are deleted; the others are kept.
enum class DeleteRule { within_radius, below_one_metre };

// update --on-match: the decision taken at every match the options leave open.
enum class OnMatch { skip, save, position, text, both };

// update --below-1m: matches closer than 1 m are skipped, or decided like
// the others.
enum class BelowOneMetre { skip, as_on_match };

// dedupe --keep: which entry of a group within the radius survives.
enum class KeepRule { last, first };

// Where the exclusion circles of a dedupe come from.
struct ExclusionsChoice {
  enum class Kind { automatic, none, file };
  Kind kind = Kind::automatic;
  std::string path;  // Kind::file
};

// update and dedupe with GPX input: which points are read.
enum class GpxChoice { waypoints, routes, tracks };

// The name of standard input as an input, and of standard output as the Output.
inline constexpr std::string_view kStandardStream = "-";

// The format names besides OGR's drivers: the program's own two forms, and
// the choice by the file's name.
inline constexpr std::string_view kTextFormat = "text";
inline constexpr std::string_view kOv2Format = "ov2";
inline constexpr std::string_view kAutoFormat = "auto";

// Files in OGR's vector formats: chosen by extension, or by OGR's driver name.
struct FormatChoice {
  // --input-format: one name for every input, or one for each input in order
  // (MASTER, then the UPDATE files); "auto": by the file's name. Empty: every
  // input by its name.
  std::vector<std::string> input_formats;
  std::string output_format;  // empty: by the extension
  std::string name_field;     // empty: the format's own
  std::string info_field;
  std::string x_field;  // CSV columns; empty: OGR's usual names
  std::string y_field;
  GpxChoice points = GpxChoice::waypoints;
  // Which layers and features of a vector input are read.
  std::vector<std::string> layers;  // none: the only layer with points
  bool all_layers = false;
  std::string where;  // OGR's SQL; empty: every feature
  struct Box {
    double west, south, east, north;  // WGS 84 degrees
    friend bool operator==(const Box&, const Box&) = default;
  };
  std::optional<Box> bbox;
};

struct Command {
  Subcommand subcommand = Subcommand::convert;
  std::string input;                 // dedupe, convert: INPUT; update: MASTER
  std::vector<std::string> updates;  // update: the UPDATE files, in order
  std::string output;
  float radius = 20.0f;  // metres
  DeleteRule delete_rule = DeleteRule::within_radius;
  ExclusionsChoice exclusions;
  std::optional<std::string> excluded_path;  // default: beside the exclusions file
  std::optional<std::string> report_path;
  OnMatch on_match = OnMatch::skip;
  BelowOneMetre below_one_metre = BelowOneMetre::skip;
  bool added_only = false;
  // --names and --name-similarity: when a pair within the radius matches.
  engine::NameTest names;
  KeepRule keep = KeepRule::last;
  bool quiet = false;
  unsigned threads = 0;  // dedupe: threads matching at once; 0 for one per processor
  std::optional<std::string> summary_json_path;
  // Where the program's own files lie (the default OV2 symbol); ends with '/'.
  std::string program_dir;
  FormatChoice formats;
};

// What the command line came to: a command to run, or text to print and a
// status to end with (--help, --version, a usage error).
struct ParsedCommandLine {
  std::optional<Command> command;
  ExitStatus status = ExitStatus::success;
  std::string out;  // for standard output
  std::string err;  // for standard error
};

// `args` without the program's own name.
ParsedCommandLine parse_command_line(const std::vector<std::string>& args);

}  // namespace pinwright::batch
