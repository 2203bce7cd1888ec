#pragma once
// Pairs the replies on the control connection with the commands that asked
// for them. Every command sent (and the greeting of a new connection) is owed
// one reply; a reply pays off the oldest one still owed. A command whose
// first reply is preliminary (1xx: a transfer starts) is owed a second, final
// one, the transfer's end, which comes before the reply to any later command.
// A wait ends only when its own ticket is paid, so a reply that comes after
// its command gave up can never answer a later command.

#include <cstdint>
#include <utility>

namespace skein10 {

class FtpReplyLedger {
 public:
  using Ticket = uint64_t;

  // A reply is now owed; the ticket that its payment will carry.
  Ticket expect() { return ++owed_; }
  // A reply arrived for the oldest command owed one: its ticket, or 0 when
  // nothing was owed.
  Ticket pay() { return paid_ < owed_ ? ++paid_ : 0; }
  // The command just paid started a transfer, whose final reply is now owed.
  void openTransfer() { transferEndOwed_ = true; }
  // A final reply arrived: true when it ends the open transfer (and pays
  // nothing else).
  bool payTransferEnd() { return std::exchange(transferEndOwed_, false); }
  // A new connection owes nothing of the old one's.
  void reset() {
    owed_ = paid_ = 0;
    transferEndOwed_ = false;
  }

 private:
  Ticket owed_ = 0;  // tickets handed out so far
  Ticket paid_ = 0;  // tickets paid so far, oldest first
  bool transferEndOwed_ = false;
};

}  // namespace skein10
