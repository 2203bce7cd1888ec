#include "ftp/frmKvInetFTPConnection.h"

#include <algorithm>

#include "ftp/FtpError.h"
#include "platform/files/FileTable.h"
#include "ftp/FtpReplyTable.h"
#include "ftp/clsKvInetFTPConnection.h"
#include "skein10/Boundary.h"

namespace skein10 {

namespace {
constexpr char16_t kTimedOut[] = u"The servers response has timed out.";
constexpr char16_t kDisconnected[] = u"Disconnected...";
}  // namespace

frmKvInetFTPConnection::frmKvInetFTPConnection(clsKvInetFTPConnection& session) : myObj(&session) {
  myTCP.onDataArrival = [this](int32_t bytesTotal) { myTCP_DataArrival(bytesTotal); };
  myTCP.onClose = [this] { myTCP_Close(); };
  myTimeout.onTimer = [this] { myTimeout_Timer(); };
  myTCPData.onConnect = [this] { myTCPData_Connect(); };
  myTCPData.onConnectionRequest = [this](int32_t requestID) { myTCPData_ConnectionRequest(requestID); };
  myTCPData.onClose = [this] { myTCPData_Close(); };
  myTCPData.onDataArrival = [this](int32_t bytesTotal) { myTCPData_DataArrival(bytesTotal); };
  myTCPData.onSendComplete = [this] { myTCPData_SendComplete(); };
  myTCPData.onError = [this](int32_t number, const String& description) { myTCPData_Error(number, description); };
}

void frmKvInetFTPConnection::ftpAddToLog(const String& text) {
  int32_t limit = 0;
  check(myObj->get_MaxLogSize(&limit));
  if (static_cast<int64_t>(text.size()) + static_cast<int64_t>(ftpLogData.size()) > limit) {
    ftpLogData.erase(0, std::min(text.size(), ftpLogData.size()));
  }
  ftpLogData += text;
}

String frmKvInetFTPConnection::ftpStripChar(StringView text, char16_t ch) {
  auto first = text.find_first_not_of(ch);
  if (first == StringView::npos) return String();
  return String(text.substr(first, text.find_last_not_of(ch) - first + 1));
}

void frmKvInetFTPConnection::resetReplies() { framer_.reset(); }

void frmKvInetFTPConnection::myTCP_DataArrival(int32_t bytesTotal) {
  ++ftpProgress;
  String chunk;
  myTCP.GetData(chunk, bytesTotal);
  ftpAddToLog(chunk);
  for (const String& line : framer_.push(chunk)) applyReply(line);
}

void frmKvInetFTPConnection::applyReply(const String& line) {
  const FtpReplyRow* row = FtpReplyTable::find(StringView(line).substr(0, 3));
  if (!row) return;
  ftpEventError = row->error;
  switch (row->kind) {
    case FtpReplyKind::Line:
      ftpEventReason = ftpStripChar(line, u' ');
      ftpEventFlag = false;
      break;
    case FtpReplyKind::TransferEnd:
      ftpEventReason = String(row->message);
      ftpDataServerClosed = true;
      break;
    case FtpReplyKind::Message:
    case FtpReplyKind::MultiLine:
      ftpEventReason = String(row->message);
      ftpEventFlag = false;
      break;
  }
}

void frmKvInetFTPConnection::myTCP_Close() {
  ++ftpProgress;
  ftpEventReason = kDisconnected;
  ftpEventError = 0;
}

void frmKvInetFTPConnection::myTimeout_Timer() {
  ftpEventError = 1;
  ftpEventReason = kTimedOut;
  ftpEventFlag = false;
}

void frmKvInetFTPConnection::myTCPData_Connect() {
  ++ftpProgress;
  ftpDataConnected = true;
  ftpDataOpened = true;
}

void frmKvInetFTPConnection::myTCPData_ConnectionRequest(int32_t requestID) {
  ++ftpProgress;
  if (!acceptsDataConnection(requestID)) {
    myTCPData.Refuse(requestID);
    return;
  }
  if (myTCPData.State() != SocketState::Closed) myTCPData.Close();
  myTCPData.Accept(requestID);
  ftpDataConnected = true;
  ftpDataOpened = true;
}

bool frmKvInetFTPConnection::acceptsDataConnection(int32_t requestID) {
  String mode;
  check(myObj->get_ConnectionMode(&mode));
  return mode == u"PORT" && myTCPData.RequestRemoteIP(requestID) == myTCP.RemoteHostIP();
}

void frmKvInetFTPConnection::myTCPData_Close() {
  ++ftpProgress;
  if (myTCPData.State() != SocketState::Closed) myTCPData.Close();
  ftpDataConnected = false;
}

void frmKvInetFTPConnection::myTCPData_DataArrival(int32_t bytesTotal) {
  ++ftpProgress;
  receiveBuffer_.resize(static_cast<std::size_t>(bytesTotal));
  std::size_t got = myTCPData.GetData(receiveBuffer_);
  storeReceived(std::span(receiveBuffer_.data(), got));
}

// Received bytes go to the bound local file; a failed write is kept for the
// waiting member to raise, and later bytes are dropped.
void frmKvInetFTPConnection::storeReceived(std::span<const uint8_t> bytes) {
  files::FileTable& table = files::FileTable::current();
  if (ftpWriteFileNum <= 0 || ftpDataFailure || !table.isOpenForWriting(ftpWriteFileNum)) return;
  try {
    table.write(ftpWriteFileNum, bytes);
  } catch (const Error& e) {
    ftpDataFailure = e;
  }
}

void frmKvInetFTPConnection::myTCPData_SendComplete() {
  ++ftpProgress;
  ftpDataSendComplete = true;
}

void frmKvInetFTPConnection::myTCPData_Error(int32_t number, const String& description) {
  ++ftpProgress;
  ftpDataConnected = false;
  ftpDataFailure = FtpError::session(u"The data connection failed: " + description + u" (socket error " +
                                     Variant(number).toString() + u").");
}

}  // namespace skein10
