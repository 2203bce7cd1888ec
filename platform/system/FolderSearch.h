#pragma once
// The folder search: the entries of one folder, one at a time, in the order
// the file system gives them ("." and ".." included).

#include <memory>
#include <string>
#include "platform/Export.h"

namespace skein10::os {

// What the search reports of an entry: its bare name.
struct SKEIN10_INTERNAL_API FindData {
  std::string cFileName;
};

// One search in progress. Ending it (FindClose) is its destruction.
class SKEIN10_INTERNAL_API FolderSearchHandle {
 public:
  virtual ~FolderSearchHandle() = default;
  // The next entry into *record; false when there are no more (last error 18).
  virtual bool FindNextFileA(FindData* record) = 0;
};

class SKEIN10_INTERNAL_API FolderSearch {
 public:
  virtual ~FolderSearch() = default;
  // Starts a search. The pattern is a folder followed by "\*" or "/*"; "\"
  // separates folders anywhere in it. The first entry goes to *record.
  // Nothing (the invalid handle) when nothing can be found: the folder is
  // missing (last error 3), can't be listed (5), or the pattern is not of
  // that form (87).
  virtual std::unique_ptr<FolderSearchHandle> FindFirstFileA(const std::string& pattern,
                                                             FindData* record) = 0;
};

}  // namespace skein10::os
