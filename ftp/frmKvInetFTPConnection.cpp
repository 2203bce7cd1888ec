#include "ftp/frmKvInetFTPConnection.h"


#include "ftp/FtpError.h"
#include "ftp/FtpReplyTable.h"
#include "ftp/FtpStatedSize.h"
#include "ftp/clsKvInetFTPConnection.h"
#include "platform/files/FileTable.h"

namespace skein10 {

namespace {
constexpr char16_t kTimedOut[] = u"The servers response has timed out.";
constexpr char16_t kDisconnected[] = u"Disconnected...";
constexpr char16_t kServerClosed[] = u"The server closed the connection.";

bool isCode(StringView code) {
  return code.size() == 3 && std::all_of(code.begin(), code.end(), [](char16_t c) { return c >= u'0' && c <= u'9'; });
}

// A reply that ends a dialogue step (2xx to 5xx); a 1xx reply is only
// preliminary: a transfer starts, and its end follows.
bool isFinal(StringView code) { return isCode(code) && code[0] >= u'2' && code[0] <= u'5'; }
bool isPreliminary(StringView code) { return isCode(code) && code[0] == u'1'; }

// "The connection to the server failed: <why> (socket error N)."
String connectionFailure(StringView prefix, const String& description, int32_t number) {
  return String(prefix) + description + u" (socket error " + Variant(number).toString() + u").";
}
}  // namespace

frmKvInetFTPConnection::frmKvInetFTPConnection(clsKvInetFTPConnection& session) : myObj(&session) {
  myTCP.onDataArrival = [this](int32_t bytesTotal) { myTCP_DataArrival(bytesTotal); };
  myTCP.onClose = [this] { myTCP_Close(); };
  myTCP.onConnect = [this] { myTCP_Connect(); };
  myTCP.onError = [this](int32_t number, const String& description) { myTCP_Error(number, description); };
  myTimeout.onTimer = [this] { myTimeout_Timer(); };
  myTCPData.onConnect = [this] { myTCPData_Connect(); };
  myTCPData.onConnectionRequest = [this](int32_t requestID) { myTCPData_ConnectionRequest(requestID); };
  myTCPData.onClose = [this] { myTCPData_Close(); };
  myTCPData.onDataArrival = [this](int32_t bytesTotal) { myTCPData_DataArrival(bytesTotal); };
  myTCPData.onSendComplete = [this] { myTCPData_SendComplete(); };
  myTCPData.onError = [this](int32_t number, const String& description) { myTCPData_Error(number, description); };
}

void frmKvInetFTPConnection::ftpAddToLog(const String& text) {
  ftpLogData.add(text, myObj->maxLogSize());
}

String frmKvInetFTPConnection::ftpStripChar(StringView text, char16_t ch) {
  auto first = text.find_first_not_of(ch);
  if (first == StringView::npos) return String();
  return String(text.substr(first, text.find_last_not_of(ch) - first + 1));
}

void frmKvInetFTPConnection::resetControl() {
  framer_.reset();
  ftpControl.reset();
}

void frmKvInetFTPConnection::myTCP_DataArrival(int32_t bytesTotal) {
  String chunk;
  myTCP.GetData(chunk, bytesTotal);
  receiveControlText(chunk);
}

// Control text counts as progress of a transfer only through the replies it
// pays (see payPreliminary and payFinal), so a chattering server can't keep
// a stalled transfer alive.
void frmKvInetFTPConnection::receiveControlText(const String& chunk) {
  ftpAddToLog(chunk);
  for (const String& line : framer_.push(chunk)) applyReply(line);
}

// The reply's row writes the shared fields; then the reply is paired with
// what it answers. A final reply the table does not know is taken by its
// class, with the server's own text as reason: 4xx and 5xx are errors, 2xx
// and 3xx successes. Any other line the table does not know changes nothing.
void frmKvInetFTPConnection::applyReply(const String& line) {
  const StringView code = StringView(line).substr(0, 3);
  const FtpReplyRow* row = FtpReplyTable::find(code);
  FtpReplyRow byClass{code, FtpReplyKind::Line, 0, StringView()};
  if (!row && isFinal(code)) {
    byClass.error = code[0] >= u'4' ? 1 : 0;
    row = &byClass;
  }
  if (!row) return;
  ftpEventError = row->error;
  switch (row->kind) {
    case FtpReplyKind::Line:
      ftpEventReason = ftpStripChar(line, u' ');
      ftpEventFlag = false;
      break;
    case FtpReplyKind::TransferEnd:
      ftpEventReason = String(row->message);
      break;
    case FtpReplyKind::Message:
    case FtpReplyKind::MultiLine:
      ftpEventReason = String(row->message);
      ftpEventFlag = false;
      break;
  }
  if (isPreliminary(code)) {
    payPreliminary(line, *row);
  } else {
    payFinal(line, *row);
  }
}

// A 1xx answers only a transfer command that has had none yet: its start,
// which ends the command's wait and may state the size to come. Any other
// one is logged only.
void frmKvInetFTPConnection::payPreliminary(const String& line, const FtpReplyRow& row) {
  const FtpReplyLedger::Ticket ticket = ftpControl.replies.payPreliminary();
  if (ticket == 0) return;
  ++ftpTransfer.progress;
  if (ticket == ftpControl.replies.transferUnderWay()) ftpTransfer.statedSize = FtpStatedSize::parse(line);
  if (ticket == ftpControl.awaited) ftpControl.answer = FtpAnswer{row.error, ftpEventReason, ftpStripChar(line, u' ')};
}

// A final reply answers the oldest command owed one. For the transfer under
// way it is also the transfer's end: a success the server's report that it
// ended, an error after its start the failure the data waits raise. An
// error reply that answers no command is that failure too.
void frmKvInetFTPConnection::payFinal(const String& line, const FtpReplyRow& row) {
  const bool error = row.error == 1;
  const FtpReplyLedger::Payment paid = ftpControl.replies.payFinal(row.kind == FtpReplyKind::TransferEnd);
  if (paid.ticket == 0) {
    if (error) ftpTransfer.serverError = refusal(line);
    return;
  }
  ++ftpTransfer.progress;
  if (paid.ticket == ftpControl.replies.transferUnderWay()) {
    if (!error) ftpDataServerClosed = true;
    if (error && paid.started) ftpTransfer.serverError = refusal(line);
  }
  if (!paid.started && paid.ticket == ftpControl.awaited) {
    ftpControl.answer = FtpAnswer{row.error, ftpEventReason, ftpStripChar(line, u' ')};
  }
}

Error frmKvInetFTPConnection::refusal(const String& line) const {
  return FtpError::session(ftpEventReason, Failure{FailureKind::ServerReply, {}, ftpStripChar(line, u' ')});
}

void frmKvInetFTPConnection::myTCP_Close() {
  ftpEventReason = kDisconnected;
  ftpEventError = 0;
  if (!ftpControl.failure) ftpControl.failure = FtpError::session(kServerClosed, Failure{FailureKind::Connection, {}, {}});
}

// The first failure of a connection is what its waits report.
void frmKvInetFTPConnection::myTCP_Error(int32_t number, const String& description) {
  if (ftpControl.failure) return;
  ftpEventError = 1;
  ftpEventReason = connectionFailure(u"The connection to the server failed: ", description, number);
  ftpControl.failure = FtpError::connection(ftpEventReason, number, FailureKind::Connection);
}

// Only the TLS handshake is awaited on the control connection's Connect; a
// failed one is the connection's error (myTCP_Error) naming the reason.
void frmKvInetFTPConnection::myTCP_Connect() {
  if (myTCP.IsTls()) ftpControl.secured = true;
}

void frmKvInetFTPConnection::myTimeout_Timer() {
  // A reply that came in the same batch of events, before this one, has
  // already answered the pending command.
  if (ftpControl.awaited != 0 && ftpControl.answer) return;
  ftpEventError = 1;
  ftpEventReason = kTimedOut;
  ftpEventFlag = false;
  ftpControl.timedOut = true;
}

// Raised for the TCP connection and again once its TLS handshake is done.
void frmKvInetFTPConnection::myTCPData_Connect() {
  ++ftpTransfer.progress;
  ftpDataConnected = true;
  ftpTransfer.opened = true;
  if (myTCPData.IsTls()) ftpTransfer.secured = true;
}

void frmKvInetFTPConnection::myTCPData_ConnectionRequest(int32_t requestID) {
  ++ftpTransfer.progress;
  if (!acceptsDataConnection(requestID)) {
    myTCPData.Refuse(requestID);
    return;
  }
  if (myTCPData.State() != SocketState::Closed) myTCPData.Close();
  myTCPData.Accept(requestID);
  ftpDataConnected = true;
  ftpTransfer.opened = true;
}

bool frmKvInetFTPConnection::acceptsDataConnection(int32_t requestID) {
  return myObj->activeMode() && myTCPData.RequestRemoteIP(requestID) == myTCP.RemoteHostIP();
}

// Whether the connection ended without TLS's closing alert is known only
// until the socket closes.
void frmKvInetFTPConnection::myTCPData_Close() {
  ++ftpTransfer.progress;
  ftpTransfer.cutShort = myTCPData.EndedWithoutCloseNotify();
  if (myTCPData.State() != SocketState::Closed) myTCPData.Close();
  ftpDataConnected = false;
}

void frmKvInetFTPConnection::myTCPData_DataArrival(int32_t bytesTotal) {
  ++ftpTransfer.progress;
  receiveBuffer_.resize(static_cast<std::size_t>(bytesTotal));
  std::size_t got = myTCPData.GetData(receiveBuffer_);
  ftpTransfer.received += got;
  storeReceived(std::span(receiveBuffer_.data(), got));
}

// Received bytes go to the bound local file; a failed write is kept for the
// waiting member to raise, and later bytes are dropped.
void frmKvInetFTPConnection::storeReceived(std::span<const uint8_t> bytes) {
  files::FileTable& table = files::FileTable::current();
  if (ftpWriteFileNum <= 0 || ftpTransfer.failure || !table.isOpenForWriting(ftpWriteFileNum)) return;
  try {
    table.write(ftpWriteFileNum, bytes);
  } catch (const Error& e) {
    ftpTransfer.failure = e;
  }
}

void frmKvInetFTPConnection::myTCPData_SendComplete() {
  ++ftpTransfer.progress;
  ftpDataSendComplete = true;
}

void frmKvInetFTPConnection::myTCPData_Error(int32_t number, const String& description) {
  ++ftpTransfer.progress;
  ftpDataConnected = false;
  ftpTransfer.failure = FtpError::connection(connectionFailure(u"The data connection failed: ", description, number), number,
                                        FailureKind::DataConnection);
}

}  // namespace skein10
