#pragma once

#include <string>
#include <vector>

namespace pinwright::poi {

// A file written under a temporary name in the folder of its final path and
// renamed into place only once it is complete, so that a failed run never
// leaves a partial file where the user expects the result. The temporary file
// is removed when the object goes without having been committed.
class StagedFile {
 public:
  explicit StagedFile(std::string final_path);
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;
  ~StagedFile();

  // Creates an empty temporary file under a name nobody uses; false when the
  // folder cannot take it.
  bool reserve();

  const std::string& final_path() const { return final_path_; }
  // The name to write under; empty until reserve() succeeded.
  const std::string& temporary_path() const { return temporary_path_; }

  // Renames the temporary file onto the final path, replacing what is there.
  bool commit();

 private:
  std::string final_path_;
  std::string temporary_path_;
  bool committed_ = false;
};

// A temporary folder beside a final path, for writers that make files of
// their own choosing (a shapefile's five, a database and its journal): they
// write into the folder, and the files are moved out one by one once all are
// complete. The folder goes with whatever it still holds when the object
// goes, on SIGINT and SIGTERM as well.
class StagedFolder {
 public:
  // The folder is made in the folder of `beside`, named after it.
  explicit StagedFolder(std::string beside);
  StagedFolder(const StagedFolder&) = delete;
  StagedFolder& operator=(const StagedFolder&) = delete;
  ~StagedFolder();

  // Creates the folder under a name nobody uses; false when that fails.
  bool reserve();

  // The folder, ending with '/'; empty until reserve() succeeded.
  const std::string& path() const { return path_; }

  // The names of the files in the folder (not in folders below it), sorted.
  std::vector<std::string> file_names() const;

  // Renames `name` from the folder onto `final_path`, replacing what is there.
  bool move_out(const std::string& name, const std::string& final_path);

  // Removes everything in the folder; the folder stays.
  void empty();

 private:
  std::string beside_;
  std::string held_;  // the folder without its '/', as the signal handler has it
  std::string path_;
};

// Makes SIGINT, SIGTERM, SIGHUP and SIGPIPE remove every temporary file and
// folder not yet committed before the process ends by the signal as it would
// have without it.
void remove_temporaries_on_signal();

}  // namespace pinwright::poi
