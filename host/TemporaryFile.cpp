#include "host/TemporaryFile.h"

#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "skein10/Error.h"

namespace skein10::host {
namespace fs = std::filesystem;

TemporaryFile::TemporaryFile() {
  std::error_code noFolder;
  fs::path folder = fs::temp_directory_path(noFolder);
  if (noFolder) folder = "/tmp";
  std::string name = (folder / "skein10-stream-XXXXXX").string();
  const int fd = ::mkstemp(name.data());
  if (fd < 0) throw Error(errc::PathFileAccess, kRuntimeSource, u"Can't create a temporary file in " + fromUtf8(folder.string()));
  ::close(fd);
  path_ = name;
}

TemporaryFile::TemporaryFile(TemporaryFile&& other) noexcept : path_(std::move(other.path_)) { other.path_.clear(); }

TemporaryFile::~TemporaryFile() {
  std::error_code ignored;
  if (!path_.empty()) fs::remove(path_, ignored);
}

}  // namespace skein10::host
