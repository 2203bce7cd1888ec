// The reply pairing: random dialogues of commands and replies (any code, 1xx
// included, one-line and multi-line, cut into segments anywhere) driven
// through the session's ledger and its sink's reply handling, against a
// model of which command each reply answers. The session's waits are played
// as they run: a command's wait starts when it is sent and ends when its
// answer is there or, when the input sends the next command first, by its
// time-out. After every segment:
//   - a wait has ended only on its own command's reply (the final one, or
//     the 1xx of a transfer), and its outcome is that reply's;
//   - every reply paid at most one command, and a command was paid at most
//     once (each payment counts once as progress);
//   - only the final reply of the transfer under way reports its end or its
//     failure.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdlib>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "ftp/FtpReplyTable.h"
#include "ftp/clsKvInetFTPConnection.h"
#include "skein10/Boundary.h"

namespace skein10 {
namespace {

void require(bool ok) {
  if (!ok) std::abort();
}

// What a wait may see as its command's outcome.
struct Outcome {
  int32_t error;
  String reason;
  bool operator==(const Outcome&) const = default;
};

struct Reply {
  std::string text;  // as sent, ending in CR LF
  std::string code;  // three characters; not a code for a line of garbage
  std::string line;  // the line the framer hands over (a multi-line reply's last)
};

bool isDigits(const std::string& code) {
  return code.size() == 3 && code.find_first_not_of("0123456789") == std::string::npos;
}

// Which command each reply answers, kept the plain way: a list of the
// commands sent, searched from the start for the oldest still owed a reply.
class Model {
 public:
  struct Command {
    bool transfer;
    bool started = false;  // its 1xx came
    bool done = false;     // its final reply came
  };

  // The wait of the last command sent, while it runs.
  std::optional<std::size_t> awaited;
  std::optional<Outcome> answer;  // what ended it
  bool serverClosed = false;      // the transfer under way ended well
  bool serverError = false;       // ... or failed after its start, or an error answered nothing

  void send(bool transfer) {
    commands_.push_back({transfer});
    awaited = commands_.size() - 1;
    answer.reset();
    if (transfer) serverClosed = serverError = false;  // as the data connection's set-up does
  }
  void timeOut() { awaited.reset(); }
  void reconnect() {
    commands_.clear();
    awaited.reset();
    answer.reset();
  }
  // The reply's payments (0 or 1).
  int apply(const Reply& reply) {
    if (!isDigits(reply.code) || reply.code[0] < '1' || reply.code[0] > '5') return 0;
    const FtpReplyRow* row = FtpReplyTable::find(fromUtf8(reply.code));
    const bool preliminary = reply.code[0] == '1';
    if (preliminary && !row) return 0;
    const Outcome outcome = outcomeOf(reply, row);
    const std::optional<std::size_t> oldest = oldestOwed();
    if (preliminary) {
      if (!oldest || !commands_[*oldest].transfer || commands_[*oldest].started) return 0;
      commands_[*oldest].started = true;
      answerIfAwaited(*oldest, outcome);
      return 1;
    }
    const bool transferEnd = row && row->kind == FtpReplyKind::TransferEnd;
    if (!oldest || (transferEnd && !commands_[*oldest].transfer)) {
      if (!oldest && outcome.error == 1) serverError = true;
      return 0;
    }
    Command& command = commands_[*oldest];
    command.done = true;
    if (command.transfer && *oldest + 1 == commands_.size()) {
      if (outcome.error == 0) serverClosed = true;
      if (outcome.error == 1 && command.started) serverError = true;
    }
    if (!command.started) answerIfAwaited(*oldest, outcome);
    return 1;
  }

 private:
  static Outcome outcomeOf(const Reply& reply, const FtpReplyRow* row) {
    if (!row) return {reply.code[0] >= '4' ? 1 : 0, fromUtf8(reply.line)};
    if (row->kind == FtpReplyKind::Line) return {row->error, fromUtf8(reply.line)};
    return {row->error, String(row->message)};
  }
  std::optional<std::size_t> oldestOwed() const {
    for (std::size_t i = 0; i < commands_.size(); ++i) {
      if (!commands_[i].done) return i;
    }
    return std::nullopt;
  }
  void answerIfAwaited(std::size_t command, const Outcome& outcome) {
    if (awaited == command && !answer) answer = outcome;
  }

