#include "batch/progress.hpp"

#include <unistd.h>

#include <charconv>
#include <cstdio>

namespace pinwright::batch {

namespace {

using namespace std::chrono_literals;

inline constexpr auto kQuietStart = 1s;
inline constexpr auto kRedraw = 200ms;
inline constexpr std::string_view kClearLine = "\r\033[K";

std::string tenths(double seconds) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, seconds, std::chars_format::fixed, 1);
  return std::string(text, end.ptr);
}

}  // namespace

bool Progress::stderr_is_terminal() {
  return ::isatty(STDERR_FILENO) == 1;
}

Progress::Progress(bool shown) : start_(std::chrono::steady_clock::now()) {
  if (shown) thread_ = std::thread([this] { draw_until_stopped(); });
}

Progress::~Progress() {
  {
    const std::lock_guard lock(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void Progress::set(std::string step) {
  const std::lock_guard lock(mutex_);
  step_ = std::move(step);
}

void Progress::draw_until_stopped() {
  std::unique_lock lock(mutex_);
  if (wake_.wait_until(lock, start_ + kQuietStart, [this] { return stop_; })) return;
  while (!stop_) {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    const std::string line = std::string(kClearLine) + "pinwright-batch: " + step_ + " ... " +
                             std::to_string(read_.load()) + " entries read, " +
                             std::to_string(matched_.load()) + " matched, " + tenths(seconds) +
                             " s";
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
    drawn_ = true;
    wake_.wait_for(lock, kRedraw, [this] { return stop_; });
  }
  if (drawn_) {
    std::fputs(std::string(kClearLine).c_str(), stderr);
    std::fflush(stderr);
  }
}

}  // namespace pinwright::batch
