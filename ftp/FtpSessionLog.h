#pragma once
// The session log: text appended at the end, the oldest text dropped from the
// front to stay within a length limit.
//
// Dropped text is not moved away at once: the log starts at an offset into
// its buffer, and the buffer is compacted only once the dropped part is as
// long as the log, so a full log costs no more per addition than an empty one.

#include <cstddef>
#include <cstdint>

#include "skein10/String.h"

namespace skein10 {

class FtpSessionLog {
 public:
  // Appends `text`. When the text's length plus the log's is greater than
  // `limit`, as many characters as the text has are dropped from the front
  // first (the whole log when it is shorter).
  void add(StringView text, int64_t limit);

  StringView view() const { return StringView(buffer_).substr(start_); }
  String text() const { return String(view()); }
  std::size_t size() const { return buffer_.size() - start_; }

 private:
  String buffer_;
  std::size_t start_ = 0;  // where the log starts in buffer_; before it, dropped text
};

}  // namespace skein10