  std::vector<Command> commands_;
};

constexpr const char* kCommands[] = {"CWD x", "RETR x", "LIST", "STOR x", "RNFR a", "PASV", "USER bob", ""};
constexpr const char* kCodes[] = {"110", "120", "125", "150", "200", "202", "220", "221", "225", "226", "227",
                                  "229", "230", "234", "250", "257", "331", "350", "399", "421", "426", "451",
                                  "459", "500", "530", "534", "550", "554", "000", "600", "999"};

// A reply marked with its number, so that its outcome names it.
Reply makeReply(FuzzedDataProvider& in, int number) {
  const std::string marker = "r" + std::to_string(number);
  std::string code;
  switch (in.ConsumeIntegralInRange(0, 5)) {
    case 0: code = std::to_string(in.ConsumeIntegralInRange(100, 999)); break;
    case 1: code = "xyz"; break;  // a line that is no reply
    default: code = kCodes[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kCodes) - 1)]; break;
  }
  const std::string line = code + " " + marker;
  if (isDigits(code) && in.ConsumeBool()) return {code + "-first " + marker + "\r\n" + line + "\r\n", code, line};
  return {line + "\r\n", code, line};
}

struct Sent {
  Reply reply;
  std::size_t end;  // how many of the segments' bytes complete it
};

class Dialogue {
 public:
  Dialogue() : session_(makeRef<clsKvInetFTPConnection>()), sink_(session_->sink()) {}

  void send(const char* command) {
    const FtpReplyLedger::Ticket ticket = sink_.ftpControl.replies.expect(fromUtf8(command));
    sink_.ftpControl.answer.reset();
    sink_.ftpControl.awaited = ticket;
    if (FtpReplyLedger::opensTransfer(fromUtf8(command))) {
      sink_.ftpDataServerClosed = false;
      sink_.ftpTransfer.reset();
    }
    model_.send(FtpReplyLedger::opensTransfer(fromUtf8(command)));
  }

  void reconnect() {
    sink_.resetControl();
    model_.reconnect();
  }

  // Replies, cut into segments where the input says; checked after each.
  void replies(FuzzedDataProvider& in) {
    std::string bytes;
    std::vector<Sent> sent;
    for (int i = in.ConsumeIntegralInRange(1, 6); i > 0; --i) {
      Reply reply = makeReply(in, replyNumber_++);
      bytes += reply.text;
      sent.push_back({std::move(reply), bytes.size() - 1});  // the framer takes a line at its CR
    }
    std::size_t fed = 0;
    std::size_t applied = 0;
    while (fed < bytes.size()) {
      const std::size_t size = in.ConsumeIntegralInRange<std::size_t>(1, bytes.size() - fed);
      const uint64_t progress = sink_.ftpTransfer.progress;
      sink_.receiveControlText(fromUtf8(std::string_view(bytes).substr(fed, size)));
      fed += size;
      int payments = 0;
      for (; applied < sent.size() && sent[applied].end <= fed; ++applied) payments += model_.apply(sent[applied].reply);
      require(sink_.ftpTransfer.progress - progress == static_cast<uint64_t>(payments));
      check();
    }
  }

  // The input sends the next command before the answer came: the wait
  // timed out.
  void timeOut() {
    sink_.ftpControl.awaited = 0;
    model_.timeOut();
  }

 private:
  void check() {
    require(sink_.ftpControl.answer.has_value() == model_.answer.has_value());
    const std::optional<FtpAnswer>& answer = sink_.ftpControl.answer;
    if (answer) require(Outcome{answer->error, answer->reason} == *model_.answer);
    if (model_.answer) sink_.ftpControl.awaited = 0;  // the wait is over
    require(sink_.ftpDataServerClosed == model_.serverClosed);
    require(sink_.ftpTransfer.serverError.has_value() == model_.serverError);
  }

  Ref<clsKvInetFTPConnection> session_;
  frmKvInetFTPConnection& sink_;
  Model model_;
  int replyNumber_ = 0;
};

}  // namespace
}  // namespace skein10

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace skein10;
  FuzzedDataProvider in(data, size);
  Dialogue dialogue;
  for (int step = 0; step < 200 && in.remaining_bytes() > 0; ++step) {
    switch (in.ConsumeIntegralInRange(0, 9)) {
      case 0:
        dialogue.reconnect();
        break;
      case 1:
      case 2:
      case 3:
        dialogue.timeOut();
        dialogue.send(kCommands[in.ConsumeIntegralInRange<std::size_t>(0, std::size(kCommands) - 1)]);
        break;
      default:
        dialogue.replies(in);
        break;
    }
  }
  return 0;
}
