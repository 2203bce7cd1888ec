#pragma once
// What a transfer of many files needs of the FTP session: moving between
// remote folders, making one, a folder's listing, and one file each way.
// Each call goes through the session's members and reports a failure as the
// session reports any step's (naming `shown`, the remote path concerned: for
// a cd "..", the folder it leads back to); `warn` prints a note that does not
// stop the step.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

namespace skein10::host {

// Which file of a many-file step is moving: the number, of how many when
// that is known beforehand.
struct FileCount {
  std::size_t number = 1;
  std::optional<std::size_t> total;
};

class RemoteFolders {
 public:
  virtual ~RemoteFolders() = default;

  virtual void changeFolder(const std::string& name, const std::string& shown) = 0;
  // False when the server refuses the cd (its reply); other failures throw.
  virtual bool tryChangeFolder(const std::string& name, const std::string& shown) = 0;
  virtual void makeFolder(const std::string& name, const std::string& shown) = 0;
  // The current remote folder's listing, as the server wrote it.
  virtual std::string listing(const std::string& shown) = 0;
  virtual void download(const std::string& name, const std::filesystem::path& local, const std::string& shown,
                        FileCount count) = 0;
  virtual void upload(const std::filesystem::path& local, const std::string& name, const std::string& shown,
                      FileCount count) = 0;
  virtual void warn(const std::string& text) = 0;
};

}  // namespace skein10::host
