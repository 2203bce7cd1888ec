#include "host/FtpSession.h"

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <iostream>

#include "host/CommandFailure.h"
#include "host/ExitCodes.h"
#include "host/FtpLog.h"
#include "host/Interruption.h"
#include "host/ProgressLine.h"
#include "host/StreamFile.h"
#include "skein10/Dispatch.h"
#include "skein10/Enums.h"

namespace skein10::host {
namespace {

uint64_t sizeOf(const Variant& file) {
  std::error_code ec;
  const auto size = std::filesystem::file_size(toUtf8(file.toString()), ec);
  return ec ? 0 : size;
}

}  // namespace

FtpSession::FtpSession(Object& session, const FtpInvocation& job, Login login)
    : session_(session), job_(job), login_(std::move(login)), showProgress_(!job.quiet && isatty(fileno(stderr))) {}

void FtpSession::run() {
  connect();
  if (const auto type = defaultTransferType(job_)) chooseDefaultType(*type);
  for (std::size_t i = 0; i < job_.steps.size(); ++i) runStep(i + 1, job_.steps[i]);
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

void FtpSession::runStep(std::size_t number, FtpStep step) {
  const std::string label = "step " + std::to_string(number) + " (" + step.text + ")";
  try {
    Interruption::check();
    const auto stand = StreamFile::standIn(step);
    transfer(step);
    if (stand) stand->deliver();
  } catch (const Error& error) {
    fail(label, step.role, error);
  }
}

void FtpSession::transfer(const FtpStep& step) {
  std::optional<ProgressLine> progress;
  if (showProgress_ && step.traffic != Traffic::None) {
    std::function<std::optional<uint64_t>()> total = [this] { return announcedDownloadSize(); };
    if (step.traffic == Traffic::Upload) total = [size = sizeOf(step.args[*step.localArg])] { return size; };
    progress.emplace(step.name, step.traffic, stderr, std::move(total));
  }
  call(session_, step.member, step.args);
  if (progress) progress->finish(step.text, sizeOf(step.args[*step.localArg]));
}

void FtpSession::disconnect() {
  try {
    call(session_, u"Disconnect");
  } catch (const Error& error) {
    std::cerr << "skein10: warning: QUIT could not be sent, the server had already closed the connection ("
              << error.what() << "); every step succeeded\n";
  }
}

void FtpSession::fail(const std::string& label, StepRole role, const Error& error) {
  if (Interruption::requested())
    throw CommandFailure(exitcode::kInterrupted, label + ": interrupted; the session was closed");
  const std::string text = log();
  const StepFailure failure{role, error, lastReplyLine(text), text.find("USER ") != std::string::npos};
  const int code = exitCodeOf(failure);
  std::string line = failureLine(label, failure);
  if (role == StepRole::Connect && code == exitcode::kTimedOut && !failure.serverLine) line += " [no greeting came]";
  throw CommandFailure(code, line);
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
