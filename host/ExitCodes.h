#pragma once
// The `skein10` program's exit statuses. Where a meaning is the same as one of
// curl's, the number is curl's too, so scripts written for it read ours alike.
// A session ended by SIGINT, SIGTERM or SIGHUP has no status of its own: after
// closing the session the program ends by that signal (see Interruption.h).

namespace skein10::host::exitcode {

inline constexpr int kOk = 0;
inline constexpr int kError = 1;              // anything not listed below
inline constexpr int kUsage = 2;              // a mistake in the command line
inline constexpr int kHostNotResolved = 6;
inline constexpr int kConnectFailed = 7;      // refused, unreachable, reset or closed by the server
inline constexpr int kRemoteFolder = 9;       // the server refused a cd step (CWD)
inline constexpr int kLocalWrite = 23;        // a listing, download or standard output could not be written
inline constexpr int kLocalRead = 26;         // an upload's local file could not be read
inline constexpr int kTimedOut = 28;          // the server did not answer within the time-out
inline constexpr int kTlsFailed = 35;         // the TLS handshake or connection failed
inline constexpr int kTlsRefused = 64;        // the server refused AUTH TLS, PBSZ or PROT
inline constexpr int kLoginRefused = 67;      // 530 or 332 to USER or PASS
inline constexpr int kTrustStoreUnreadable = 77;  // --cacert or SSL_CERT_FILE can't be read
inline constexpr int kRemoteFileNotFound = 78;    // 550 to a download (RETR), or no file matched a pattern

}  // namespace skein10::host::exitcode
