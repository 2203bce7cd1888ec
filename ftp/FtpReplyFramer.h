#pragma once
// Frames the text received on the control connection into replies.
//
// Text is kept until its line is complete; a line ends at LF or CR, and empty
// lines are skipped. Spaces before a reply code are dropped. A line whose
// first three characters are a code followed by "-" opens a multi-line reply,
// which runs to the line that starts with the same code followed by a space
// (or that is the code alone). Every completed reply is handed over as one
// line: the single line of a one-line reply, the last line of a multi-line
// reply. The way the network cut the text into chunks never changes the result:
// each chunk is text decoded on its own by fromUtf8, so the bytes of one
// character may arrive in two chunks as undecodable bytes (U+DC80..U+DCFF);
// the framer keeps the received bytes and decodes each line once it is whole.

#include <string>
#include <vector>

#include "skein10/String.h"

namespace skein10 {

class FtpReplyFramer {
 public:
  // Longest line kept, in received bytes; the rest of a longer line is
  // dropped (the code is at its start), so a server that never ends its line
  // can't grow memory.
  static constexpr std::size_t kMaxLine = 8192;

  // Takes one received chunk; returns the replies it completes, in order.
  std::vector<String> push(StringView chunk);
  // Forgets a partial line and an open multi-line reply (a new connection).
  void reset();

 private:
  void endLine(std::vector<String>& replies);

  std::string line_;      // the bytes of the line received so far
  std::string openCode_;  // the code of the multi-line reply being received, or empty
};

}  // namespace skein10
