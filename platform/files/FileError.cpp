#include "platform/files/FileError.h"

#include <cerrno>
#include <filesystem>

namespace skein10::files {
namespace {

bool folderExists(const char* path) {
  std::filesystem::path parent = std::filesystem::path(path).parent_path();
  if (parent.empty()) return true;
  std::error_code ec;
  return std::filesystem::is_directory(parent, ec);
}

}  // namespace

Error fileError(int32_t number) { return Error::runtime(number); }

Error fileError(int code, const char* path, bool opening) {
  switch (code) {
    case ENOENT:
      return fileError(opening && *path && folderExists(path) ? errc::FileNotFound : errc::PathNotFound);
    case ENOTDIR:
      return fileError(errc::PathNotFound);
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
      return fileError(errc::PermissionDenied);
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return fileError(errc::DiskFull);
    case EMFILE:
    case ENFILE:
      return fileError(kTooManyFiles);
    default:  // a folder opened as a file, an I/O failure, ...
      return fileError(errc::PathFileAccess);
  }
}

}  // namespace skein10::files
