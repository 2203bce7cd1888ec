#pragma once
// A folder search over an open directory stream (readdir order).

#include <dirent.h>

#include <memory>

#include "platform/system/FolderSearch.h"
#include "platform/Export.h"

namespace skein10::os {

class SKEIN10_INTERNAL_API DirectoryHandle final : public FolderSearchHandle {
 public:
  // Opens the folder; nothing when it can't be opened (the thread's last
  // error says why).
  static std::unique_ptr<DirectoryHandle> open(const std::string& folder);

  // Takes over an open directory stream.
  explicit DirectoryHandle(DIR* dir) : dir_(dir) {}

  bool FindNextFileA(FindData* record) override;

 private:
  struct CloseDir {
    void operator()(DIR* dir) const noexcept { closedir(dir); }
  };

  std::unique_ptr<DIR, CloseDir> dir_;
};

}  // namespace skein10::os
