#pragma once
// The fixed table of FTP reply codes the session recognises: for each code
// the kind of row, whether the reply counts as an error, and its message.

#include <cstdint>

#include "skein10/String.h"

namespace skein10 {

enum class FtpReplyKind : uint8_t {
  Message,      // error value and message from the row; ends a command wait
  Line,         // no error; the reply line itself is the reason; ends a command wait
  MultiLine,    // like Message; the framer hands over only the last line of the reply
  TransferEnd,  // no error; reports the end of a transfer; leaves a command wait pending
};

struct FtpReplyRow {
  StringView code;  // three characters, compared as text
  FtpReplyKind kind;
  int32_t error;      // 0 success, 1 error
  StringView message;  // empty for Line rows
};

class FtpReplyTable {
 public:
  // The row for a three-character code, or nullptr for a code not in the table.
  static const FtpReplyRow* find(StringView code);
  static std::size_t size();
};

}  // namespace skein10
