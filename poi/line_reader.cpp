#include "poi/line_reader.hpp"

#include <algorithm>

#include "poi/fixed_text.hpp"

namespace pinwright::poi {

namespace {
constexpr std::size_t kBufferSize = 1 << 16;
}  // namespace

LineReader::LineReader(const std::string& path)
    : file_(std::fopen(path.c_str(), "rb")), buffer_(kBufferSize) {}

bool LineReader::fill() {
  if (eof_ || failed_ || !file_) return false;
  begin_ = 0;
  end_ = std::fread(buffer_.data(), 1, buffer_.size(), file_.get());
  if (end_ == 0) {
    if (std::ferror(file_.get()) != 0) failed_ = true;
    eof_ = true;
    return false;
  }
  return true;
}

bool LineReader::next(std::string& window, std::size_t& length) {
  window.clear();
  length = 0;
  bool any = false;
  while (true) {
    if (begin_ == end_ && !fill()) break;
    if (skip_line_feed_) {
      skip_line_feed_ = false;
      if (buffer_[begin_] == '\n') {
        ++begin_;
        continue;
      }
    }
    any = true;
    const char* start = buffer_.data() + begin_;
    const char* stop = buffer_.data() + end_;
    const char* hit = std::find_if(start, stop, [](char c) { return c == '\n' || c == '\r'; });
    const std::size_t taken = static_cast<std::size_t>(hit - start);
    const std::size_t room =
        kLineWindow + kLineWindowSlack - std::min(window.size(), kLineWindow + kLineWindowSlack);
    window.append(start, std::min(taken, room));
    length += taken;
    begin_ += taken;
    if (hit != stop) {
      skip_line_feed_ = *hit == '\r';
      ++begin_;
      break;
    }
  }
  if (!any) return false;
  ++line_number_;
  if (window.size() > kLineWindow) window.resize(utf8_safe_cut(window, kLineWindow));
  return true;
}

}  // namespace pinwright::poi
