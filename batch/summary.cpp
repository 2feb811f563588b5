#include "batch/summary.hpp"

#include <utility>
#include <vector>

namespace pinwright::batch {

namespace {

using Fields = std::vector<std::pair<const char*, std::int64_t>>;

const char* name_of(Subcommand subcommand) {
  switch (subcommand) {
    case Subcommand::dedupe:
      return "dedupe";
    case Subcommand::update:
      return "update";
    case Subcommand::convert:
      break;
  }
  return "convert";
}

Fields fields_of(const Summary& s) {
  switch (s.subcommand) {
    case Subcommand::dedupe:
      return {{"duplicates_deleted", s.duplicates_deleted},
              {"kept", s.kept},
              {"excluded", s.excluded},
              {"entries_written", s.entries_written}};
    case Subcommand::update:
      return {{"appended", s.appended},
              {"matches", s.matches},
              {"settled_automatically", s.settled_automatically},
              {"reviewed", s.reviewed},
              {"entries_written", s.entries_written}};
    case Subcommand::convert:
      break;
  }
  return {{"entries_written", s.entries_written}};
}

std::string plural(std::int64_t count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

std::string summary_line(const Summary& s) {
  std::string written = plural(s.entries_written, "entry written", "entries written");
  if (s.names_apart)
    written = plural(*s.names_apart, "pair", "pairs") + " kept apart by their names, " + written;
  if (s.skipped_geometries > 0)
    written +=
        ", " + plural(s.skipped_geometries, "other geometry skipped", "other geometries skipped");
  if (s.texts_cut > 0)
    written += ", " + plural(s.texts_cut, "text cut to 254 bytes", "texts cut to 254 bytes");
  if (s.fields_dropped > 0)
    written += ", " + plural(s.fields_dropped, "field the Output cannot hold",
                             "fields the Output cannot hold");
  switch (s.subcommand) {
    case Subcommand::dedupe:
      return plural(s.duplicates_deleted, "duplicate deleted", "duplicates deleted") + ", " +
             std::to_string(s.kept) + " kept, " + std::to_string(s.excluded) + " excluded, " +
             written;
    case Subcommand::update:
      return plural(s.appended, "entry appended", "entries appended") + ", " +
             plural(s.matches, "match", "matches") + " (" +
             std::to_string(s.settled_automatically) + " settled automatically, " +
             std::to_string(s.reviewed) + " reviewed), " + written;
    case Subcommand::convert:
      break;
  }
  return written;
}

std::string summary_json(const Summary& s) {
  std::string json = "{\"command\": \"" + std::string(name_of(s.subcommand)) + "\"";
  Fields fields = fields_of(s);
  if (s.names_apart) fields.emplace_back("names_apart", *s.names_apart);
  if (s.skipped_geometries > 0) fields.emplace_back("skipped_geometries", s.skipped_geometries);
  if (s.texts_cut > 0) fields.emplace_back("texts_cut", s.texts_cut);
  if (s.fields_dropped > 0) fields.emplace_back("fields_dropped", s.fields_dropped);
  for (const auto& [name, value] : fields)
    json += ", \"" + std::string(name) + "\": " + std::to_string(value);
  return json + "}\n";
}

}  // namespace pinwright::batch
