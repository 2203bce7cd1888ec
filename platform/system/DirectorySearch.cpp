#include "platform/system/DirectorySearch.h"

#include <algorithm>

#include "platform/system/DirectoryHandle.h"
#include "platform/system/LastError.h"

namespace skein10::os {

std::optional<std::string> DirectorySearch::folderOf(const std::string& pattern) {
  std::string path = pattern;
  std::replace(path.begin(), path.end(), '\\', '/');
  if (path.size() < 2 || path.compare(path.size() - 2, 2, "/*") != 0) return std::nullopt;
  path.resize(path.size() - 1);  // keep the separator: "/*" is the root folder
  return path;
}

std::unique_ptr<FolderSearchHandle> DirectorySearch::FindFirstFileA(const std::string& pattern,
                                                                    FindData* record) {
  const std::optional<std::string> folder = folderOf(pattern);
  if (!folder) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  std::unique_ptr<DirectoryHandle> handle = DirectoryHandle::open(*folder);
  if (!handle) return nullptr;
  // A folder that opens holds "." and ".." at least; one that reports no
  // entry at all has nothing to be found.
  if (!handle->FindNextFileA(record)) {
    if (GetLastError() == ERROR_NO_MORE_FILES) SetLastError(ERROR_FILE_NOT_FOUND);
    return nullptr;
  }
  return handle;
}

}  // namespace skein10::os
