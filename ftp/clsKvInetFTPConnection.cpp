#include "ftp/clsKvInetFTPConnection.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <exception>
#include <initializer_list>
#include <utility>

#include "ftp/FtpDownloadTarget.h"
#include "ftp/FtpError.h"
#include "ftp/FtpScopedValue.h"
#include "ftp/FtpPassiveReply.h"
#include "platform/events/EventLoop.h"
#include "skein10/Boundary.h"
#include "skein10/Events.h"
#include "skein10/Identifiers.h"

namespace skein10 {

namespace {

constexpr char16_t kBusy[] =
    u"The FTP session is waiting for the server; its members can't be called from an event handler "
    u"during that wait.";
constexpr char16_t kUnsafeArgument[] = u"A command argument can't contain CR, LF or NUL characters.";
constexpr char16_t kBadTimeOut[] = u"The TimeOut must be greater than 0 milliseconds.";
constexpr char16_t kBadPort[] = u"The port must be a number from 1 to 65535.";
constexpr char16_t kLineEnd[] = u"\r\n";
constexpr char16_t kTlsRefused[] = u"The server refused TLS (AUTH TLS): ";
constexpr char16_t kCutShort[] =
    u"The data connection ended without TLS's closing alert: its data may have been cut short.";

// Cuts the data connection short when a transfer fails, so the server sees
// an aborted transfer, never a normal end of a partial upload.
class DataAbort {
 public:
  explicit DataAbort(TcpSocket& data) : data_(data) {}
  ~DataAbort() {
    if (std::uncaught_exceptions() > exceptions_) data_.Abort();
  }
  DataAbort(const DataAbort&) = delete;
  DataAbort& operator=(const DataAbort&) = delete;

