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
// A preliminary reply (1xx) answers only LIST, RETR and STOR (the transfer
// starts); to any other command it is logged and the command still waits
// for its final reply. A transfer's final reply (226, or an error) ends it
// whether or not a 1xx came first. A final reply whose code is outside the
// session's reply table ends its command's wait by its class: 4xx and 5xx
// fail (the description is the reply line), 2xx and 3xx succeed.
//
// Errors:
//  - number 8, source "FTP Command":
//      * the server answered with an error reply (the description is the
//        reply's message, or the reply line itself for a code the reply
//        table doesn't know);
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
// Every error also names its cause (Error::failure(), skein10/Failure.h), so
// a host never reads the description to act on it: ServerReply with the
// reply line and the command it answered ("PASS", "RETR", ...), TimedOut,
// HostNotFound, Connection (the control connection refused, reset or
// closed), Tls (a handshake or certificate refused, on either connection),
// DataConnection, LocalFile; Unclassified for the calls refused before
// anything is sent.
//
// A connection the session closes normally (the data connection after an
// upload, the control connection after QUIT) ends in order: everything sent
// reaches the server before the end, even when the server still sends
// something of its own (a TLS session ticket), and the session reads and
// drops what still comes until the server closes too (at most 10 s or 1 MiB,
// while the thread pumps), then lets go of the connection. At most 8 such
// connections of a thread wait for their server; closing a ninth resets the
// oldest, so a server that never closes can't make descriptors pile up.
//
// ListContents and GetFile give the local file its new content only when the
// transfer succeeded; a failed transfer leaves an existing file as it was.
// Until then the content is written beside the file, in a new file that only
// its owner may read or write (mode 0600); on success it replaces the file
// with the mode the file had (a new file: 0666 less the umask).
//
// TLS and IPv6 (chosen by Connect's eServer; nothing else changes):
//  - "ftpes://HOST": explicit TLS on ePort. After the greeting the session
//    sends AUTH TLS, does the TLS handshake, then USER and PASS inside TLS,
//    then PBSZ 0 and PROT P, so every data connection is protected too.
//  - "ftps://HOST": implicit TLS; the connection is TLS from its first byte
//    (ePort usually 990). Then USER, PASS, PBSZ 0, PROT P as above.
//  - A bare host name or address is plain FTP, exactly as before. An IPv6
//    literal is "[::1]" after a scheme, "::1" or "[::1]" without one; a name
//    resolves to IPv4 and IPv6 and the first address that connects is used.
//  - The server's certificate is verified against the system's trust store
//    (OpenSSL's SSL_CERT_FILE and SSL_CERT_DIR, read when a session first
//    connects with a given store, choose another) and must name the host
//    given (or its IP address). There is no way to turn this off. TLS 1.2 and
//    1.3.
//  - Every data connection (both modes) does its TLS handshake, as the
//    client, once the transfer command has its reply, resuming the control
//    connection's session (servers that require session reuse accept it);
//    an upload ends with TLS's closing alert before the connection closes.
//  - A listing or download whose data connection ends without TLS's closing
//    alert (a plain TCP end, which anyone on the path can forge) fails with
//    number 8, "The data connection ended without TLS's closing alert: its
//    data may have been cut short.", even when the server reports 226;
//    unless the 1xx reply stated the size ("(N bytes)") and exactly that
//    many bytes arrived.
//  - On an IPv6 control connection passive mode sends EPSV (the data
//    connection goes to the control connection's peer, at the port of the
//    229 reply) and active mode EPRT |2|ADDRESS|PORT|; only the control
//    connection's peer may connect, as with PORT. IPv4 keeps PASV and PORT.
//  - 234 (to AUTH TLS) and 229 (to EPSV) are outside the reply table and
//    taken as successes by their class. The log shows AUTH TLS, PBSZ, PROT,
//    EPSV and EPRT like any command; the TLS handshake is not logged.
// Errors of Connect:
//  - an unknown scheme ("sftp://..."), or none after "://": number 5 before
//    anything is connected;
//  - AUTH TLS refused (an error reply or no answer): number 8, "The server
//    refused TLS (AUTH TLS): " and the reply's message; USER and PASS are not
//    sent;
//  - a certificate not accepted or a failed handshake: number 8 before USER,
//    as a failure of the connection naming the reason ("The connection to
//    the server failed: The server's TLS certificate was refused: certificate
//    has expired (socket error 40200)."; likewise "hostname mismatch",
//    "self-signed certificate", "unable to get local issuer certificate", or
//    "The TLS handshake failed: ...").
// A data connection whose handshake fails ends the transfer with number 8,
// "The data connection failed: ..." and the reason.

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
  // Milliseconds after which a wait fails with the time-out; default 20000.
  // It bounds the wait for each reply (from the moment its command was sent,
  // the greeting from the start of Connect, which includes resolving the
  // name and connecting), a TLS handshake, and each wait of a transfer from
  // its last progress (data, or a reply about the transfer), so a transfer
  // that keeps moving may take any time. A FIFO or device opened as a local
  // file waits at most this long for its other end. Read when each wait
  // begins.
  virtual Status get_TimeOut(int32_t* result) = 0;
  virtual Status put_TimeOut(int32_t value) = 0;
  // Length limit of LogData in characters; default 40000. Each addition
  // (a command sent, a reply chunk received) that would make the log longer
  // than MaxLogSize first drops as many of its oldest characters as it adds:
  // so the log holds its length once full, keeps a length it reached when
  // MaxLogSize is lowered, and holds one addition longer than the limit
  // whole.
  virtual Status get_MaxLogSize(int32_t* result) = 0;
  virtual Status put_MaxLogSize(int32_t value) = 0;
  // The dialogue on the control connection: each command sent (the password
  // masked) and each reply chunk as it arrived.
  virtual Status get_LogData(String* result) = 0;

  virtual Status Connect(String eServer, String ePort, String eLogin, String ePass, Variant* result) = 0;
  virtual Status Disconnect(Variant* result) = 0;
  // Sends "RNFR SourceFileName" and, once its own reply is a success,
  // "RNTO DestFileName"; fails with RNFR's error (RNTO not sent) or RNTO's.
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
