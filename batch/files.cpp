#include "batch/files.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <utility>

#include "ogr/points.hpp"
#include "poi/file_handle.hpp"
#include "poi/file_system.hpp"
#include "poi/output_file.hpp"
#include "poi/paths.hpp"
#include "poi/symbol.hpp"

namespace pinwright::batch {

namespace {

// OGR's drivers that write a file from its start to its end, so that it can
// go to standard output, a FIFO or a device.
inline constexpr std::array<std::string_view, 5> kStreamingDrivers{"GeoJSON", "GeoJSONSeq", "GPX",
                                                                   "KML", "CSV"};

// The layer and file name of a vector Output that has no name of its own.
inline constexpr std::string_view kStreamName = "points";

// The program's standard output as a path.
inline constexpr const char* kOwnStandardOutput = "/proc/self/fd/1";

// The most links followed from a path the run writes, as the system allows.
inline constexpr int kMaxLinks = 40;

FileForm form_by_name(const std::string& path) {
  if (path == kStandardStream) return {};
  if (poi::split_extension(path).extension == "ov2") return {FileForm::Kind::ov2, {}};
  if (auto driver = ogr::driver_for_path(path)) return {FileForm::Kind::ogr, *driver};
  return {};
}

FileForm form_named(const std::string& name) {
  if (name == kTextFormat) return {};
  if (name == kOv2Format) return {FileForm::Kind::ov2, {}};
  return {FileForm::Kind::ogr, name};
}

bool streams(const FileForm& form) {
  return form.kind != FileForm::Kind::ogr ||
         std::find(kStreamingDrivers.begin(), kStreamingDrivers.end(), form.driver) !=
             kStreamingDrivers.end();
}

std::string system_reason(int error) {
  return std::strerror(error);
}

// Where a file the run writes goes.
struct Destination {
  enum class Kind {
    file,             // a regular file or none yet: staged beside it, renamed onto it
    direct,           // a FIFO, a device, a socket, a file open through /proc: written into
    standard_output,  // "-"
  };
  Kind kind = Kind::file;
  std::string path;  // file: the path written, links followed; direct: as named
  bool folder = false;
};

bool under_proc(const std::string& path) {
  std::error_code error;
  const std::string folder =
      std::filesystem::weakly_canonical(poi::directory_part(path).empty()
                                            ? std::filesystem::path(".")
                                            : std::filesystem::path(poi::directory_part(path)),
                                        error)
          .string();
  return !error && (folder == "/proc" || folder.starts_with("/proc/"));
}

Destination destination_of(const std::string& named) {
  if (named == kStandardStream) return {Destination::Kind::standard_output, named};
  struct stat status {};
  if (::stat(named.c_str(), &status) == 0 && !S_ISREG(status.st_mode))
    return {Destination::Kind::direct, named, S_ISDIR(status.st_mode)};
  // A symbolic link is written through: the file it names is replaced, the
  // link stays. A link into /proc (/dev/stdout, /dev/fd/1) names a file
  // another program opened: written into, as a device is.
  std::string path = named;
  for (int hop = 0; hop < kMaxLinks; ++hop) {
    if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) break;
    if (under_proc(path)) return {Destination::Kind::direct, named};
    std::error_code error;
    const std::string target = std::filesystem::read_symlink(path, error).string();
    if (error) break;
    path = target.starts_with('/') ? target : poi::directory_part(path) + target;
  }
  return {Destination::Kind::file, path};
}

bool write_all(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t written = ::write(fd, data, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    data += written;
    size -= static_cast<std::size_t>(written);
  }
  return true;
}

// Copies the file `from` into `destination`, which is written into, never
// replaced; the system's reason when that fails.
std::optional<std::string> copy_into(const std::string& from, const Destination& destination) {
  const poi::FileHandle source(std::fopen(from.c_str(), "rb"));
  if (!source) return system_reason(errno);
  // The program's own standard output, however named (/dev/stdout), is
  // written through its open descriptor, which keeps the shell's mode.
  const bool standard = destination.kind == Destination::Kind::standard_output ||
                        poi::same_file(destination.path, kOwnStandardOutput);
  const int fd =
      standard ? STDOUT_FILENO : ::open(destination.path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  if (fd < 0) return system_reason(errno);
  std::array<char, 1 << 16> buffer{};
  std::size_t got = 0;
  std::optional<std::string> failure;
  while (!failure && (got = std::fread(buffer.data(), 1, buffer.size(), source.get())) > 0)
    if (!write_all(fd, buffer.data(), got)) failure = system_reason(errno);
  if (!failure && std::ferror(source.get())) failure = "the staged copy cannot be read";
  if (!standard && ::close(fd) != 0 && !failure) failure = system_reason(errno);
  return failure;
}

// The system's folder for temporary files, ending with '/'.
std::string temporary_folder() {
  std::error_code error;
  std::string folder = std::filesystem::temp_directory_path(error).string();
  if (error || folder.empty()) folder = "/tmp";
  return folder.ends_with('/') ? folder : folder + "/";
}

}  // namespace

bool is_standard_output(const std::string& output) {
  return output == kStandardStream || poi::same_file(output, kOwnStandardOutput);
}

FileForm input_form(const Command& command, std::size_t index) {
  const std::vector<std::string>& formats = command.formats.input_formats;
  const std::string chosen = formats.empty()       ? std::string(kAutoFormat)
                             : formats.size() == 1 ? formats.front()
                                                   : formats[index];
  const std::string& named = index == 0 ? command.input : command.updates[index - 1];
  return chosen == kAutoFormat ? form_by_name(named) : form_named(chosen);
}

FileForm output_form(const Command& command) {
  if (command.formats.output_format.empty()) return form_by_name(command.output);
  return form_named(command.formats.output_format);
}

bool clashes(const std::string& a, const std::string& b) {
  if (poi::same_file(a, b)) return true;
  const poi::SplitExtension first = poi::split_extension(a);
  const poi::SplitExtension second = poi::split_extension(b);
  if (first.extension.empty() || first.extension != second.extension) return false;
  const std::string folder_a = poi::directory_part(first.stem);
  const std::string folder_b = poi::directory_part(second.stem);
  return first.stem.substr(folder_a.size()) == second.stem.substr(folder_b.size()) &&
         poi::same_file(folder_a.empty() ? "." : folder_a, folder_b.empty() ? "." : folder_b);
}

// ---------------------------------------------------------------- inputs

Inputs::Inputs(const Command& command) {
  named_.push_back(command.input);
  named_.insert(named_.end(), command.updates.begin(), command.updates.end());
  for (std::size_t k = 0; k < named_.size(); ++k) forms_.push_back(input_form(command, k));
}

std::optional<Refusal> Inputs::open() {
  const auto stream = std::find(named_.begin(), named_.end(), kStandardStream);
  if (stream == named_.end()) return std::nullopt;
  const FileForm& form = forms_[static_cast<std::size_t>(stream - named_.begin())];
  // Some drivers know their files by the extension.
  std::string extension = form.kind == FileForm::Kind::ov2 ? "ov2" : "asc";
  if (form.kind == FileForm::Kind::ogr) {
    const std::vector<std::string> extensions = ogr::driver_extensions(form.driver);
    extension = extensions.empty() ? "dat" : extensions.front();
  }
  const Refusal unreadable{ExitStatus::bad_input, "standard input cannot be read"};
  standard_input_ = std::make_unique<poi::StagedFolder>(temporary_folder() + "pinwright-batch");
  if (!standard_input_->reserve())
    return Refusal{ExitStatus::bad_input,
                   "standard input cannot be read: " + temporary_folder() + " takes no copy of it"};
  standard_input_path_ = standard_input_->path() + "input." + extension;
  poi::OutputFile copy(standard_input_path_, poi::OpenMode::truncate);
  std::array<char, 1 << 16> buffer{};
  for (;;) {
    const ssize_t got = ::read(STDIN_FILENO, buffer.data(), buffer.size());
    if (got < 0 && errno == EINTR) continue;
    if (got < 0)
      return Refusal{ExitStatus::bad_input, unreadable.message + ": " + system_reason(errno)};
    if (got == 0) break;
    copy.write(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
  }
  if (!copy.close())
    return Refusal{ExitStatus::bad_input,
                   unreadable.message + ": " + temporary_folder() + " takes no copy of it"};
  return std::nullopt;
}

const std::string& Inputs::path(std::size_t k) const {
  return named_[k] == kStandardStream ? standard_input_path_ : named_[k];
}

std::vector<std::string> Inputs::files(const std::string& exclusions_path) const {
  std::vector<std::string> files;
  for (std::size_t k = 0; k < named_.size(); ++k) {
    if (named_[k] == kStandardStream) continue;
    if (forms_[k].kind == FileForm::Kind::ogr) {
      const std::vector<std::string> parts = ogr::dataset_files(named_[k], forms_[k].driver);
      files.insert(files.end(), parts.begin(), parts.end());
    } else {
      files.push_back(named_[k]);
    }
  }
  if (!exclusions_path.empty()) files.push_back(exclusions_path);
  return files;
}

// ---------------------------------------------------------------- outputs

struct Outputs::Staged {
  Target target;
  Destination destination;
  std::unique_ptr<poi::StagedFile> file;      // every file but a vector Output
  std::unique_ptr<poi::StagedFolder> folder;  // a vector Output
};

Outputs::Outputs(std::vector<Target> targets, const Command& command)
    : command_(command), form_(output_form(command)) {
  const Destination output = destination_of(targets.front().path);
  // As the window gives an OV2 Output a symbol of its own name when there is
  // none: "default_symbol.bmp" from the Output's folder, else the program's
  // own. An Output that is not a file of its own gets none.
  if (form_.kind == FileForm::Kind::ov2 && output.kind == Destination::Kind::file) {
    const std::string symbol = poi::symbol_candidate(command.output);
    if (!poi::is_file(symbol)) {
      symbol_source_ = poi::default_symbol(symbol, command.program_dir);
      if (!symbol_source_.empty()) {
        symbol_ = targets.size();
        targets.push_back({"the symbol bitmap", symbol});
      }
    }
  }
  if (command.summary_json_path) {
    json_ = targets.size();
    targets.push_back({"the summary", *command.summary_json_path});
  }
  for (Target& target : targets) {
    auto staged = std::make_unique<Staged>();
    staged->destination = destination_of(target.path);
    staged->target = std::move(target);
    files_.push_back(std::move(staged));
  }
}

Outputs::~Outputs() = default;

std::optional<Refusal> Outputs::prepare(const std::vector<std::string>& input_files) {
  input_files_ = input_files;
  const Staged& output = *files_.front();
  if (output.destination.kind != Destination::Kind::file && !streams(form_)) {
    const std::string where = output.destination.kind == Destination::Kind::standard_output
                                  ? "standard output"
                                  : output.target.path + ", which is not a regular file";
    return Refusal{ExitStatus::bad_usage,
                   form_.driver + " cannot be written to " + where +
                       ": only text, OV2, GeoJSON, GeoJSONSeq, GPX, KML and CSV Outputs can"};
  }
  for (std::size_t t = 0; t < files_.size(); ++t) {
    const Staged& staged = *files_[t];
    const std::string& named = staged.target.path;
    if (staged.destination.folder)
      return Refusal{ExitStatus::bad_usage, staged.target.what + " " + named + " is a folder"};
    if (staged.destination.kind == Destination::Kind::standard_output) continue;
    for (const std::string& input : input_files_)
      if (clashes(staged.destination.path, input))
        return Refusal{ExitStatus::bad_usage, staged.target.what + " " + named + " is the input " +
                                                  input + "; it is not overwritten"};
    for (std::size_t u = 0; u < t; ++u) {
      const Staged& other = *files_[u];
      if (other.destination.kind != Destination::Kind::standard_output &&
          clashes(staged.destination.path, other.destination.path))
        return Refusal{ExitStatus::bad_usage, other.target.what + " and " + staged.target.what +
                                                  " are the same file " + named};
    }
  }
  for (std::size_t k = 0; k < files_.size(); ++k) {
    Staged& staged = *files_[k];
    const bool beside = staged.destination.kind == Destination::Kind::file;
    const std::string place =
        beside ? staged.destination.path : temporary_folder() + "pinwright-batch-output";
    bool reserved = false;
    if (k == 0 && form_.kind == FileForm::Kind::ogr) {
      staged.folder = std::make_unique<poi::StagedFolder>(place);
      reserved = staged.folder->reserve();
    } else {
      staged.file = std::make_unique<poi::StagedFile>(place);
      reserved = staged.file->reserve();
    }
    if (!reserved) return Refusal{ExitStatus::output_failed, cannot_write(k)};
  }
  if (form_.kind == FileForm::Kind::ogr) return probe_vector_output(input_files);
  return std::nullopt;
}

// A driver chooses the files it writes. It writes an empty Output first, so
// that their names are known and checked before anything is read.
std::optional<Refusal> Outputs::probe_vector_output(const std::vector<std::string>& input_files) {
  const Staged& output = *files_.front();
  const std::string name =
      output.destination.kind == Destination::Kind::standard_output
          ? std::string(kStreamName)
          : output.destination.path.substr(poi::directory_part(output.destination.path).size());
  const std::vector<std::string> extensions = ogr::driver_extensions(form_.driver);
  const std::string extension = poi::split_extension(name).extension;
  const bool own_extension =
      std::find(extensions.begin(), extensions.end(), extension) != extensions.end();
  // Some drivers take a name without their extension for a folder of files:
  // they write under their own, and the file takes the Output's name.
  if (own_extension || extensions.empty()) {
    made_name_ = name;
  } else {
    const std::string stem = extension.empty() ? name : poi::split_extension(name).stem;
    made_name_ = stem + "." + extensions.front();
  }
  ogr::WriteOptions options;
  options.driver = form_.driver;
  options.name_field = command_.formats.name_field;
  options.info_field = command_.formats.info_field;
  options.layer_name = poi::split_extension(made_name_).stem;
  const ogr::WriteResult probe = ogr::write_points(temporary(0), {}, options);
  if (probe.failure)
    return Refusal{ExitStatus::output_failed, cannot_write(0) + ": " + *probe.failure};
  const std::vector<std::string> made = output.folder->file_names();
  if (made.size() > 1) {
    std::string names;
    for (const std::string& file : made) names += (names.empty() ? "" : ", ") + file;
    if (output.destination.kind != Destination::Kind::file)
      return Refusal{ExitStatus::bad_usage,
                     form_.driver + " writes several files (" + names + "): it cannot go to " +
                         (output.destination.kind == Destination::Kind::standard_output
                              ? std::string("standard output")
                              : output.target.path)};
    if (!own_extension)
      return Refusal{ExitStatus::bad_usage, output.target.path + ": " + form_.driver +
                                                " writes several files (" + names +
                                                "); name the Output ." + extensions.front()};
  }
  if (auto refused = check_vector_files(input_files)) return refused;
  output.folder->empty();
  return std::nullopt;
}

std::vector<std::pair<std::string, std::string>> Outputs::vector_moves() const {
  const Staged& output = *files_.front();
  std::vector<std::pair<std::string, std::string>> moves;
  const std::string folder = poi::directory_part(output.destination.path);
  for (const std::string& name : output.folder->file_names())
    moves.emplace_back(name, name == made_name_ ? output.destination.path : folder + name);
  return moves;
}

std::optional<Refusal> Outputs::check_vector_files(
    const std::vector<std::string>& input_files) const {
  if (files_.front()->destination.kind != Destination::Kind::file) return std::nullopt;
  for (const auto& [name, final_path] : vector_moves()) {
    for (const std::string& input : input_files)
      if (clashes(final_path, input))
        return Refusal{ExitStatus::bad_usage,
                       "the Output " + files_.front()->target.path + " would write " + final_path +
                           ", which is the input " + input + "; it is not overwritten"};
    for (std::size_t k = 1; k < files_.size(); ++k) {
      const Staged& other = *files_[k];
      if (clashes(final_path, other.destination.path))
        return Refusal{ExitStatus::bad_usage, "the Output " + files_.front()->target.path +
                                                  " would write " + final_path + ", which is " +
                                                  other.target.what};
    }
  }
  return std::nullopt;
}

std::string Outputs::temporary(std::size_t k) const {
  const Staged& staged = *files_[k];
  return staged.folder ? staged.folder->path() + made_name_ : staged.file->temporary_path();
}

std::string Outputs::cannot_write(std::size_t k) const {
  const Staged& staged = *files_[k];
  const std::string named = staged.destination.kind == Destination::Kind::standard_output
                                ? std::string("standard output")
                                : staged.target.path;
  return named + ": " + staged.target.what + " cannot be written";
}

void Outputs::discard(std::size_t k) {
  files_.erase(files_.begin() + static_cast<std::ptrdiff_t>(k));
  for (std::optional<std::size_t>* index : {&json_, &symbol_})
    if (*index && **index > k) --**index;
}

std::optional<Refusal> Outputs::commit(const std::string& summary_json) {
  const auto failed = [&](std::size_t k, const std::string& reason) {
    return Refusal{ExitStatus::output_failed,
                   cannot_write(k) + (reason.empty() ? "" : ": " + reason)};
  };
  if (json_) {
    poi::OutputFile file(temporary(*json_), poi::OpenMode::truncate);
    file.write(summary_json);
    if (!file.close()) return failed(*json_, "");
  }
  if (symbol_ && !poi::copy_file(symbol_source_, temporary(*symbol_))) return failed(*symbol_, "");
  if (form_.kind == FileForm::Kind::ogr) {
    if (auto refused = check_vector_files(input_files_)) return refused;
  }
  for (std::size_t k = 0; k < files_.size(); ++k) {
    Staged& staged = *files_[k];
    if (staged.destination.kind != Destination::Kind::file) {
      if (const auto reason = copy_into(temporary(k), staged.destination))
        return failed(k, *reason);
    } else if (staged.folder) {
      for (const auto& [name, final_path] : vector_moves())
        if (!staged.folder->move_out(name, final_path))
          return failed(k, final_path + ": " + system_reason(errno));
    } else if (!staged.file->commit()) {
      return failed(k, system_reason(errno));
    }
  }
  return std::nullopt;
}

}  // namespace pinwright::batch
