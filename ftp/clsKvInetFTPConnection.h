#pragma once
// One FTP client session: settings, the bounded log, the control dialogue and
// the data connection, all on the caller's thread.

#include <functional>
#include <memory>

#include "ftp/frmKvInetFTPConnection.h"
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

 private:
  // How a wait is bounded by TimeOut: from its start (a command's reply), or
  // from the last event on either connection (the data connection's waits,
  // which also end at once on an error reply or a data connection failure).
  enum class Bound { Reply, Progress };

  // Runs a member that talks to the server: refuses a call made while
  // another member of this session is waiting.
  template <class Result, class Body>
  Status command(Result* result, Body&& body);
  // One command made of a keyword and the caller's argument.
  Status argumentCommand(Variant* result, StringView keyword, const String& argument);
  int32_t requireTimeOut() const;

  void SendCommand(const String& command);
  void SendCommand(const String& command, const String& logged);
  void WaitReply();
  void Wait(const std::function<bool()>& done, Bound bound);

  void connectControl(const String& server, int32_t port);

  // Sets the data connection up in the chosen mode and sends `command`;
  // returns once the server accepted the command and the connection opened.
  void OpenDataConnection(const String& command);
  void resetDataSocket();
  void WaitDataConnected();
  void WaitDataClosed();
  void WaitSendComplete();
  void WaitServerClosed();

  static constexpr std::size_t kUploadBlock = 3072;
  void receive(const String& command, const String& localFileName);
  void sendBlocks(files::NumberedFile& file);

  int32_t MaxLogSize_ = 40000;
  int32_t TimeOut_ = 20000;
  String ConnectionMode_;
  bool busy_ = false;
  std::unique_ptr<frmKvInetFTPConnection> sink_;
};

}  // namespace skein10
