#include "batch/arguments.hpp"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <sstream>

#include "ogr/points.hpp"
#include "poi/fixed_text.hpp"
#include "poi/number.hpp"
#include "poi/paths.hpp"
#include "version.hpp"

namespace pinwright::batch {

namespace {

inline constexpr std::string_view kProgram = "pinwright-batch";
inline constexpr const char* kInputHelp =
    "the POI file (.ov2: overlay; .gpx, .kml, .geojson, .gpkg and the like: vector file, see "
    "--input-format; else text); - reads standard input";

// The options shared by the subcommands, as typed.
struct Texts {
  std::string radius = "20";
  std::string delete_rule = "within-radius";
  std::string exclusions = "auto";
  std::string on_match = "skip";
  std::string below = "skip";
  std::string points = "waypoints";
  std::optional<std::string> bbox;
  std::string names = "any";
  std::string name_similarity = "0.85";
  std::string keep = "last";
  std::vector<std::string> files;  // update: MASTER UPDATE...
};

void add_output(CLI::App& sub, Command& command) {
  sub.add_option(
         "-o,--output", command.output,
         "the file to write (.ov2: overlay; .gpx, .kml, .geojson, .gpkg and the like: vector "
         "file; else text); - writes standard output")
      ->required()
      ->option_text("OUTPUT");
}

void add_radius(CLI::App& sub, Texts& texts) {
  sub.add_option("--radius", texts.radius, "the Match radius in metres (default 20)")
      ->option_text("M");
}

void add_names(CLI::App& sub, Texts& texts) {
  sub.add_option("--names", texts.names,
                 "any: entries within the radius match whatever their names; same: only when "
                 "their names are the same once written alike (case, accents, punctuation, "
                 "abbreviations, a leading article); similar: when their names are alike "
                 "(default any)")
      ->check(CLI::IsMember({"any", "same", "similar"}));
  sub.add_option("--name-similarity", texts.name_similarity,
                 "--names similar: how alike, from 0 to 1 (default 0.85)")
      ->option_text("X");
}

// A similarity from 0 to 1, read to double precision: the scores it is held
// to are doubles.
std::optional<double> parse_similarity(std::string_view text) {
  text = poi::trim(text);
  double value = 0.0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !(value >= 0.0 && value <= 1.0))
    return std::nullopt;
  return value;
}

// Every subcommand reads and writes the vector formats OGR offers.
void add_format_options(CLI::App& app, Command& command, Texts& texts) {
  FormatChoice& formats = command.formats;
  app.add_option("--input-format", formats.input_formats,
                 "read the inputs as NAME: text, ov2, auto (by the name) or OGR's driver NAME "
                 "(CSV for a table with columns); once for every input, or once for each input "
                 "in order; default: by extension, .asc, .csv and .ov2 being POI files")
      ->option_text("NAME")
      ->expected(1)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  app.add_option("--output-format", formats.output_format,
                 "write the Output as NAME: text, ov2 or OGR's driver NAME; default: by "
                 "extension (.gpx, .kml, .geojson, .json, .gpkg, .fgb, .shp)")
      ->option_text("NAME");
  app.add_option("--name-field", formats.name_field, "the field holding the name (default: name)")
      ->option_text("FIELD");
  app.add_option("--info-field", formats.info_field,
                 "the field holding the information (default: desc or description)")
      ->option_text("FIELD");
  app.add_option("--x-field", formats.x_field, "CSV: the longitude column")->option_text("FIELD");
  app.add_option("--y-field", formats.y_field, "CSV: the latitude column")->option_text("FIELD");
  app.add_option("--points", texts.points,
                 "GPX: read waypoints, route points or track points (default waypoints)")
      ->check(CLI::IsMember({"waypoints", "routes", "tracks"}));
  app.add_option("--layer", formats.layers,
                 "read only layer NAME of a vector input; repeat for more (GPX: see --points)")
      ->option_text("NAME")
      ->expected(1)
      ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
  app.add_flag("--all-layers", formats.all_layers,
               "read every layer of a vector input with several layers of points");
  app.add_option("--where", formats.where,
                 "read only the features of a vector input that meet this OGR SQL condition")
      ->option_text("SQL");
  app.add_option("--bbox", texts.bbox,
                 "read only the features of a vector input within this box of WGS 84 degrees")
      ->option_text("XMIN,YMIN,XMAX,YMAX");
}

// --bbox: four finite numbers, west to east and south to north; a box across
// the 180th meridian is two boxes, and is refused.
std::optional<std::string> read_bbox(const std::string& text, FormatChoice& formats) {
  const std::string refused =
      "--bbox takes XMIN,YMIN,XMAX,YMAX in WGS 84 degrees with XMIN <= XMAX and YMIN <= YMAX, "
      "not \"" +
      text + "\"";
  double values[4];
  std::string_view rest = text;
  for (int k = 0; k < 4; ++k) {
    const std::size_t comma = k < 3 ? rest.find(',') : rest.size();
    if (comma == std::string_view::npos) return refused;
    const auto value = poi::parse_coordinate(poi::trim(rest.substr(0, comma)));
    if (!value || !std::isfinite(*value)) return refused;
    values[k] = *value;
    rest.remove_prefix(std::min(comma + 1, rest.size()));
  }
  const auto [west, south, east, north] = values;
  if (west > east || south > north || west < -180.0 || east > 180.0 || south < -90.0 ||
      north > 90.0)
    return refused;
  formats.bbox = FormatChoice::Box{west, south, east, north};
  return std::nullopt;
}

// The options every subcommand takes; on the program as well, so that they
// may come before the subcommand, and on each subcommand, so that its --help
// lists them.
void add_global_options(CLI::App& app, Command& command, Texts& texts) {
  app.add_flag("-q,--quiet", command.quiet, "no progress bar and no summary line");
  app.add_option("--summary-json", command.summary_json_path,
                 "also write the summary's counts to FILE as JSON")
      ->option_text("FILE");
  add_format_options(app, command, texts);
}

bool is_own_format(const std::string& name) {
  return name == kTextFormat || name == kOv2Format;
}

// What is wrong with the format names given, if anything.
std::optional<std::string> format_refusal(const Command& command, std::size_t inputs) {
  const FormatChoice& formats = command.formats;
  for (const std::string& name : formats.input_formats)
    if (name != kAutoFormat && !is_own_format(name) && !ogr::has_vector_driver(name))
      return "no vector format is called \"" + name + "\" (see ogrinfo --formats)";
  const std::string& output = formats.output_format;
  if (!output.empty() && !is_own_format(output) && !ogr::has_vector_driver(output))
    return "no vector format is called \"" + output + "\" (see ogrinfo --formats)";
  const std::size_t given = formats.input_formats.size();
  if (given > 1 && given != inputs)
    return "--input-format is given " + std::to_string(given) + " times for " +
           std::to_string(inputs) + " inputs: give it once for all, or once for each";
  return std::nullopt;
}

// Standard input is read once, and only the Output goes to standard output.
std::optional<std::string> stream_refusal(const Command& command) {
  std::vector<std::string> inputs{command.input};
  inputs.insert(inputs.end(), command.updates.begin(), command.updates.end());
  if (std::count(inputs.begin(), inputs.end(), kStandardStream) > 1)
    return "standard input (-) can be read only once";
  const std::pair<const char*, const std::optional<std::string>*> others[] = {
      {"--report", &command.report_path},
      {"--excluded", &command.excluded_path},
      {"--summary-json", &command.summary_json_path}};
  for (const auto& [option, path] : others)
    if (*path && **path == kStandardStream)
      return std::string(option) + " takes a file: only the Output (-o -) goes to standard output";
  if (command.exclusions.kind == ExclusionsChoice::Kind::file &&
      command.exclusions.path == kStandardStream)
    return "--exclusions takes a file, not standard input";
  return std::nullopt;
}

// The excluded list and the matches report are text files: a name that
// promises another format is refused rather than given text.
std::optional<std::string> text_report_refusal(const Command& command) {
  const std::pair<const char*, const std::optional<std::string>*> reports[] = {
      {"--report", &command.report_path}, {"--excluded", &command.excluded_path}};
  for (const auto& [option, path] : reports) {
    if (!*path) continue;
    const std::string extension = poi::split_extension(**path).extension;
    if (extension == "ov2" || ogr::driver_for_path(**path))
      return std::string(option) + " " + **path +
             ": the list is written as text; name it .asc, .csv or .txt";
  }
  return std::nullopt;
}

template <typename T>
T member(std::string_view text, std::initializer_list<std::pair<std::string_view, T>> choices) {
  for (const auto& [word, value] : choices)
    if (word == text) return value;
  return choices.begin()->second;  // unreachable: CLI::IsMember checked the word
}

std::optional<std::string> apply_texts(const Texts& texts, Command& command) {
  const auto radius = poi::parse_number(poi::trim(texts.radius));
  if (!radius || !std::isfinite(*radius) || *radius < 0.0f)
    return "--radius takes a number of metres, not \"" + texts.radius + "\"";
  command.radius = *radius;
  command.delete_rule = member(
      texts.delete_rule, {std::pair{std::string_view("within-radius"), DeleteRule::within_radius},
                          {"below-1m", DeleteRule::below_one_metre}});
  if (texts.exclusions == "auto") {
    command.exclusions = {ExclusionsChoice::Kind::automatic, {}};
  } else if (texts.exclusions == "none") {
    command.exclusions = {ExclusionsChoice::Kind::none, {}};
  } else {
    if (texts.exclusions.empty()) return "--exclusions needs a file, auto or none";
    command.exclusions = {ExclusionsChoice::Kind::file, texts.exclusions};
  }
  command.on_match = member(texts.on_match, {std::pair{std::string_view("skip"), OnMatch::skip},
                                             {"save", OnMatch::save},
                                             {"position", OnMatch::position},
                                             {"text", OnMatch::text},
                                             {"both", OnMatch::both}});
  command.below_one_metre =
      member(texts.below, {std::pair{std::string_view("skip"), BelowOneMetre::skip},
                           {"as-on-match", BelowOneMetre::as_on_match}});
  command.names.rule =
      member(texts.names, {std::pair{std::string_view("any"), engine::NameRule::any},
                           {"same", engine::NameRule::same},
                           {"similar", engine::NameRule::similar}});
  const auto similarity = parse_similarity(texts.name_similarity);
  if (!similarity)
    return "--name-similarity takes a number from 0 to 1, not \"" + texts.name_similarity + "\"";
  command.names.threshold = *similarity;
  command.keep = member(texts.keep, {std::pair{std::string_view("last"), KeepRule::last},
                                     {"first", KeepRule::first}});
  command.formats.points =
      member(texts.points, {std::pair{std::string_view("waypoints"), GpxChoice::waypoints},
                            {"routes", GpxChoice::routes},
                            {"tracks", GpxChoice::tracks}});
  if (texts.bbox)
    if (auto refused = read_bbox(*texts.bbox, command.formats)) return refused;
  if (command.subcommand == Subcommand::update) {
    command.input = texts.files.front();
    command.updates.assign(texts.files.begin() + 1, texts.files.end());
  }
  if (auto refused = format_refusal(command, 1 + command.updates.size())) return refused;
  if (auto refused = stream_refusal(command)) return refused;
  return text_report_refusal(command);
}

ParsedCommandLine usage_error(const std::string& reason) {
  ParsedCommandLine parsed;
  parsed.status = ExitStatus::bad_usage;
  parsed.err = std::string(kProgram) + ": " + reason + "\nRun '" + std::string(kProgram) +
               " --help' for usage.\n";
  return parsed;
}

// A subcommand's own options; the global ones are added to each at the end.
CLI::App* add_subcommand(CLI::App& app, const char* name, const char* description) {
  CLI::App* sub = app.add_subcommand(name, description);
  sub->fallthrough();
  return sub;
}

CLI::App* add_dedupe(CLI::App& app, Command& command, Texts& texts) {
  CLI::App* dedupe = add_subcommand(app, "dedupe", "remove the duplicates of a POI file");
  dedupe->add_option("INPUT", command.input, kInputHelp)->required();
  add_output(*dedupe, command);
  add_radius(*dedupe, texts);
  dedupe
      ->add_option("--delete", texts.delete_rule,
                   "within-radius: every match is deleted; below-1m: matches closer than 1 m "
                   "are deleted, the others kept (default within-radius)")
      ->check(CLI::IsMember({"within-radius", "below-1m"}));
  add_names(*dedupe, texts);
  dedupe
      ->add_option("--keep", texts.keep,
                   "last: of entries within the radius of each other, each with a later match "
                   "goes; first: each within the radius of an earlier entry kept goes, so chains "
                   "keep their entries beyond the radius (default last)")
      ->check(CLI::IsMember({"last", "first"}));
  dedupe
      ->add_option("--exclusions", texts.exclusions,
                   "the exclusions file; auto: NAME_x.asc or exclusions.asc beside INPUT; none "
                   "(default auto)")
      ->option_text("FILE|auto|none");
  dedupe
      ->add_option("--excluded", command.excluded_path,
                   "where the excluded entries are listed (default: excluded.asc beside the "
                   "exclusions file)")
      ->option_text("FILE");
  dedupe->add_option("--report", command.report_path, "write the matches report to FILE")
      ->option_text("FILE");
  dedupe
      ->add_option("--threads", command.threads,
                   "how many threads look for matches (default: one per processor)")
      ->check(CLI::Range(1u, 1024u))
      ->option_text("N");
  return dedupe;
}

CLI::App* add_update(CLI::App& app, Command& command, Texts& texts) {
  CLI::App* update = add_subcommand(app, "update", "merge Update files into a Master file");
  update
      ->add_option("MASTER UPDATE", texts.files,
                   "the Master file, then the Update files, merged one after another")
      ->required()
      ->expected(2, CLI::detail::expected_max_vector_size);
  add_output(*update, command);
  add_radius(*update, texts);
  update
      ->add_option("--on-match", texts.on_match,
                   "what a match becomes: skip, save (as a new entry), position, text or both "
                   "(default skip)")
      ->check(CLI::IsMember({"skip", "save", "position", "text", "both"}));
  update
      ->add_option("--below-1m", texts.below,
                   "skip: matches closer than 1 m are skipped; as-on-match: decided like the "
                   "others (default skip)")
      ->check(CLI::IsMember({"skip", "as-on-match"}));
  add_names(*update, texts);
  update->add_flag("--added-only", command.added_only,
                   "write only the entries the Update files added");
  return update;
}

CLI::App* add_convert(CLI::App& app, Command& command) {
  CLI::App* convert = add_subcommand(app, "convert", "write a POI file in another form");
  convert->add_option("INPUT", command.input, kInputHelp)->required();
  add_output(*convert, command);
  return convert;
}

// --help, on the program or a subcommand, ends the parse with its text;
// anything else that ends it is a usage error.
ParsedCommandLine parse_ended(const CLI::App& app, const CLI::ParseError& error) {
  if (error.get_exit_code() != static_cast<int>(CLI::ExitCodes::Success))
    return usage_error(error.what());
  std::ostringstream out;
  std::ostringstream err;
  app.exit(error, out, err);
  ParsedCommandLine parsed;
  parsed.out = out.str();
  return parsed;
}

}  // namespace

