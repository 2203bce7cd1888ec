// Which command a reply pays: the ledger on its own, and the sink's pairing
// of whole replies (what ends a command's wait, a transfer's end and its
// failure, the size its 1xx states) without a server.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "ftp/FtpReplyLedger.h"
#include "ftp/clsKvInetFTPConnection.h"

namespace skein10 {
namespace {

using Ticket = FtpReplyLedger::Ticket;

// One step of a ledger script and what it must give.
struct Step {
  enum class Op { Expect, Preliminary, Final, TransferEnd, Reset, UnderWay } op;
  Ticket ticket = 0;           // the ticket handed out, paid, or under way
  bool started = false;        // a final reply's Payment::started
  const char16_t* command = u"";
};

Step expect(const char16_t* command, Ticket ticket) { return {Step::Op::Expect, ticket, false, command}; }
Step preliminary(Ticket paid) { return {Step::Op::Preliminary, paid}; }
Step finalReply(Ticket paid, bool started = false) { return {Step::Op::Final, paid, started}; }
Step transferEnd(Ticket paid, bool started = false) { return {Step::Op::TransferEnd, paid, started}; }
Step newConnection() { return {Step::Op::Reset}; }
Step underWay(Ticket ticket) { return {Step::Op::UnderWay, ticket}; }

struct LedgerCase {
  const char* name;
  std::vector<Step> steps;
};

const LedgerCase kLedgerCases[] = {
    {"final replies pay the oldest owed, then nothing",
     {expect(u"", 1), expect(u"USER bob", 2), finalReply(1), finalReply(2), finalReply(0)}},
    {"a 1xx pays only a transfer, once, before its final reply",
     {expect(u"RETR x", 1), preliminary(1), preliminary(0), transferEnd(1, true), preliminary(0)}},
    {"a transfer's end before its 1xx pays it unstarted",
     {expect(u"LIST", 1), transferEnd(1), preliminary(0), expect(u"CWD x", 2), finalReply(2)}},
    {"an error reply ends a started transfer", {expect(u"STOR y", 1), preliminary(1), finalReply(1, true)}},
    {"a 1xx or transfer end to a command without transfer pays nothing",
     {expect(u"CWD x", 1), preliminary(0), transferEnd(0), finalReply(1)}},
    {"a transfer behind an owed command starts only once that is paid",
     {expect(u"PASV", 1), expect(u"RETR x", 2), preliminary(0), finalReply(1), preliminary(2), transferEnd(2, true)}},
    {"only the last command's transfer is under way",
     {expect(u"RETR a", 1), underWay(1), expect(u"CWD x", 2), underWay(0), expect(u"STOR b", 3), underWay(3),
      finalReply(1), finalReply(2), preliminary(3), underWay(3)}},
    {"a keyword opens a transfer only as the whole first word",
     {expect(u"LISTX", 1), preliminary(0), expect(u"CWD RETR", 2), underWay(0), finalReply(1), preliminary(0)}},
    {"a new connection owes nothing of the old one's",
     {expect(u"RETR x", 1), preliminary(1), newConnection(), underWay(0), finalReply(0), expect(u"", 1), finalReply(1)}},
};

void play(FtpReplyLedger& ledger, const Step& step, std::size_t index) {
  SCOPED_TRACE("step " + std::to_string(index + 1));
  switch (step.op) {
    case Step::Op::Expect:
      EXPECT_EQ(ledger.expect(step.command), step.ticket);
      return;
    case Step::Op::Preliminary:
      EXPECT_EQ(ledger.payPreliminary(), step.ticket);
      return;
    case Step::Op::Final:
    case Step::Op::TransferEnd: {
      const FtpReplyLedger::Payment paid = ledger.payFinal(step.op == Step::Op::TransferEnd);
      EXPECT_EQ(paid.ticket, step.ticket);
      EXPECT_EQ(paid.started, step.started);
      return;
    }
    case Step::Op::Reset:
      ledger.reset();
      return;
    case Step::Op::UnderWay:
      EXPECT_EQ(ledger.transferUnderWay(), step.ticket);
      return;
  }
}

TEST(FtpReplyLedger, PaysEachReplyToTheCommandItAnswers) {
  for (const LedgerCase& c : kLedgerCases) {
    SCOPED_TRACE(c.name);
    FtpReplyLedger ledger;
    for (std::size_t i = 0; i < c.steps.size(); ++i) play(ledger, c.steps[i], i);
  }
}

// The sink's side: commands sent as the session sends them (the last one's
// wait pending), then the server's replies.
struct PairingCase {
  const char* name;
  std::vector<const char16_t*> commands;
  std::string replies;
  std::optional<FtpAnswer> answer;  // what ended the pending wait
  const char16_t* serverError;      // the transfer's failure's description; none: nullptr
  bool serverClosed;                // ftpDataServerClosed
  std::optional<uint64_t> statedSize;
  uint64_t payments;                // how many replies paid a command
};

constexpr char16_t kAborted[] = u"Connection closed; transfer aborted.";
constexpr char16_t kNotFound[] =
    u"The requested file/directory action was aborted because the file/directory was not found or you don't "
    u"have access.";
constexpr char16_t kCompleted[] = u"Requested file action okay, completed.";

const PairingCase kPairingCases[] = {
    {"a 1xx answers its transfer and states the size", {u"RETR x"}, "150 Opening (1234 bytes).\r\n",
     FtpAnswer{0, u"150 Opening (1234 bytes).", u"150 Opening (1234 bytes)."}, nullptr, false, 1234, 1},
    {"the transfer's end after its 1xx answers nothing more", {u"RETR x"}, "150 Opening\r\n226 Done\r\n",
     FtpAnswer{0, u"150 Opening", u"150 Opening"}, nullptr, true, std::nullopt, 2},
    {"an error after the 1xx is the transfer's failure", {u"LIST"}, "150 Opening\r\n426 Aborted\r\n",
     FtpAnswer{0, u"150 Opening", u"150 Opening"}, kAborted, false, std::nullopt, 2},
    {"an error before any 1xx refuses the command", {u"RETR x"}, "550 No such file\r\n",
     FtpAnswer{1, kNotFound, u"550 No such file"}, nullptr, false, std::nullopt, 1},
    {"an error reply owed to no command is a server error", {u"CWD x"}, "250 Changed\r\n421 Bye\r\n",
     FtpAnswer{0, kCompleted, u"250 Changed"}, u"Service not available, your connection has been terminated.", false,
     std::nullopt, 1},
    {"a late reply pays the command that gave up, not the one waiting", {u"CWD a", u"CWD b"},
     "550 Late\r\n", std::nullopt, nullptr, false, std::nullopt, 1},
    {"the waiting command gets its own reply after a late one", {u"CWD a", u"CWD b"},
     "550 Late\r\n250 Changed\r\n", FtpAnswer{0, kCompleted, u"250 Changed"}, nullptr, false, std::nullopt, 2},
    {"a 1xx or a transfer end to a command without transfer pays nothing", {u"CWD x"},
     "150 Opening\r\n226 Done\r\n", std::nullopt, nullptr, false, std::nullopt, 0},
    {"an older transfer's replies don't report the one under way", {u"RETR a", u"RETR b"},
     "150 Opening a (10 bytes)\r\n226 Done with a\r\n", std::nullopt, nullptr, false, std::nullopt, 2},
    {"a final reply outside the table answers by its class", {u"CWD x"}, "459-Not now\r\n459 later\r\n",
     FtpAnswer{1, u"459 later", u"459 later"}, nullptr, false, std::nullopt, 1},
};

// Sends the case's commands the way the session does, then feeds the replies
// as one chunk or one character at a time.
void playPairing(frmKvInetFTPConnection& sink, const PairingCase& c, bool byCharacter) {
  for (const char16_t* command : c.commands) {
    sink.ftpControl.awaited = sink.ftpControl.replies.expect(command);
    sink.ftpControl.answer.reset();
    if (FtpReplyLedger::opensTransfer(command)) {
      sink.ftpDataServerClosed = false;
      sink.ftpTransfer.reset();
    }
  }
  const String replies = fromUtf8(c.replies);
  if (!byCharacter) return sink.receiveControlText(replies);
  for (char16_t ch : replies) sink.receiveControlText(String(1, ch));
}

TEST(FtpReplyLedger, SinkPairsRepliesWithTheWaitAndTheTransferTheyAnswer) {
  for (const PairingCase& c : kPairingCases) {
    for (const bool byCharacter : {false, true}) {
      SCOPED_TRACE(std::string(c.name) + (byCharacter ? ", one character at a time" : ", in one chunk"));
      Ref<clsKvInetFTPConnection> ftp = makeRef<clsKvInetFTPConnection>();
      frmKvInetFTPConnection& sink = ftp->sink();
      playPairing(sink, c, byCharacter);
      ASSERT_EQ(sink.ftpControl.answer.has_value(), c.answer.has_value());
      if (c.answer) {
        EXPECT_EQ(sink.ftpControl.answer->error, c.answer->error);
        EXPECT_EQ(sink.ftpControl.answer->reason, c.answer->reason);
        EXPECT_EQ(sink.ftpControl.answer->reply, c.answer->reply);
      }
      ASSERT_EQ(sink.ftpTransfer.serverError.has_value(), c.serverError != nullptr);
      if (c.serverError) {
        EXPECT_EQ(sink.ftpTransfer.serverError->description(), c.serverError);
      }
      EXPECT_EQ(sink.ftpDataServerClosed, c.serverClosed);
      EXPECT_EQ(sink.ftpTransfer.statedSize, c.statedSize);
      EXPECT_EQ(sink.ftpTransfer.progress, c.payments);
    }
  }
}

}  // namespace
}  // namespace skein10
