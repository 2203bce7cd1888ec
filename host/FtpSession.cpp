#include "host/FtpSession.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

#include "host/CommandFailure.h"
#include "host/ExitCodes.h"
#include "host/FolderTransfer.h"
#include "host/FtpLog.h"
#include "host/Interruption.h"
#include "host/StreamFile.h"
#include "host/TemporaryFile.h"
#include "skein10/Dispatch.h"
#include "skein10/Enums.h"

namespace skein10::host {
namespace fs = std::filesystem;
namespace {

uint64_t sizeOf(const std::string& file) {
  std::error_code ec;
  const auto size = fs::file_size(file, ec);
  return ec ? 0 : size;
}

std::optional<ProgressStyle> progressStyle(const FtpInvocation& job) {
  if (job.quiet) return std::nullopt;
  if (::isatty(STDERR_FILENO)) return ProgressStyle::Terminal;
  if (job.progress) return ProgressStyle::Lines;
  return std::nullopt;
}

std::string countText(FileCount count) {
  return count.total ? std::to_string(count.number) + "/" + std::to_string(*count.total)
                     : "#" + std::to_string(count.number);
}

std::string joined(const RemotePath& path) {
  std::string text;
  for (const std::string& name : path) text += (text.empty() ? "" : "/") + name;
  return text;
}

// What a step does when a failure names no role of its own (a local folder).
StepRole roleOf(const StepAction& action) {
  if (const auto* command = std::get_if<RemoteCommand>(&action)) return command->role;
  if (const auto* transfer = std::get_if<FileTransfer>(&action))
    return transfer->traffic == Traffic::Upload ? StepRole::Upload : StepRole::Download;
  if (std::holds_alternative<Listing>(action)) return StepRole::Listing;
  if (std::holds_alternative<TreeUpload>(action)) return StepRole::Upload;
  return StepRole::Download;
}

}  // namespace

FtpSession::FtpSession(Object& session, const FtpInvocation& job, Login login)
    : session_(session), job_(job), login_(std::move(login)), progress_(progressStyle(job)) {}

void FtpSession::run() {
  connect();
  if (const auto type = defaultTransferType(job_)) chooseDefaultType(*type);
  std::size_t written = 0;
  for (const FtpStep& step : job_.steps) {
    const std::string label =
        step.fromUrl ? "the URL's path (" + step.text + ")" : "step " + std::to_string(++written) + " (" + step.text + ")";
    runStep(label, step);
  }
  disconnect();
}

void FtpSession::connect() {
  const FtpUrl& server = job_.server;
  const std::string label = "connect to " + server.host + ":" + server.port + " as " + login_.user;
  try {
    call(session_, u"Connect",
         {fromUtf8(server.serverText()), fromUtf8(server.port), fromUtf8(login_.user), fromUtf8(login_.password)});
  } catch (const Error& error) {
    fail(label, StepRole::Connect, error);
  }
}

void FtpSession::chooseDefaultType(int32_t type) {
  const std::string label = type == ftp_ASCII ? "type ascii (--ascii)" : "type binary (the default)";
  try {
    call(session_, u"TransferType", {Variant(type)});
  } catch (const Error& error) {
    fail(label, StepRole::Command, error);
  }
}

void FtpSession::runStep(const std::string& label, const FtpStep& step) {
  label_ = label;
  text_ = step.text;
  try {
    Interruption::check();
    std::visit([this](const auto& action) { perform(action); }, step.action);
  } catch (const CallFailure& failure) {
    fail(failure.subject.empty() ? label : label + ": " + failure.subject, failure.role, failure.error);
  } catch (const Error& error) {
    fail(label, roleOf(step.action), error);
  }
}

template <class Body>
void FtpSession::attempt(StepRole role, const std::string& subject, Body&& body) {
  try {
    Interruption::check();
    body();
  } catch (const Error& error) {
    throw CallFailure(role, error, subject);
  }
}

void FtpSession::perform(const RemoteCommand& command) {
  attempt(command.role, {}, [&] { call(session_, command.member, command.args); });
}

void FtpSession::perform(const FileTransfer& transfer) {
  const bool upload = transfer.traffic == Traffic::Upload;
  move({transfer.traffic, upload ? StepRole::Upload : StepRole::Download, upload ? u"PutFile" : u"GetFile",
        transfer.remote, transfer.local, upload ? "put" : "get", text_, {}});
}

// A listing on standard output shows no progress: the listing itself shows.
void FtpSession::perform(const Listing& listing) {
  FolderTransfer folders(*this);
  folders.enter(listing.folder);
  const std::string progress = listing.output == "-" ? "" : "ls";
  move({Traffic::Download, StepRole::Listing, u"ListContents", std::nullopt, listing.output, progress, text_, {}});
  folders.leave(listing.folder);
}

void FtpSession::perform(const TreeDownload& tree) {
  FolderTransfer folders(*this);
  folders.enter(tree.remote);
  reportFiles(folders.downloadTree(joined(tree.remote), tree.local));
  folders.leave(tree.remote);
}

void FtpSession::perform(const MatchingDownload& matching) {
  const std::size_t files = FolderTransfer(*this).downloadMatching(matching.pattern, matching.local);
  if (files == 0)
    throw CommandFailure(exitcode::kRemoteFileNotFound,
                         label_ + ": no file of the remote folder matches '" + matching.pattern + "'");
  reportFiles(files);
}

void FtpSession::perform(const TreeUpload& tree) {
  FolderTransfer folders(*this);
  folders.enterOrMake(tree.remote);
  reportFiles(folders.uploadTree(tree.local, joined(tree.remote)));
  folders.leave(tree.remote);
}

void FtpSession::move(FileMove file) {
  attempt(file.role, file.subject, [&] {
    const auto stand = StreamFile::standIn(file.local, file.traffic);
    std::vector<Variant> args;
    if (file.remote) args.push_back(Variant(fromUtf8(*file.remote)));
    args.push_back(Variant(fromUtf8(file.local)));
    std::optional<ProgressLine> progress;
    if (progress_ && !file.progressLabel.empty()) {
      std::function<std::optional<uint64_t>()> total = [this] { return announcedDownloadSize(); };
      if (file.traffic == Traffic::Upload) total = [size = sizeOf(file.local)] { return size; };
      progress.emplace(file.progressLabel, file.traffic, stderr, *progress_, std::move(total));
    }
    call(session_, file.member, args);
    if (progress) progress->finish(file.summary, sizeOf(file.local));
    if (stand) stand->deliver();
  });
}

void FtpSession::reportFiles(std::size_t files) {
  if (progress_) std::cerr << label_ << ": " << files << (files == 1 ? " file\n" : " files\n") << std::flush;
}

void FtpSession::disconnect() {
  try {
    call(session_, u"Disconnect");
  } catch (const Error& error) {
    std::cerr << "skein10: warning: QUIT could not be sent, the server had already closed the connection ("
              << error.what() << "); every step succeeded\n";
  }
}

void FtpSession::changeFolder(const std::string& name, const std::string& shown) {
  const std::string subject = name == ".." ? "cd .. (back to " + shown + ")" : "cd " + shown;
  attempt(StepRole::ChangeFolder, subject, [&] { call(session_, u"ChangeDirectory", {fromUtf8(name)}); });
}

bool FtpSession::tryChangeFolder(const std::string& name, const std::string& shown) {
  bool entered = true;
  attempt(StepRole::ChangeFolder, "cd " + shown, [&] {
    try {
      call(session_, u"ChangeDirectory", {fromUtf8(name)});
    } catch (const Error& refused) {
      if (refused.failure().kind != FailureKind::ServerReply) throw;
      entered = false;
    }
  });
  return entered;
}

void FtpSession::makeFolder(const std::string& name, const std::string& shown) {
  attempt(StepRole::Command, "mkdir " + shown, [&] { call(session_, u"MakeDirectory", {fromUtf8(name)}); });
}

std::string FtpSession::listing(const std::string& shown) {
  std::string text;
  attempt(StepRole::Listing, "ls " + (shown.empty() ? "." : shown), [&] {
    const TemporaryFile file;
    call(session_, u"ListContents", {fromUtf8(file.path().string())});
    std::ifstream in(file.path(), std::ios::binary);
    text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  });
  return text;
}

void FtpSession::download(const std::string& name, const fs::path& local, const std::string& shown, FileCount count) {
  const std::string label = "get " + countText(count);
  move({Traffic::Download, StepRole::Download, u"GetFile", name, local.string(), label, label + " " + shown, shown});
}

void FtpSession::upload(const fs::path& local, const std::string& name, const std::string& shown, FileCount count) {
  const std::string label = "put " + countText(count);
  move({Traffic::Upload, StepRole::Upload, u"PutFile", name, local.string(), label, label + " " + shown, shown});
}

void FtpSession::warn(const std::string& text) { std::cerr << "skein10: warning: " << label_ << ": " << text << "\n"; }

void FtpSession::fail(const std::string& label, StepRole role, const Error& error) {
  if (Interruption::requested()) throw Interruption::failure(label);
  const Failure& failure = error.failure();
  std::string line = failureLine(label, error);
  if (role == StepRole::Connect && failure.kind == FailureKind::TimedOut && failure.command.empty())
    line += " [no greeting came]";
  throw CommandFailure(exitCodeOf(role, error), line);
}

std::string FtpSession::log() {
  try {
    return toUtf8(call(session_, u"LogData").toString());
  } catch (const Error&) {
    return {};
  }
}

std::optional<uint64_t> FtpSession::announcedDownloadSize() {
  const auto line = lastReplyLine(log());
  return line ? announcedSize(*line) : std::nullopt;
}

}  // namespace skein10::host