ParsedCommandLine parse_command_line(const std::vector<std::string>& args) {
  Command command;
  Texts texts;
  bool version = false;

  CLI::App app(
      "Cleans and merges POI files without a window: every match is settled by the "
      "options.",
      std::string(kProgram));
  app.require_subcommand(0, 1);
  app.add_flag("--version", version, "print the program's name and version and exit");
  add_global_options(app, command, texts);
  const std::pair<Subcommand, CLI::App*> subcommands[] = {
      {Subcommand::dedupe, add_dedupe(app, command, texts)},
      {Subcommand::update, add_update(app, command, texts)},
      {Subcommand::convert, add_convert(app, command)}};
  for (const auto& [subcommand, sub] : subcommands) add_global_options(*sub, command, texts);

  std::vector<std::string> reversed(args.rbegin(), args.rend());
  try {
    app.parse(reversed);
  } catch (const CLI::ParseError& error) {
    return parse_ended(app, error);
  }
  if (version) {
    ParsedCommandLine parsed;
    parsed.out = std::string(kProgram) + " " + std::string(kVersion) + "\n";
    return parsed;
  }
  const auto chosen = std::find_if(std::begin(subcommands), std::end(subcommands),
                                   [](const auto& entry) { return entry.second->parsed(); });
  if (chosen == std::end(subcommands))
    return usage_error("a subcommand is needed: dedupe, update or convert");
  command.subcommand = chosen->first;
  if (const auto reason = apply_texts(texts, command)) return usage_error(*reason);
  ParsedCommandLine parsed;
  parsed.command = std::move(command);
  return parsed;
}

}  // namespace pinwright::batch
