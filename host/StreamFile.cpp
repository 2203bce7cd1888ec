#include "host/StreamFile.h"

#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "skein10/Error.h"

namespace skein10::host {
namespace fs = std::filesystem;
namespace {

[[noreturn]] void streamError(const char* what) {
  throw Error(errc::PathFileAccess, kRuntimeSource, fromUtf8(std::string(what)));
}

fs::path newTemporaryFile() {
  std::string name = (fs::temp_directory_path() / "skein10-stream-XXXXXX").string();
  const int fd = ::mkstemp(name.data());
  if (fd < 0) streamError("Can't create a temporary file for standard input or output");
  ::close(fd);
  return name;
}

void copy(std::FILE* from, std::FILE* to, const char* failure) {
  char block[65536];
  for (;;) {
    const std::size_t n = std::fread(block, 1, sizeof block, from);
    if (n > 0 && std::fwrite(block, 1, n, to) != n) streamError(failure);
    if (n < sizeof block) break;
  }
  if (std::ferror(from) || std::fflush(to) != 0) streamError(failure);
}

struct FileClose {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileClose>;

}  // namespace

std::optional<StreamFile> StreamFile::standIn(FtpStep& step) {
  if (!step.localArg || step.args[*step.localArg] != Variant(u"-")) return std::nullopt;
  StreamFile stand(newTemporaryFile(), step.traffic);
  step.args[*step.localArg] = Variant(fromUtf8(stand.file_.string()));
  if (step.traffic == Traffic::Upload) {
    const File into(std::fopen(stand.file_.c_str(), "wb"));
    if (!into) streamError("Can't write the copy of standard input");
    copy(stdin, into.get(), "Reading standard input failed");
  }
  return stand;
}

StreamFile::StreamFile(StreamFile&& other) noexcept : file_(std::move(other.file_)), traffic_(other.traffic_) {
  other.file_.clear();
}

StreamFile::~StreamFile() {
  std::error_code ignored;
  if (!file_.empty()) fs::remove(file_, ignored);
}

void StreamFile::deliver() const {
  if (traffic_ == Traffic::Upload) return;
  const File from(std::fopen(file_.c_str(), "rb"));
  if (!from) streamError("Can't read the downloaded copy for standard output");
  std::fflush(stdout);
  copy(from.get(), stdout, "Writing standard output failed");
}

}  // namespace skein10::host
