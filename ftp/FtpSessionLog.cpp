#include "ftp/FtpSessionLog.h"

#include <algorithm>

namespace skein10 {

void FtpSessionLog::add(StringView text, int64_t limit) {
  if (static_cast<int64_t>(text.size()) + static_cast<int64_t>(size()) > limit) {
    start_ += std::min(text.size(), size());
  }
  // Each compaction moves at most as many characters as were dropped since
  // the one before, so it costs a constant per character added.
  if (start_ > 0 && start_ >= size()) {
    buffer_.erase(0, start_);
    start_ = 0;
  }
  buffer_.append(text);
}

}  // namespace skein10
