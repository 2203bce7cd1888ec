#pragma once
// The hidden event sink of one FTP session: it owns the control socket, the
// data socket and the reply timer, receives all their events, and keeps the
// state that the handlers write and the session's waits read.

#include <cstdint>

#include "ftp/FtpControlWait.h"
#include "ftp/FtpReplyFramer.h"
#include "ftp/FtpSessionLog.h"
#include "ftp/FtpTransfer.h"
#include "platform/events/TcpSocket.h"
#include "skein10/Error.h"
#include "skein10/Events.h"
#include "skein10/String.h"
#include "skein10/Variant.h"

namespace skein10 {

class clsKvInetFTPConnection;
struct FtpReplyRow;

class frmKvInetFTPConnection {
 public:
  explicit frmKvInetFTPConnection(clsKvInetFTPConnection& session);
  frmKvInetFTPConnection(const frmKvInetFTPConnection&) = delete;
  frmKvInetFTPConnection& operator=(const frmKvInetFTPConnection&) = delete;

  // The shared state. Handlers write it; the session's waits read it.
  clsKvInetFTPConnection* myObj;     // the owning session (not owned)
  // Kept as the sink's shared state has always had it: set while a command
  // wait is pending, cleared by a reply the table knows and by the
  // time-out. No wait reads it: a wait ends on its own command's reply
  // (ftpControl.answer), its time-out or a failure.
  bool ftpEventFlag = false;
  int32_t ftpEventError = 0;         // 1: the last reply or the time-out is an error
  String ftpEventReason;             // message of the last reply, time-out or close
  bool ftpDataConnected = false;     // the data connection is open
  bool ftpDataSendComplete = false;  // the data socket finished a send
  bool ftpDataServerClosed = false;  // the server reported the end of a transfer
  int16_t ftpWriteFileNum = 0;       // local file receiving the data connection; 0 none
  FtpSessionLog ftpLogData;          // the session log

  FtpControlWait ftpControl;         // what else the control-channel waits read; one per connection
  FtpTransfer ftpTransfer;           // what else the data waits read; one per transfer

  TcpSocket myTCP;
  TcpSocket myTCPData;
  Timer myTimeout;

  // Appends to the log. When the log and the text together are longer than
  // MaxLogSize, as many of the oldest characters as the text has are dropped
  // first: the log keeps the length it reached (also above a lowered
  // MaxLogSize), and one text longer than the limit is kept whole.
  void ftpAddToLog(const String& text);
  // `text` without leading and trailing occurrences of `ch`.
  static String ftpStripChar(StringView text, char16_t ch);
  // Forgets partial reply text and the control connection's state
  // (ftpControl) before a new control connection.
  void resetControl();
  // Logs a chunk of control-connection text and applies every reply it
  // completes: what myTCP_DataArrival does with the chunk it read.
  void receiveControlText(const String& chunk);

  void myTCP_DataArrival(int32_t bytesTotal);
  void myTCP_Close();
  void myTCP_Connect();
  void myTCP_Error(int32_t number, const String& description);
  void myTimeout_Timer();
  void myTCPData_Connect();
  void myTCPData_ConnectionRequest(int32_t requestID);
  void myTCPData_Close();
  void myTCPData_DataArrival(int32_t bytesTotal);
  void myTCPData_SendComplete();
  void myTCPData_Error(int32_t number, const String& description);

 private:
  void applyReply(const String& line);
  // Pair a reply with the command or the transfer it answers.
  void payPreliminary(const String& line, const FtpReplyRow& row);
  void payFinal(const String& line, const FtpReplyRow& row);
  // The error of a refusing reply, for a wait that raises it later.
  Error refusal(const String& line) const;
  // Only the control connection's peer may open the data connection, and
  // only in active mode.
  bool acceptsDataConnection(int32_t requestID);
  void storeReceived(std::span<const uint8_t> bytes);

  FtpReplyFramer framer_;
  ByteArray receiveBuffer_;  // the current arrival on the data connection
};

}  // namespace skein10
