#include "ftp/FtpReplyFramer.h"

namespace skein10 {

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool startsWithCode(std::string_view line) {
  return line.size() >= 3 && isDigit(line[0]) && isDigit(line[1]) && isDigit(line[2]);
}

// The line is the code alone or the code followed by a space.
bool closesReply(std::string_view line, std::string_view code) {
  return line.substr(0, 3) == code && (line.size() == 3 || line[3] == ' ');
}

}  // namespace

std::vector<String> FtpReplyFramer::push(StringView chunk) {
  std::vector<String> replies;
  for (char c : toUtf8(chunk)) {
    if (c == '\r' || c == '\n') {
      endLine(replies);
    } else if (line_.size() < kMaxLine) {
      line_.push_back(c);
    }
  }
  return replies;
}

void FtpReplyFramer::reset() {
  line_.clear();
  openCode_.clear();
}

void FtpReplyFramer::endLine(std::vector<String>& replies) {
  std::string line = std::move(line_);
  line_.clear();
  if (!openCode_.empty()) {
    // Inside a multi-line reply only its closing line counts, taken as sent.
    if (closesReply(line, openCode_)) {
      openCode_.clear();
      replies.push_back(fromUtf8(line));
    }
    return;
  }
  auto start = line.find_first_not_of(' ');
  if (start == std::string::npos) return;
  line.erase(0, start);
  if (startsWithCode(line) && line.size() > 3 && line[3] == '-') {
    openCode_ = line.substr(0, 3);
    return;
  }
  replies.push_back(fromUtf8(line));
}

}  // namespace skein10
