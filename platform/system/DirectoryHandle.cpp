#include "platform/system/DirectoryHandle.h"

#include <cerrno>

#include "platform/system/LastError.h"

namespace skein10::os {
namespace {

uint32_t openFailure(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
      return ERROR_PATH_NOT_FOUND;
    default:
      return ERROR_ACCESS_DENIED;
  }
}

}  // namespace

std::unique_ptr<DirectoryHandle> DirectoryHandle::open(const std::string& folder) {
  DIR* dir = opendir(folder.c_str());
  if (!dir) {
    SetLastError(openFailure(errno));
    return nullptr;
  }
  return std::make_unique<DirectoryHandle>(dir);
}

bool DirectoryHandle::FindNextFileA(FindData* record) {
  errno = 0;
  const dirent* entry = readdir(dir_.get());
  if (!entry) {
    SetLastError(errno == 0 ? ERROR_NO_MORE_FILES : ERROR_ACCESS_DENIED);
    return false;
  }
  record->cFileName = entry->d_name;
  return true;
}

}  // namespace skein10::os
