#include "host/StreamFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "skein10/Error.h"

namespace skein10::host {
namespace {

[[noreturn]] void streamError(const std::string& what, int cause) {
  throw Error(errc::PathFileAccess, kRuntimeSource, fromUtf8(what + ": " + std::strerror(cause)));
}

void copy(std::FILE* from, std::FILE* to, const char* failure) {
  char block[65536];
  for (;;) {
    const std::size_t n = std::fread(block, 1, sizeof block, from);
    if (n > 0 && std::fwrite(block, 1, n, to) != n) streamError(failure, errno);
    if (n < sizeof block) break;
  }
  if (std::ferror(from)) streamError(failure, errno);
  if (std::fflush(to) != 0) streamError(failure, errno);
}

struct FileClose {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileClose>;

constexpr char kInputFailure[] = "Failure reading standard input";
constexpr char kOutputFailure[] = "Failure writing output";

}  // namespace

std::optional<StreamFile> StreamFile::standIn(std::string& local, Traffic traffic) {
  if (local != "-") return std::nullopt;
  StreamFile stand(traffic);
  local = stand.file_.path().string();
  if (traffic == Traffic::Upload) {
    const File into(std::fopen(local.c_str(), "wb"));
    if (!into) streamError(kInputFailure, errno);
    copy(stdin, into.get(), kInputFailure);
  }
  return stand;
}

void StreamFile::deliver() const {
  if (traffic_ == Traffic::Upload) return;
  const File from(std::fopen(file_.path().c_str(), "rb"));
  if (!from) streamError(kOutputFailure, errno);
  std::fflush(stdout);
  copy(from.get(), stdout, kOutputFailure);
}

}  // namespace skein10::host
