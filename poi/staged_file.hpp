#pragma once

#include <string>

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

// Makes SIGINT and SIGTERM remove every temporary file not yet committed
// before the process ends by the signal as it would have without it.
void remove_temporaries_on_signal();

}  // namespace pinwright::poi
