#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace pinwright::batch {

// A one-line progress display on standard error: what the run is doing and
// for how long. It appears only once the work has taken a second, so short
// runs stay silent, and is drawn by a thread of its own because the run does
// not return to the caller while it matches.
class Progress {
 public:
  // `shown`: standard error is a terminal and the user did not ask for quiet.
  explicit Progress(bool shown);
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;
  // Clears the line.
  ~Progress();

  // What is being done now, for example "matching 120000 entries".
  void set(std::string step);

  // Entries read from the inputs and entries matched so far, shown with the
  // step; the run's threads count them as they go.
  std::atomic<std::int64_t>& entries_read() { return read_; }
  std::atomic<std::int64_t>& entries_matched() { return matched_; }

  // Whether standard error is a terminal.
  static bool stderr_is_terminal();

 private:
  void draw_until_stopped();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::string step_;
  std::atomic<std::int64_t> read_{0};
  std::atomic<std::int64_t> matched_{0};
  bool stop_ = false;
  bool drawn_ = false;
  std::chrono::steady_clock::time_point start_;
  std::thread thread_;
};

}  // namespace pinwright::batch
