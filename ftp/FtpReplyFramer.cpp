#include "ftp/FtpReplyFramer.h"

#include <algorithm>

namespace skein10 {

namespace {

bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

bool startsWithCode(StringView line) {
  return line.size() >= 3 && isDigit(line[0]) && isDigit(line[1]) && isDigit(line[2]);
}

// The line is the code alone or the code followed by a space.
bool closesReply(StringView line, StringView code) {
  return line.substr(0, 3) == code && (line.size() == 3 || line[3] == u' ');
}

}  // namespace

// The chunk is taken a line piece at a time; the line buffer keeps its
// capacity from line to line.
std::vector<String> FtpReplyFramer::push(StringView chunk) {
  std::vector<String> replies;
  while (!chunk.empty()) {
    const std::size_t end = std::min(chunk.find_first_of(u"\r\n"), chunk.size());
    line_.append(chunk.substr(0, std::min(end, kMaxLine - std::min(line_.size(), kMaxLine))));
    if (end == chunk.size()) break;
    endLine(replies);
    chunk.remove_prefix(end + 1);
  }
  return replies;
}

void FtpReplyFramer::reset() {
  line_.clear();
  openCode_.clear();
}

void FtpReplyFramer::endLine(std::vector<String>& replies) {
  StringView line = line_;
  if (!openCode_.empty()) {
    // Inside a multi-line reply only its closing line counts, taken as sent.
    if (closesReply(line, openCode_)) {
      openCode_.clear();
      replies.emplace_back(line);
    }
  } else if (auto start = line.find_first_not_of(u' '); start != StringView::npos) {
    line.remove_prefix(start);
    if (startsWithCode(line) && line.size() > 3 && line[3] == u'-') {
      openCode_ = line.substr(0, 3);
    } else {
      replies.emplace_back(line);
    }
  }
  line_.clear();
}

}  // namespace skein10
