#pragma once
// The FTP client session, as host programs call it directly.
//
// One object is one session with one server. Every member runs on the
// caller's thread and blocks until the server has answered; while it waits it
// pumps the thread's events (so the host's own timers and callbacks run), and
// it fails with an error when the server reports one or goes quiet.
//
// Errors:
//  - number 8, source "FTP Command": the server answered with an error reply
//    (the description is the reply's message), or nothing happened on the
//    session's connections for TimeOut milliseconds ("The servers response has
//    timed out."), or the data connection failed (the description names the
//    socket failure).
//  - number 5, source "FTP Command", before anything is sent:
//      * a command argument holding CR, LF or NUL;
//      * a member called from an event handler while a member of the same
//        session is still waiting (the waiting member is not disturbed);
//      * TimeOut of 0 or less: "The TimeOut must be greater than 0
//        milliseconds." (every waiting member fails at once);
//      * an ePort outside 1..65535: "The port must be a number from 1 to 65535."
//  - Connect with an ePort that is not a number: 13 "Type mismatch"; one
//    beyond 32 bits: 6 "Overflow". Nothing is connected then.
//  - local file errors of ListContents, GetFile and PutFile (53, 61, 70, 75,
//    76, ...), before any command is sent when the file can't be opened.
//
// ListContents and GetFile give the local file its new content only when the
// transfer succeeded; a failed transfer leaves an existing file as it was.

#include <cstdint>

#include "skein10/Enums.h"
#include "skein10/Object.h"
#include "skein10/Status.h"
#include "skein10/String.h"
#include "skein10/Variant.h"
#include "skein10/Export.h"

namespace skein10 {

class SKEIN10_API _clsKvInetFTPConnection : public skein10::Object {
 public:
  // "PORT" (any case, spaces around allowed) selects active mode, anything
  // else passive mode; read back trimmed and in upper case.
  virtual Status get_ConnectionMode(String* result) = 0;
  virtual Status put_ConnectionMode(String value) = 0;
  // Milliseconds without progress after which a wait fails; default 20000.
  virtual Status get_TimeOut(int32_t* result) = 0;
  virtual Status put_TimeOut(int32_t value) = 0;
  // Length limit of LogData in characters; default 40000.
  virtual Status get_MaxLogSize(int32_t* result) = 0;
  virtual Status put_MaxLogSize(int32_t value) = 0;
  // The dialogue on the control connection: each command sent (the password
  // masked) and each reply chunk as it arrived.
  virtual Status get_LogData(String* result) = 0;

  virtual Status Connect(String eServer, String ePort, String eLogin, String ePass, Variant* result) = 0;
  virtual Status Disconnect(Variant* result) = 0;
  virtual Status Rename(String SourceFileName, String DestFileName, String* result) = 0;
  virtual Status ChangeDirectory(String ToFolder, Variant* result) = 0;
  virtual Status MakeDirectory(String NewFolder, Variant* result) = 0;
  virtual Status RemoveFile(String FileName, Variant* result) = 0;
  virtual Status RemoveDirectory(String FolderName, Variant* result) = 0;
  // ftp_BINARY sends "TYPE I", ftp_ASCII "TYPE A"; other values send nothing.
  // No TYPE is ever sent unless the host calls this: a session stays in the
  // server's default type, ASCII on many servers, which changes line ends in
  // transferred files. Call TransferType(ftp_BINARY) before moving raw bytes.
  virtual Status TransferType(TransferModes TransType, String* result) = 0;
  virtual Status ListContents(String LocalFileName, String* result) = 0;
  virtual Status GetFile(String RemoteFileName, String LocalFileName, String* result) = 0;
  virtual Status PutFile(String RemoteFileName, String LocalFileName, String* result) = 0;
};

}  // namespace skein10
