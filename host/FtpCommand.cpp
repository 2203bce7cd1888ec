#include "host/FtpCommand.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "host/ProgressLine.h"
#include "host/UsageError.h"
#include "skein10/ClassRegistry.h"
#include "skein10/Dispatch.h"

namespace skein10::host {
namespace {

String connectionMode(const std::string& word) {
  const String folded = foldCase(fromUtf8(word));
  if (folded == u"pasv") return u"PASV";
  if (folded == u"port") return u"PORT";
  throw UsageError("--mode takes PASV or PORT, not '" + word + "'");
}

int32_t timeout(const std::string& word) {
  int32_t milliseconds = 0;
  try {
    milliseconds = convert(Variant(fromUtf8(word)), VarType::Long).toLong();
  } catch (const Error&) {
    milliseconds = 0;
  }
  if (milliseconds <= 0) throw UsageError("--timeout takes a number of milliseconds above 0, not '" + word + "'");
  return milliseconds;
}

void parseOptions(CommandLine& words, FtpInvocation& job) {
  while (words.atOption()) {
    const std::string option = words.take("option");
    if (option == "--mode") job.mode = connectionMode(words.takeValue(option));
    else if (option == "--timeout") job.timeout = timeout(words.takeValue(option));
    else if (option == "--log") job.log = true;
    else if (option == "--quiet") job.quiet = true;
    else throw UsageError("unknown option '" + option + "'");
  }
}

void runStep(Object& session, const FtpStep& step, bool showProgress) {
  std::optional<ProgressLine> progress;
  if (showProgress && step.traffic != Traffic::None) progress.emplace(step.name, step.traffic, stderr);
  call(session, step.member, step.args);
}

void runSession(Object& session, const FtpInvocation& job) {
  const bool showProgress = !job.quiet && isatty(fileno(stderr));
  call(session, u"Connect",
       {fromUtf8(job.server.host), fromUtf8(job.server.port), fromUtf8(job.server.user), job.password});
  for (const FtpStep& step : job.steps) runStep(session, step, showProgress);
  call(session, u"Disconnect");
}

// After a failure the session may still hold a connection; closing it must
// not hide the error that ended the session.
void disconnectQuietly(Object& session) {
  try {
    call(session, u"Disconnect");
  } catch (const Error&) {
  }
}

}  // namespace

FtpInvocation parseFtpInvocation(CommandLine& words, const char* passwordVariable) {
  FtpInvocation job;
  parseOptions(words, job);
  job.server = splitFtpUrl(words.take("URL"));
  job.password = fromUtf8(job.server.password.value_or(passwordVariable ? passwordVariable : ""));
  job.steps = parseFtpSteps(words);
  return job;
}

int runFtp(CommandLine& words) {
  const FtpInvocation job = parseFtpInvocation(words, std::getenv("SKEIN10_FTP_PASSWORD"));
  const ObjectRef session = CreateObject(u"Skein10.clsKvInetFTPConnection");
  if (job.mode) assign(*session, u"ConnectionMode", *job.mode);
  if (job.timeout) assign(*session, u"TimeOut", *job.timeout);
  std::optional<Error> failure;
  try {
    runSession(*session, job);
  } catch (const Error& error) {
    failure = error;
    disconnectQuietly(*session);
  }
  if (job.log) std::cout << toUtf8(call(*session, u"LogData").toString()) << std::flush;
  if (failure) throw *failure;
  return 0;
}

}  // namespace skein10::host
