#pragma once
// One `skein10 ftp` session on a session object: connect and log in, the
// default transfer type, each step (with its progress on standard error and
// "-" as standard input or output), disconnect. A failure becomes a
// CommandFailure that names the failing step (and within a many-file step,
// the file or folder), quotes the server's reply that refused it, and
// carries the exit status of what failed.

#include <cstddef>
#include <exception>
#include <optional>
#include <string>

#include "host/FtpCommand.h"
#include "host/FtpFailure.h"
#include "host/FtpLogin.h"
#include "host/ProgressLine.h"
#include "host/RemoteFolders.h"
#include "skein10/Object.h"

namespace skein10::host {

class FtpSession : private RemoteFolders {
 public:
  FtpSession(Object& session, const FtpInvocation& job, Login login);

  // Throws CommandFailure at the first step that fails.
  void run();

 private:
  // One member call that failed inside a step: its role, its error and
  // what it concerned (a file or folder of a many-file step; else empty).
  struct CallFailure : std::exception {
    CallFailure(StepRole r, Error e, std::string s) : role(r), error(std::move(e)), subject(std::move(s)) {}
    StepRole role;
    Error error;
    std::string subject;
  };

  // A call that moves one file's bytes.
  struct FileMove {
    Traffic traffic;
    StepRole role;
    String member;                      // ListContents, GetFile or PutFile
    std::optional<std::string> remote;  // none for a listing
    std::string local;                  // "-": standard input or output
    std::string progressLabel;          // "get", "get 3/10"; empty: no progress shown
    std::string summary;                // what the summary line names
    std::string subject;
  };

  void connect();
  void chooseDefaultType(int32_t type);
  void runStep(const std::string& label, const FtpStep& step);

  void perform(const RemoteCommand& command);
  void perform(const FileTransfer& transfer);
  void perform(const Listing& listing);
  void perform(const TreeDownload& tree);
  void perform(const MatchingDownload& matching);
  void perform(const TreeUpload& tree);

  // Runs `body`; an Error it throws becomes a CallFailure of `role`.
  template <class Body>
  void attempt(StepRole role, const std::string& subject, Body&& body);
  void move(FileMove file);
  void reportFiles(std::size_t files);
  // Warns when QUIT can't be delivered; every step has succeeded by then.
  void disconnect();

  // RemoteFolders, for the many-file steps.
  void changeFolder(const std::string& name, const std::string& shown) override;
  bool tryChangeFolder(const std::string& name, const std::string& shown) override;
  void makeFolder(const std::string& name, const std::string& shown) override;
  std::string listing(const std::string& shown) override;
  void download(const std::string& name, const std::filesystem::path& local, const std::string& shown,
                FileCount count) override;
  void upload(const std::filesystem::path& local, const std::string& name, const std::string& shown,
              FileCount count) override;
  void warn(const std::string& text) override;

  [[noreturn]] void fail(const std::string& label, StepRole role, const Error& error);
  std::string log();
  std::optional<uint64_t> announcedDownloadSize();

  Object& session_;
  const FtpInvocation& job_;
  Login login_;
  std::optional<ProgressStyle> progress_;  // none: no progress shown
  std::string label_;                      // the running step's label: "step 2 (get a b)"
  std::string text_;                       // and its text: "get a b"
};

}  // namespace skein10::host