 private:
  TcpSocket& data_;
  int exceptions_ = std::uncaught_exceptions();
};

// Refuses arguments that would end the command line early and smuggle in
// commands of their own.
void requireArguments(std::initializer_list<const String*> arguments) {
  for (const String* argument : arguments) {
    if (argument->find_first_of(StringView(u"\r\n\0", 3)) != String::npos) {
      throw FtpError::invalidCall(kUnsafeArgument);
    }
  }
}

int32_t portNumber(const String& text) {
  int32_t port = Variant(text).toLong();
  if (port < 1 || port > 65535) throw FtpError::invalidCall(kBadPort);
  return port;
}

String upperCase(String text) {
  for (char16_t& c : text) {
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  }
  return text;
}

// "PORT h1,h2,h3,h4,p1,p2" for a dotted IPv4 address and a port;
// "EPRT |2|address|port|" for an IPv6 one.
String portCommand(String address, int32_t port) {
  if (address.find(u':') != String::npos) return u"EPRT |2|" + address + u"|" + Variant(port).toString() + u"|";
  std::replace(address.begin(), address.end(), u'.', u',');
  return u"PORT " + address + u"," + Variant(port / 256).toString() + u"," + Variant(port % 256).toString();
}

}  // namespace

ObjectRef createFtpConnection() { return makeRef<clsKvInetFTPConnection>(); }

clsKvInetFTPConnection::clsKvInetFTPConnection() {
  check(put_ConnectionMode(u"PASV"));
  sink_ = std::make_unique<frmKvInetFTPConnection>(*this);
  sink_->myTimeout.setEnabled(false);
}

clsKvInetFTPConnection::~clsKvInetFTPConnection() = default;

const InterfaceInfo& clsKvInetFTPConnection::interfaceInfo() const {
  using I = _clsKvInetFTPConnection;
  using K = MemberKind;
  static const InterfaceInfo info{u"_clsKvInetFTPConnection", ids::kIidClsKvInetFTPConnection, {
      member<&I::get_ConnectionMode>(u"ConnectionMode", K::Get, 0x68030003),
      member<&I::put_ConnectionMode>(u"ConnectionMode", K::Let, 0x68030003),
      member<&I::get_TimeOut>(u"TimeOut", K::Get, 0x68030002),
      member<&I::put_TimeOut>(u"TimeOut", K::Let, 0x68030002),
      member<&I::get_MaxLogSize>(u"MaxLogSize", K::Get, 0x68030001),
      member<&I::put_MaxLogSize>(u"MaxLogSize", K::Let, 0x68030001),
      member<&I::get_LogData>(u"LogData", K::Get, 0x68030000),
      member<&I::Connect>(u"Connect", K::Method, 0x60030006, {u"eServer", u"ePort", u"eLogin", u"ePass"}),
      member<&I::Disconnect>(u"Disconnect", K::Method, 0x60030007),
      member<&I::Rename>(u"Rename", K::Method, 0x60030008, {u"SourceFileName", u"DestFileName"}),
      member<&I::ChangeDirectory>(u"ChangeDirectory", K::Method, 0x60030009, {u"ToFolder"}),
      member<&I::MakeDirectory>(u"MakeDirectory", K::Method, 0x6003000A, {u"NewFolder"}),
      member<&I::RemoveFile>(u"RemoveFile", K::Method, 0x6003000B, {u"FileName"}),
      member<&I::RemoveDirectory>(u"RemoveDirectory", K::Method, 0x6003000C, {u"FolderName"}),
      member<&I::TransferType>(u"TransferType", K::Method, 0x6003000D, {u"TransType"}),
      member<&I::ListContents>(u"ListContents", K::Method, 0x6003000E, {u"LocalFileName"}),
      member<&I::GetFile>(u"GetFile", K::Method, 0x6003000F, {u"RemoteFileName", u"LocalFileName"}),
      member<&I::PutFile>(u"PutFile", K::Method, 0x60030010, {u"RemoteFileName", u"LocalFileName"}),
  }};
  return info;
}

// --- settings and log ---

template <class Body>
Status clsKvInetFTPConnection::onOwnerThread(Body&& body) {
  return guarded([&] {
    thread_.require();
    body();
  });
}

template <class Result, class Body>
Status clsKvInetFTPConnection::onOwnerThread(Result* result, Body&& body) {
  return guarded(result, [&] {
    thread_.require();
    return body();
  });
}

template <class Result, class Body>
Status clsKvInetFTPConnection::command(Result* result, Body&& body) {
  return onOwnerThread(result, [&] {
    if (busy_) throw FtpError::invalidCall(kBusy);
    FtpScopedValue<bool> busy(busy_, true, false);
    return body();
  });
}

Status clsKvInetFTPConnection::get_ConnectionMode(String* result) {
  return onOwnerThread(result, [&] { return upperCase(frmKvInetFTPConnection::ftpStripChar(ConnectionMode_, u' ')); });
}

Status clsKvInetFTPConnection::put_ConnectionMode(String value) {
  return onOwnerThread([&] { ConnectionMode_ = upperCase(frmKvInetFTPConnection::ftpStripChar(value, u' ')); });
}

Status clsKvInetFTPConnection::get_TimeOut(int32_t* result) {
  return onOwnerThread(result, [&] { return TimeOut_; });
}

Status clsKvInetFTPConnection::put_TimeOut(int32_t value) {
  return onOwnerThread([&] { TimeOut_ = value; });
}

Status clsKvInetFTPConnection::get_MaxLogSize(int32_t* result) {
  return onOwnerThread(result, [&] { return MaxLogSize_; });
}

Status clsKvInetFTPConnection::put_MaxLogSize(int32_t value) {
  return onOwnerThread([&] { MaxLogSize_ = value; });
}

Status clsKvInetFTPConnection::get_LogData(String* result) {
  return onOwnerThread(result, [&] { return sink_->ftpLogData.text(); });
}

// --- connect and disconnect ---

Status clsKvInetFTPConnection::Connect(String eServer, String ePort, String eLogin, String ePass,
                                       Variant* result) {
  return command(result, [&] {
    requireArguments({&eLogin, &ePass});
    int32_t port = portNumber(ePort);
    requireTimeOut();
    const FtpServerAddress server = FtpServerAddress::parse(eServer);
    connectControl(server, port);
    WaitReply();
    if (server.security == FtpServerAddress::Security::Explicit) secureControl();
    SendCommand(u"USER " + eLogin);
    SendCommand(u"PASS " + ePass, u"PASS ********");
    if (!tlsPeer_.empty()) {
      SendCommand(u"PBSZ 0");
      SendCommand(u"PROT P");
    }
    return Variant();
  });
}

void clsKvInetFTPConnection::connectControl(const FtpServerAddress& server, int32_t port) {
  TcpSocket& tcp = sink_->myTCP;
  if (tcp.State() != SocketState::Closed) tcp.Close();
  sink_->resetControl();
  replyTimes_ = {};  // another server, or the same one anew
  tlsPeer_ = server.security == FtpServerAddress::Security::Plain ? String() : server.peerName;
  tcp.setRemoteHost(server.host);
  tcp.setLocalPort(0);
  tcp.setRemotePort(port);
  if (server.security == FtpServerAddress::Security::Implicit) {
    tcp.ConnectTls(tlsPeer_);
  } else {
    tcp.Connect();
  }
}

// A refusal, of any kind, ends Connect before the log-in: nothing goes in
// clear text after the greeting.
void clsKvInetFTPConnection::secureControl() {
  try {
    SendCommand(u"AUTH TLS");
  } catch (const Error& refused) {
    throw FtpError::session(kTlsRefused + refused.description(), refused.failure());
  }
  sink_->myTCP.StartTls(tlsPeer_);
  Wait([this] { return sink_->ftpControl.secured; }, Bound::Reply);
}

bool clsKvInetFTPConnection::controlIsIPv6() const {
  return sink_->myTCP.RemoteHostIP().find(u':') != String::npos;
}

Status clsKvInetFTPConnection::Disconnect(Variant* result) {
  return command(result, [&] {
    TcpSocket& tcp = sink_->myTCP;
    tcp.SendData(String(u"QUIT") + kLineEnd);
    if (tcp.State() != SocketState::Closed) tcp.Close();
    return Variant();
  });
}

// --- the control channel ---

int32_t clsKvInetFTPConnection::requireTimeOut() const {
  if (TimeOut_ <= 0) throw FtpError::invalidCall(kBadTimeOut);
  return TimeOut_;
}

template <class Body>
auto clsKvInetFTPConnection::naming(const String& command, Body&& body) {
  try {
    return body();
  } catch (const Error& e) {
    throw FtpError::during(e, commandVerb(command));
  }
}

String clsKvInetFTPConnection::SendCommand(const String& command) { return SendCommand(command, command); }

// `logged` is what the log shows of the command (the password masked).
String clsKvInetFTPConnection::SendCommand(const String& command, const String& logged) {
  requireTimeOut();
  sink_->ftpEventFlag = true;
  sink_->myTCP.SendData(command + kLineEnd);
  replyTimes_.asked();
  events::EventLoop::current()->expectAnswer(replyTimes_);  // the wait for its reply may spin
  sink_->ftpAddToLog(logged + kLineEnd);
  return naming(command, [&] { return awaitReply(sink_->ftpControl.replies.expect(command)); });
}

// The greeting is owed like the reply to a command.
void clsKvInetFTPConnection::WaitReply() {
  sink_->ftpEventFlag = true;
  awaitReply(sink_->ftpControl.replies.expect(StringView()));
}

String clsKvInetFTPConnection::awaitReply(FtpReplyLedger::Ticket ticket) {
  FtpControlWait& control = sink_->ftpControl;
  // A reply that pays off an earlier command (one that timed out) goes on
  // updating the shared fields, but only this ticket's payment ends the wait.
  control.answer.reset();
  FtpScopedValue<FtpReplyLedger::Ticket> awaited(control.awaited, ticket, 0);
  Wait([&control] { return control.answer.has_value(); }, Bound::Reply);
  replyTimes_.answered();
  FtpAnswer answer = *std::exchange(control.answer, std::nullopt);
  if (answer.error == 1) {
    throw FtpError::session(std::move(answer.reason), Failure{FailureKind::ServerReply, {}, std::move(answer.reply)});
  }
  return std::move(answer.reason);
}

// The one wait: pumps until `done` holds, the reply timer fires, or the
// control connection fails; a data wait also ends on an error reply about
// its transfer and on a failure of the data connection, and its timer runs
// from the last progress instead of from the start.
void clsKvInetFTPConnection::Wait(const std::function<bool()>& done, Bound bound) {
  frmKvInetFTPConnection& s = *sink_;
  const bool data = bound == Bound::Progress;
  s.ftpControl.timedOut = false;
  s.myTimeout.setInterval(requireTimeOut());
  s.myTimeout.setEnabled(true);
  uint64_t progress = s.ftpTransfer.progress;
  bool finished = false;
  const auto ended = [&] {
    if (data && s.ftpTransfer.progress != progress) {
      progress = s.ftpTransfer.progress;
      s.myTimeout.setEnabled(true);
    }
    finished = done();
    return finished || s.ftpControl.timedOut || controlLost(bound) ||
           (data && (s.ftpTransfer.serverError || s.ftpTransfer.failure));
  };
  pumpUntil(std::ref(ended));  // by reference: a wait (one per upload block) allocates nothing
  s.myTimeout.setEnabled(false);
  raiseWaitEnd(finished, bound);
}

// Once the server has reported the end of a transfer, the rest of it (the
// data connection's end) needs no control connection any more.
bool clsKvInetFTPConnection::controlLost(Bound bound) const {
  return sink_->ftpControl.failure && !(bound == Bound::Progress && sink_->ftpDataServerClosed);
}

void clsKvInetFTPConnection::raiseWaitEnd(bool finished, Bound bound) {
  frmKvInetFTPConnection& s = *sink_;
  if (bound == Bound::Progress) {
    if (s.ftpTransfer.serverError) throw *s.ftpTransfer.serverError;
    if (s.ftpTransfer.failure) throw *s.ftpTransfer.failure;
  }
  if (finished) return;
  if (controlLost(bound)) throw *s.ftpControl.failure;
  throw FtpError::session(s.ftpEventReason, Failure{FailureKind::TimedOut, {}, {}});  // as the timer wrote it
}

// --- directory and file commands ---

Status clsKvInetFTPConnection::Rename(String SourceFileName, String DestFileName, String* result) {
  return command(result, [&] {
    requireArguments({&SourceFileName, &DestFileName});
    SendCommand(u"RNFR " + SourceFileName);  // raises RNFR's refusal
    SendCommand(u"RNTO " + DestFileName);
    return String();
  });
}

Status clsKvInetFTPConnection::ChangeDirectory(String ToFolder, Variant* result) {
  return argumentCommand(result, u"CWD ", ToFolder);
}

Status clsKvInetFTPConnection::MakeDirectory(String NewFolder, Variant* result) {
  return argumentCommand(result, u"MKD ", NewFolder);
}

Status clsKvInetFTPConnection::RemoveFile(String FileName, Variant* result) {
  return argumentCommand(result, u"DELE ", FileName);
}

Status clsKvInetFTPConnection::RemoveDirectory(String FolderName, Variant* result) {
  return argumentCommand(result, u"RMD ", FolderName);
}

Status clsKvInetFTPConnection::argumentCommand(Variant* result, StringView keyword, const String& argument) {
  return command(result, [&] {
    requireArguments({&argument});
    SendCommand(String(keyword) + argument);
    return Variant();
  });
}

Status clsKvInetFTPConnection::TransferType(TransferModes TransType, String* result) {
  return command(result, [&] {
    if (TransType == ftp_BINARY) SendCommand(u"TYPE I");
    if (TransType == ftp_ASCII) SendCommand(u"TYPE A");
    return String();
  });
}

// --- the data connection ---

void clsKvInetFTPConnection::OpenDataConnection(const String& command) {
  frmKvInetFTPConnection& s = *sink_;
  // A connection left from an earlier transfer goes first, so none of its
  // events can reach this one.
  resetDataSocket();
  s.ftpDataConnected = false;
  s.ftpDataSendComplete = false;
  s.ftpDataServerClosed = false;
  s.ftpTransfer.reset();
  if (activeMode()) {
    s.myTCPData.setLocalIP(s.myTCP.LocalIP());
    s.myTCPData.Listen();
    SendCommand(portCommand(s.myTCPData.LocalIP(), s.myTCPData.LocalPort()));
    SendCommand(command);
    WaitDataConnected();
  } else {
    // The server's own address, whatever host the reply names.
    s.myTCPData.setRemotePort(passivePort());
    s.myTCPData.setRemoteHost(s.myTCP.RemoteHostIP());
    s.myTCPData.Connect();
    WaitDataConnected();
    SendCommand(command);
  }
  secureDataConnection();
}

int32_t clsKvInetFTPConnection::passivePort() {
  if (controlIsIPv6()) return FtpPassiveReply::parseExtended(SendCommand(u"EPSV")).port;
  return FtpPassiveReply::parse(SendCommand(u"PASV")).port;
}

// The handshake comes after the transfer command's reply, in both modes, as
// FTP over TLS has it: some servers start the data connection's TLS only
// then, and drop a connection whose client hello comes earlier.
void clsKvInetFTPConnection::secureDataConnection() {
  if (tlsPeer_.empty()) return;
  frmKvInetFTPConnection& s = *sink_;
  s.myTCPData.StartTls(tlsPeer_, s.myTCP.Session());
  Wait([this] { return sink_->ftpTransfer.secured; }, Bound::Progress);
}

void clsKvInetFTPConnection::resetDataSocket() {
  TcpSocket& data = sink_->myTCPData;
  if (data.State() != SocketState::Closed) data.Close();
  data.setLocalPort(0);
}

void clsKvInetFTPConnection::WaitDataConnected() {
  Wait([this] { return sink_->ftpTransfer.opened; }, Bound::Progress);
}

void clsKvInetFTPConnection::WaitDataClosed() {
  Wait([this] { return !sink_->ftpDataConnected; }, Bound::Progress);
}

void clsKvInetFTPConnection::WaitSendComplete() {
  Wait([this] { return sink_->ftpDataSendComplete; }, Bound::Progress);
  sink_->ftpDataSendComplete = false;
}

void clsKvInetFTPConnection::WaitServerClosed() {
  Wait([this] { return sink_->ftpDataServerClosed; }, Bound::Progress);
  sink_->ftpDataServerClosed = false;
}

// --- listing and transfers ---

Status clsKvInetFTPConnection::ListContents(String LocalFileName, String* result) {
  return command(result, [&] {
    receive(u"LIST", LocalFileName);
    return String();
  });
}

Status clsKvInetFTPConnection::GetFile(String RemoteFileName, String LocalFileName, String* result) {
  return command(result, [&] {
    requireArguments({&RemoteFileName});
    receive(u"RETR " + RemoteFileName, LocalFileName);
    return String();
  });
}

// Runs a listing or download into the local file; the file gets the new
// content only when the whole transfer succeeded.
void clsKvInetFTPConnection::receive(const String& command, const String& localFileName) {
  FtpDownloadTarget target(localFileName, sink_->ftpWriteFileNum, files::Patience(requireTimeOut()));
  DataAbort abort(sink_->myTCPData);
  naming(command, [&] {
    OpenDataConnection(command);
    WaitDataClosed();
    WaitServerClosed();
    requireWholeData();
  });
  target.commit();
}

// A TLS data connection that ended without the closing alert may have been
// cut short by anyone on the path, whatever the server reports: it counts as
// whole only when its 1xx reply stated the size and exactly that many bytes
// arrived. A plain connection's end is all there is to go by.
void clsKvInetFTPConnection::requireWholeData() const {
  const frmKvInetFTPConnection& s = *sink_;
  if (s.ftpTransfer.cutShort && s.ftpTransfer.statedSize != s.ftpTransfer.received) {
    throw FtpError::session(kCutShort, Failure{FailureKind::DataConnection, {}, {}});
  }
}

Status clsKvInetFTPConnection::PutFile(String RemoteFileName, String LocalFileName, String* result) {
  return command(result, [&] {
    requireArguments({&RemoteFileName});
    files::NumberedFile file(LocalFileName, files::FileMode::BinaryRead, files::Patience(requireTimeOut()));
    FtpScopedValue<int16_t> bound(sink_->ftpWriteFileNum, file.number(), 0);
    DataAbort abort(sink_->myTCPData);
    send(u"STOR " + RemoteFileName, file);
    return String();
  });
}

// Runs an upload from the open local file.
void clsKvInetFTPConnection::send(const String& command, files::NumberedFile& file) {
  naming(command, [&] {
    OpenDataConnection(command);
    sendBlocks(file);
    // A TLS upload ends with the closing alert, so the server can tell the
    // whole file from a cut connection.
    if (sink_->myTCPData.IsTls()) {
      sink_->myTCPData.SendCloseNotify();
      WaitSendComplete();
    }
    sink_->myTCPData.Close();
    WaitServerClosed();
  });
}

// Sends the file in blocks of kUploadBlock bytes and then the rest, with one
// block in flight at a time: exactly the length a regular file had at the
// start (one that ends sooner fails with 62, and the server never sees the
// upload end normally), or everything up to the end of a FIFO or device.
void clsKvInetFTPConnection::sendBlocks(files::NumberedFile& file) {
  const bool sized = file.isRegular();
  uint64_t left = sized ? static_cast<uint64_t>(file.length()) : UINT64_MAX;
  std::array<uint8_t, kUploadBlock> block;
  sink_->myTCPData.setStreaming(true);  // the Close after the last block pushes it out
  while (left > 0) {
    const std::size_t wanted = static_cast<std::size_t>(std::min<uint64_t>(block.size(), left));
    const std::size_t got = file.read(std::span(block).first(wanted));
    if (got < wanted && sized) throw Error::runtime(errc::InputPastEndOfFile);
    if (got == 0) return;
    sink_->myTCPData.SendData(std::span<const uint8_t>(block.data(), got));
    WaitSendComplete();
    left -= got;
  }
}

}  // namespace skein10
