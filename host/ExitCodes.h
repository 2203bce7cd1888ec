#pragma once
// The `skein10` program's exit statuses. Where a meaning is the same as one of
// curl's, the number is curl's too, so scripts written for it read ours alike.

namespace skein10::host::exitcode {

inline constexpr int kOk = 0;
inline constexpr int kError = 1;              // anything not listed below
inline constexpr int kUsage = 2;              // a mistake in the command line
inline constexpr int kHostNotResolved = 6;
inline constexpr int kConnectFailed = 7;      // refused, or the server is unreachable
inline constexpr int kRemoteFolder = 9;       // the server refused a cd step (CWD)
inline constexpr int kLocalWrite = 23;        // a listing or download could not be written locally
inline constexpr int kLocalRead = 26;         // an upload's local file could not be read
inline constexpr int kTimedOut = 28;          // the server did not answer within the time-out
inline constexpr int kLoginRefused = 67;
inline constexpr int kRemoteFileNotFound = 78;  // 550 to a download (RETR)
inline constexpr int kInterrupted = 130;      // Ctrl-C, after the session was closed

}  // namespace skein10::host::exitcode
