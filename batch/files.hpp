#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "batch/arguments.hpp"
#include "poi/staged_file.hpp"

namespace pinwright::batch {

// The files of a run and how they are reached: which form each input is read
// in, what standard input and standard output stand for, and where every file
// the run writes is staged until all of them are complete. Nothing the run
// writes may replace one of its inputs, and nothing it leaves behind after a
// failure or a signal is a file the user did not ask for.

// A file's form: the program's text or overlay form, or one of OGR's vector
// formats.
struct FileForm {
  enum class Kind { text, ov2, ogr };
  Kind kind = Kind::text;
  std::string driver;  // Kind::ogr: OGR's driver name
};

// The form input `index` (0: INPUT or MASTER, then the UPDATE files) is read
// in: --input-format, else by its name (standard input: text).
FileForm input_form(const Command& command, std::size_t index);
// The form the Output is written in: --output-format, else by its name.
FileForm output_form(const Command& command);

// Whether the Output named `output` is the program's standard output: "-",
// or a name for it such as /dev/stdout.
bool is_standard_output(const std::string& output);

// Whether writing `a` replaces `b`: the same file however the paths are
// written, or a name in the same folder that differs only in the letter case
// of the extension (OGR finds a shapefile's "cities.DBF" as its .dbf).
bool clashes(const std::string& a, const std::string& b);

// A failure before or after the work: the status and the message.
struct Refusal {
  ExitStatus status;
  std::string message;
};

// The inputs of a run as they are read. Standard input is copied to a
// temporary file first (readers open files by name), which goes with this.
class Inputs {
 public:
  explicit Inputs(const Command& command);

  // Copies standard input when it is one of the inputs.
  std::optional<Refusal> open();

  std::size_t size() const { return named_.size(); }
  // As given ("-": standard input), for messages.
  const std::string& named(std::size_t k) const { return named_[k]; }
  // Where input `k` is read.
  const std::string& path(std::size_t k) const;
  const FileForm& form(std::size_t k) const { return forms_[k]; }

  // Every file the inputs consist of (a shapefile's five), and the exclusions
  // file when there is one: none of them may be written.
  std::vector<std::string> files(const std::string& exclusions_path) const;

 private:
  std::vector<std::string> named_;
  std::vector<FileForm> forms_;
  std::unique_ptr<poi::StagedFolder> standard_input_;
  std::string standard_input_path_;
};

// A file the run writes, and what it is called in messages.
struct Target {
  std::string what;
  std::string path;  // as given ("-": standard output, the Output only)
};

// The files of one run, each staged until all are done: in a temporary file,
// or for a vector Output in a temporary folder the driver fills, beside the
// final path (the target of a symbolic link, which stays); for standard
// output, a FIFO or a device in the system's temporary folder, from which
// the bytes are copied at the end, so that such a file is never replaced.
class Outputs {
 public:
  // `targets` starts with the Output, in the command's Output form; the
  // symbol bitmap of an OV2 Output and the summary JSON, when there are, are
  // added here, in this order.
  Outputs(std::vector<Target> targets, const Command& command);
  ~Outputs();
  Outputs(const Outputs&) = delete;
  Outputs& operator=(const Outputs&) = delete;

  // Checks every file to write against `input_files` and the others (exit
  // 2), and reserves every temporary place (exit 3 when a folder takes none).
  std::optional<Refusal> prepare(const std::vector<std::string>& input_files);

  // Where file `k` is written until commit(); for a vector Output, the path
  // the driver is given inside its temporary folder.
  std::string temporary(std::size_t k) const;
  std::string cannot_write(std::size_t k) const;

  // Gives up file `k`: its temporary file goes, nothing takes its final path.
  void discard(std::size_t k);

  // Writes the summary JSON (when asked for) and the symbol bitmap, then puts
  // every file in place; a vector Output's files that would replace an input
  // are refused (exit 2), any other failure is exit 3.
  std::optional<Refusal> commit(const std::string& summary_json);

 private:
  struct Staged;

  std::optional<Refusal> probe_vector_output(const std::vector<std::string>& input_files);
  std::vector<std::pair<std::string, std::string>> vector_moves() const;
  std::optional<Refusal> check_vector_files(const std::vector<std::string>& input_files) const;

  const Command& command_;
  FileForm form_;
  std::vector<std::unique_ptr<Staged>> files_;
  std::vector<std::string> input_files_;
  std::optional<std::size_t> json_;
  std::optional<std::size_t> symbol_;
  std::string symbol_source_;
  std::string made_name_;  // vector Output: the name the driver writes under
};

}  // namespace pinwright::batch
