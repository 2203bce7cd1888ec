#pragma once
// The FTP client session, as host programs call it directly.
//
// One object is one session with one server. Every member runs on the
// caller's thread and blocks until the server has answered; while it waits it
// pumps the thread's events (so the host's own timers and callbacks run), and
// it fails with an error when the server reports one, goes quiet, or drops
// the connection.
//
// One object, one thread: the session's sockets and timer report to the
// event loop of the thread that created it, and only that thread pumps them.
// Call every member (properties too) on that thread; a call from any other
// thread fails at once with runtime error 1001 ("The object belongs to
// another thread: ...") and changes nothing. Separate sessions on separate
// threads are independent; several sessions may share one thread.
//
// Replies belong to their commands: each command waits for its own reply. A
// reply that arrives after its command timed out is still logged, but never
// answers a later command; a server that never answers leaves later commands
// failing by their time-out, never succeeding on another command's reply.
//
// Errors:
//  - number 8, source "FTP Command":
//      * the server answered with an error reply (the description is the
//        reply's message);
//      * nothing happened for TimeOut milliseconds ("The servers response has
//        timed out."): for a command, from the moment it was sent; for a
//        transfer, since the last data or reply about the transfer;
//      * the control connection failed: at once, with "The connection to the
//        server failed: <reason> (socket error N)." (refused, reset, host not
//        found) or "The server closed the connection.";
//      * the data connection failed ("The data connection failed: ...").
//  - number 5, source "FTP Command", before anything is sent:
//      * a command argument holding CR, LF or NUL;
//      * a member called from an event handler while a member of the same
//        session is still waiting (the waiting member is not disturbed);
//      * TimeOut of 0 or less: "The TimeOut must be greater than 0
//        milliseconds." TimeOut is read when each wait begins: a wait already
//        pending keeps the bound it started with, and the next wait fails so;
//      * an ePort outside 1..65535: "The port must be a number from 1 to 65535."
//  - Connect with an ePort that is not a number: 13 "Type mismatch"; one
//    beyond 32 bits: 6 "Overflow". Nothing is connected then.
//  - 1001: a member called on another thread than the session's (see above).
//  - local file errors of ListContents, GetFile and PutFile (53, 61, 70, 75,
//    76, ...), before any command is sent when the file can't be opened. A
//    FIFO waits at most TimeOut for the program at its other end (then 75);
//    a write past the process's file-size limit fails with 61 like a full
//    disk (the host's signal handling is left alone); an upload whose file
//    ends before the length it had at the start fails with 62 "Input past
//    end of file". A failed transfer resets its data connection, so the
//    server never takes a partial upload for a complete one.
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
