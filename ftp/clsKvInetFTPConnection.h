#pragma once
// One FTP client session: settings, the bounded log, the control dialogue and
// the data connection, all on the caller's thread.

#include <functional>
#include <memory>

#include "ftp/FtpServerAddress.h"
#include "ftp/frmKvInetFTPConnection.h"
#include "platform/events/AnswerTimes.h"
#include "platform/events/ThreadAffinity.h"
#include "platform/files/NumberedFile.h"
#include "skein10/_clsKvInetFTPConnection.h"
#include "skein10/TypeInfo.h"

namespace skein10 {

// A new session, as the library shell registers it by ProgID.
ObjectRef createFtpConnection();

class clsKvInetFTPConnection : public _clsKvInetFTPConnection {
 public:
  clsKvInetFTPConnection();
  ~clsKvInetFTPConnection() override;

  const InterfaceInfo& interfaceInfo() const override;

  Status get_ConnectionMode(String* result) override;
  Status put_ConnectionMode(String value) override;
  Status get_TimeOut(int32_t* result) override;
  Status put_TimeOut(int32_t value) override;
  Status get_MaxLogSize(int32_t* result) override;
  Status put_MaxLogSize(int32_t value) override;
  Status get_LogData(String* result) override;

  Status Connect(String eServer, String ePort, String eLogin, String ePass, Variant* result) override;
  Status Disconnect(Variant* result) override;
  Status Rename(String SourceFileName, String DestFileName, String* result) override;
  Status ChangeDirectory(String ToFolder, Variant* result) override;
  Status MakeDirectory(String NewFolder, Variant* result) override;
  Status RemoveFile(String FileName, Variant* result) override;
  Status RemoveDirectory(String FolderName, Variant* result) override;
  Status TransferType(TransferModes TransType, String* result) override;
  Status ListContents(String LocalFileName, String* result) override;
  Status GetFile(String RemoteFileName, String LocalFileName, String* result) override;
  Status PutFile(String RemoteFileName, String LocalFileName, String* result) override;

  // The event sink, for tests that drive its handlers and fields directly.
  frmKvInetFTPConnection& sink() { return *sink_; }
  // MaxLogSize as stored, for the sink's log on every addition.
  int32_t maxLogSize() const { return MaxLogSize_; }
  // Whether ConnectionMode, as stored (trimmed, upper case), selects active
  // mode ("PORT"): for the data connection's set-up and the sink's
  // connection requests, which need neither the boundary nor its thread
  // check.
  bool activeMode() const { return ConnectionMode_ == u"PORT"; }

 private:
  // How a wait is bounded by TimeOut: from its start (a command's reply), or
  // from the last event on either connection (the data connection's waits,
  // which also end at once on an error reply or a data connection failure).
  enum class Bound { Reply, Progress };

  // Runs any member on the thread that owns the session's sockets and timer;
  // a call from another thread is refused at once.
  template <class Body>
  Status onOwnerThread(Body&& body);
  template <class Result, class Body>
  Status onOwnerThread(Result* result, Body&& body);
  // Runs a member that talks to the server: also refuses a call made while
  // another member of this session is waiting.
  template <class Result, class Body>
  Status command(Result* result, Body&& body);
  // One command made of a keyword and the caller's argument.
  Status argumentCommand(Variant* result, StringView keyword, const String& argument);
  int32_t requireTimeOut() const;

  // Sends a command and waits for its own reply; returns the reply's
  // reason (the reply line for 150, 227, 257 and every code outside the
  // reply table, such as 234 to AUTH TLS and 229 to EPSV).
  String SendCommand(const String& command);
  String SendCommand(const String& command, const String& logged);
  // Runs `body`; an error it raises names the verb of `command` as the
  // command it belongs to (see Failure::command).
  template <class Body>
  auto naming(const String& command, Body&& body);
  void WaitReply();
  // Waits for the reply that pays off `ticket`; raises an error reply.
  String awaitReply(FtpReplyLedger::Ticket ticket);
  void Wait(const std::function<bool()>& done, Bound bound);
  // Raises what ended a wait whose own condition did not come true, and a
  // data wait's failures in any case.
  void raiseWaitEnd(bool finished, Bound bound);
  // The control connection failed in a way that ends a wait of this kind.
  bool controlLost(Bound bound) const;

  void connectControl(const FtpServerAddress& server, int32_t port);
  // AUTH TLS and the handshake on the control connection.
  void secureControl();
  bool controlIsIPv6() const;

  // Sets the data connection up in the chosen mode and sends `command`;
  // returns once the server accepted the command and the connection opened.
  void OpenDataConnection(const String& command);
  void resetDataSocket();
  // The data port of the passive reply: PASV, or EPSV on IPv6.
  int32_t passivePort();
  // The TLS handshake on an open data connection, resuming the control
  // connection's session; nothing on a plain session.
  void secureDataConnection();
  void WaitDataConnected();
  void WaitDataClosed();
  void WaitSendComplete();
  void WaitServerClosed();

  static constexpr std::size_t kUploadBlock = 3072;
  void receive(const String& command, const String& localFileName);
  // Fails a listing or download whose data may have been cut short.
  void requireWholeData() const;
  void send(const String& command, files::NumberedFile& file);
  void sendBlocks(files::NumberedFile& file);

  int32_t MaxLogSize_ = 40000;
  int32_t TimeOut_ = 20000;
  String ConnectionMode_;
  String tlsPeer_;  // what the server's certificate names; empty on a plain session
  bool busy_ = false;
  events::AnswerTimes replyTimes_;  // how long the control connection's recent replies took
  events::ThreadAffinity thread_;
  std::unique_ptr<frmKvInetFTPConnection> sink_;
};

}  // namespace skein10
