#pragma once
// The folder search over opendir/readdir. "\" is taken as a folder
// separator throughout the pattern, so folder names built with it (as the
// browser-data folders are) name real folders here.

#include <optional>
#include <string>

#include "platform/system/FolderSearch.h"
#include "platform/Export.h"

namespace skein10::os {

class SKEIN10_INTERNAL_API DirectorySearch final : public FolderSearch {
 public:
  std::unique_ptr<FolderSearchHandle> FindFirstFileA(const std::string& pattern,
                                                     FindData* record) override;

  // The folder a pattern names, with its trailing separator ("/" for "\*"),
  // or nothing for a pattern that is not a folder, a separator and "*".
  static std::optional<std::string> folderOf(const std::string& pattern);
};

}  // namespace skein10::os
