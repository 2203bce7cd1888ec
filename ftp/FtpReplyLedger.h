#pragma once
// Pairs the replies on the control connection with the commands that asked
// for them. Every command sent (and the greeting of a new connection) is owed
// one final reply (2xx to 5xx), and a final reply pays off the oldest command
// still owed one. A command that opens a transfer (LIST, RETR, STOR) may
// first get one preliminary reply (1xx: the transfer starts); a 1xx to any
// other command, a second 1xx, or one that comes after its transfer's final
// reply pays nothing. The transfer end (225, 226) pays only a transfer. A
// wait ends only when its own ticket is paid, so a reply that comes after its
// command gave up can never answer a later command, nor end a later
// transfer.

#include <cstdint>
#include <deque>
#include <utility>

#include "skein10/String.h"

namespace skein10 {

class FtpReplyLedger {
 public:
  using Ticket = uint64_t;

  // What a final reply paid: the ticket of the command it answers (0:
  // none), and whether that command's transfer had started.
  struct Payment {
    Ticket ticket = 0;
    bool started = false;  // its preliminary reply came before this final one
  };

  // Whether `command` opens a transfer, whose start may be reported by a
  // preliminary reply before its final one.
  static bool opensTransfer(StringView command) {
    const StringView keyword = command.substr(0, command.find(u' '));
    return keyword == u"LIST" || keyword == u"RETR" || keyword == u"STOR";
  }

  // A reply is now owed to `command` (empty for a greeting); the ticket that
  // its payment will carry.
  Ticket expect(StringView command) {
    const bool transfer = opensTransfer(command);
    if (transfer) transfers_.push_back(owed_ + 1);
    transferUnderWay_ = transfer ? owed_ + 1 : 0;
    return ++owed_;
  }

  // The ticket of the transfer under way: the last command expected, when
  // it opens a transfer; 0 when it opens none. The replies owed to an older
  // transfer, whose command gave up, tell nothing about this one.
  Ticket transferUnderWay() const { return transferUnderWay_; }

  // A preliminary reply arrived: the ticket of the oldest command owed a
  // reply when that command opens a transfer that has not started yet
  // (it starts now); 0 when the reply pays nothing.
  Ticket payPreliminary() {
    if (!oldestIsTransfer() || started_) return 0;
    started_ = true;
    return paid_ + 1;
  }

  // A final reply arrived: it pays off the oldest command owed one; nothing
  // when none is owed, or when the reply ends a transfer (`transferEnd`) and
  // that command opens none.
  Payment payFinal(bool transferEnd) {
    const bool transfer = oldestIsTransfer();
    if (paid_ == owed_ || (transferEnd && !transfer)) return {};
    if (transfer) transfers_.pop_front();
    return Payment{++paid_, transfer && std::exchange(started_, false)};
  }

  // A new connection owes nothing of the old one's.
  void reset() {
    owed_ = paid_ = transferUnderWay_ = 0;
    transfers_.clear();
    started_ = false;
  }

 private:
  bool oldestIsTransfer() const { return paid_ < owed_ && !transfers_.empty() && transfers_.front() == paid_ + 1; }

  Ticket owed_ = 0;                // tickets handed out so far
  Ticket paid_ = 0;                // tickets paid so far, oldest first
  std::deque<Ticket> transfers_;   // the tickets owed that open a transfer, oldest first
  Ticket transferUnderWay_ = 0;
  bool started_ = false;           // the oldest ticket's transfer has started
};

}  // namespace skein10
