#pragma once
// The steps that move many files, made of the session's single-file members
// (RemoteFolders.h):
//   get -r   walks the remote tree from its listings: in each folder a LIST,
//            GetFile for each file, then cd into each folder and "cd .." out;
//   get PATTERN  the files of the current remote folder's listing whose names
//            match the shell pattern;
//   put -r   reads the whole local tree first, then in each folder PutFile for
//            each file, and for each folder a cd (MKD first when the server
//            refuses it), the folder's content, and "cd ..".
// Only files and folders move. Symbolic links on the server are skipped (a
// listing does not say whether one leads to a file or a folder, and "cd .."
// out of a linked folder does not lead back), and so are devices, pipes,
// sockets, listing lines of an unknown format and names that hold "/" or a
// line end (they can't be a local file's name): each with a warning. Local
// symbolic links to files are uploaded as files; linked folders are skipped.

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "host/FtpSteps.h"
#include "host/RemoteFolders.h"
#include "host/RemoteListing.h"

namespace skein10::host {

class FolderTransfer {
 public:
  explicit FolderTransfer(RemoteFolders& remote) : remote_(remote) {}

  // A cd into each name of `path`, and out again with one "cd .." per name.
  void enter(const RemotePath& path);
  void leave(const RemotePath& path);
  // A cd into each name of `path`, making the folder when the server refuses.
  void enterOrMake(const RemotePath& path);

  // The current remote folder's tree (named `shown` in messages) into
  // `local`, which is made when missing. Returns the number of files.
  std::size_t downloadTree(const std::string& shown, const std::filesystem::path& local);
  // The files of the current remote folder that match `pattern` (fnmatch,
  // a leading "." matched only by a "."), into the folder `local`.
  std::size_t downloadMatching(const std::string& pattern, const std::filesystem::path& local);
  // The tree of the local folder into the current remote folder (`shown`).
  std::size_t uploadTree(const std::filesystem::path& local, const std::string& shown);

 private:
  // One move of an upload, read from the local tree before anything is sent.
  struct UploadMove {
    enum class Kind { File, EnterFolder, LeaveFolder } kind;
    std::filesystem::path local;
    std::string name;
    std::string shown;
  };

  void downloadFolder(const std::string& shown, const std::filesystem::path& local);
  void planUpload(const std::filesystem::path& folder, const std::string& shown, std::vector<UploadMove>& plan);
  void enterOrMake(const std::string& name, const std::string& shown);
  // The entries of the current remote folder's listing, after warnings for
  // the lines that can't be read.
  std::vector<ListingEntry> readListing(const std::string& shown);
  bool transferable(const ListingEntry& entry, const std::string& shown);

  RemoteFolders& remote_;
  std::size_t files_ = 0;
};

}  // namespace skein10::host
