#include "host/FtpCommand.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>

#include "host/CommandFailure.h"
#include "host/Descriptor.h"
#include "host/ExitCodes.h"
#include "host/FtpLogin.h"
#include "host/FtpSession.h"
#include "host/Interruption.h"
#include "skein10/ClassRegistry.h"
#include "skein10/Identifiers.h"
#include "host/UsageError.h"
#include "skein10/Dispatch.h"
#include "skein10/Enums.h"
#include "skein10/Identifiers.h"

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

void parseOption(CommandLine& words, FtpInvocation& job) {
  const std::string option = words.take("option");
  if (option == "--mode") job.mode = connectionMode(words.takeValue(option));
  else if (option == "--timeout") job.timeout = timeout(words.takeValue(option));
  else if (option == "-u" || option == "--user") job.userOption = words.takeValue(option);
  else if (option == "--log") job.log = true;
  else if (option == "--quiet") job.quiet = true;
  else if (option == "--progress") job.progress = true;
  else if (option == "--ascii") job.ascii = true;
  else if (option == "--netrc") job.netrc = true;
  else if (option == "--ssl-reqd") job.tlsRequired = true;
  else if (option == "--cacert") job.trustStore = words.takeValue(option);
  else throw UsageError("unknown option '" + option + "'");
}

void disconnectQuietly(Object& session) {
  try {
    call(session, u"Disconnect");
  } catch (const Error&) {
  }
}

// Why `file` can't be read; none when it can (a folder can be opened but not read).
std::optional<std::string> unreadable(const std::string& file) {
  const Descriptor fd{::open(file.c_str(), O_RDONLY | O_CLOEXEC)};
  char byte = 0;
  if (fd.fd < 0 || ::read(fd.fd, &byte, 1) < 0) return std::strerror(errno);
  return std::nullopt;
}

void requireReadable(const std::optional<TrustStore>& store) {
  if (!store) return;
  if (const auto why = unreadable(store->file))
    throw CommandFailure(exitcode::kTrustStoreUnreadable,
                         "can't read the trust store " + store->file + " (" + store->namedBy + "): " + *why);
}

void warnOfEmptyPassword(const Login& login) {
  if (!login.noPassword) return;
  std::cerr << "skein10: warning: no password for user '" << login.user
            << "' and no terminal to ask on: sending an empty one (give it with -u USER:PASS, --netrc or "
               "$SKEIN10_FTP_PASSWORD)\n";
}

}  // namespace

FtpInvocation parseFtpInvocation(CommandLine& words) {
  FtpInvocation job;
  bool haveUrl = false;
  while (!words.empty() && (words.atOption() || !haveUrl)) {
    if (words.atOption()) {
      parseOption(words, job);
    } else {
      job.server = splitFtpUrl(words.take("URL"));
      haveUrl = true;
    }
  }
  if (!haveUrl) throw UsageError("missing URL");
  if (job.tlsRequired && job.server.scheme == "ftp") job.server.scheme = "ftpes";
  job.steps = urlSteps(job.server.path, job.server.folderPath, !words.empty());
  if (words.empty()) return job;
  for (FtpStep& step : parseFtpSteps(words)) job.steps.push_back(std::move(step));
  return job;
}

std::optional<int32_t> defaultTransferType(const FtpInvocation& job) {
  for (const FtpStep& step : job.steps)
    if (const auto* command = std::get_if<RemoteCommand>(&step.action); command && command->member == u"TransferType")
      return std::nullopt;
  return job.ascii ? ftp_ASCII : ftp_BINARY;
}

std::optional<TrustStore> trustStoreOf(const FtpInvocation& job, const char* certFileVariable) {
  if (job.trustStore) return TrustStore{*job.trustStore, "--cacert"};
  if (job.server.scheme != "ftp" && certFileVariable && *certFileVariable)
    return TrustStore{certFileVariable, "SSL_CERT_FILE"};
  return std::nullopt;
}

int runFtp(CommandLine& words) {
  const FtpInvocation job = parseFtpInvocation(words);
  requireReadable(trustStoreOf(job, std::getenv("SSL_CERT_FILE")));
  const Login login = resolveLogin(job.server, processLoginSources(job.userOption, job.netrc));
  warnOfEmptyPassword(login);
  const ObjectRef session = CreateObject(ids::kProgIdKvInetFTPConnection);
  if (job.mode) assign(*session, u"ConnectionMode", *job.mode);
  if (job.timeout) assign(*session, u"TimeOut", *job.timeout);
  // The session's TLS trusts OpenSSL's default store, which this moves.
  if (job.trustStore) ::setenv("SSL_CERT_FILE", job.trustStore->c_str(), 1);
  std::optional<CommandFailure> failure;
  {
    const Interruption interruption;
    try {
      FtpSession(*session, job, login).run();
    } catch (const CommandFailure& ended) {
      failure = ended;
      disconnectQuietly(*session);
    }
    if (!failure && Interruption::requested()) failure = Interruption::failure("after the last step");
  }
  if (job.log) std::cout << toUtf8(call(*session, u"LogData").toString()) << std::flush;
  if (failure) throw *failure;
  return 0;
}

}  // namespace skein10::host
