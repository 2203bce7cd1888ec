#include "host/FolderTransfer.h"

#include <fnmatch.h>

#include <algorithm>
#include <system_error>

#include "skein10/Error.h"

namespace skein10::host {
namespace fs = std::filesystem;
namespace {

std::string joined(const std::string& folder, const std::string& name) {
  return folder.empty() || folder == "." ? name : folder + "/" + name;
}

[[noreturn]] void localFailure(const std::string& what, const fs::path& path, const std::error_code& error) {
  throw Error(errc::PathFileAccess, kRuntimeSource, fromUtf8(what + " " + path.string() + ": " + error.message()));
}

void makeLocalFolder(const fs::path& folder) {
  std::error_code error;
  fs::create_directories(folder, error);
  if (error) localFailure("Can't make the local folder", folder, error);
}

// A name that can't be a local file's name, or would leave the folder.
bool unsafeName(const std::string& name) {
  return name.empty() || name == "." || name == ".." || name.find_first_of(std::string("/\r\n\0", 4)) != std::string::npos;
}

std::vector<fs::directory_entry> sortedEntries(const fs::path& folder) {
  std::error_code error;
  std::vector<fs::directory_entry> entries;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) entries.push_back(*it);
  if (error) localFailure("Can't read the local folder", folder, error);
  std::sort(entries.begin(), entries.end());
  return entries;
}

}  // namespace

void FolderTransfer::enter(const RemotePath& path) {
  std::string shown;
  for (const std::string& name : path) remote_.changeFolder(name, shown = joined(shown, name));
}

void FolderTransfer::leave(const RemotePath& path) {
  for (std::size_t left = path.size(); left > 0; --left) {
    std::string parent;
    for (std::size_t i = 0; i + 1 < left; ++i) parent = joined(parent, path[i]);
    remote_.changeFolder("..", parent.empty() ? "." : parent);
  }
}

void FolderTransfer::enterOrMake(const RemotePath& path) {
  std::string shown;
  for (const std::string& name : path) enterOrMake(name, shown = joined(shown, name));
}

void FolderTransfer::enterOrMake(const std::string& name, const std::string& shown) {
  if (remote_.tryChangeFolder(name, shown)) return;
  remote_.makeFolder(name, shown);
  remote_.changeFolder(name, shown);
}

std::vector<ListingEntry> FolderTransfer::readListing(const std::string& shown) {
  ParsedListing listing = parseListing(remote_.listing(shown));
  for (const std::string& line : listing.unread)
    remote_.warn("skipped a line of the listing of " + (shown.empty() ? "." : shown) + " in no known format: " + line);
  return std::move(listing.entries);
}

bool FolderTransfer::transferable(const ListingEntry& entry, const std::string& shown) {
  const std::string path = joined(shown, entry.name);
  if (unsafeName(entry.name)) remote_.warn("skipped '" + path + "': the name can't be a local file's");
  else if (entry.kind == EntryKind::Link) remote_.warn("skipped " + path + ": a symbolic link");
  else if (entry.kind == EntryKind::Other) remote_.warn("skipped " + path + ": neither a file nor a folder");
  else return true;
  return false;
}

std::size_t FolderTransfer::downloadTree(const std::string& shown, const fs::path& local) {
  files_ = 0;
  downloadFolder(shown, local);
  return files_;
}

void FolderTransfer::downloadFolder(const std::string& shown, const fs::path& local) {
  makeLocalFolder(local);
  for (const ListingEntry& entry : readListing(shown)) {
    if (!transferable(entry, shown)) continue;
    const std::string path = joined(shown, entry.name);
    if (entry.kind == EntryKind::File) {
      remote_.download(entry.name, local / entry.name, path, FileCount{++files_, std::nullopt});
      continue;
    }
    remote_.changeFolder(entry.name, path);
    downloadFolder(path, local / entry.name);
    remote_.changeFolder("..", shown.empty() ? "." : shown);
  }
}

std::size_t FolderTransfer::downloadMatching(const std::string& pattern, const fs::path& local) {
  std::vector<ListingEntry> matches;
  for (ListingEntry& entry : readListing({}))
    if (entry.kind == EntryKind::File && ::fnmatch(pattern.c_str(), entry.name.c_str(), FNM_PERIOD) == 0 &&
        transferable(entry, {}))
      matches.push_back(std::move(entry));
  if (!matches.empty()) makeLocalFolder(local);
  for (std::size_t i = 0; i < matches.size(); ++i)
    remote_.download(matches[i].name, local / matches[i].name, matches[i].name, FileCount{i + 1, matches.size()});
  return matches.size();
}

std::size_t FolderTransfer::uploadTree(const fs::path& local, const std::string& shown) {
  std::vector<UploadMove> plan;
  planUpload(local, shown, plan);
  const auto total =
      static_cast<std::size_t>(std::count_if(plan.begin(), plan.end(), [](const UploadMove& move) {
        return move.kind == UploadMove::Kind::File;
      }));
  std::size_t number = 0;
  for (const UploadMove& move : plan) {
    switch (move.kind) {
      case UploadMove::Kind::File: remote_.upload(move.local, move.name, move.shown, {++number, total}); break;
      case UploadMove::Kind::EnterFolder: enterOrMake(move.name, move.shown); break;
      case UploadMove::Kind::LeaveFolder: remote_.changeFolder("..", move.shown); break;
    }
  }
  return total;
}

void FolderTransfer::planUpload(const fs::path& folder, const std::string& shown, std::vector<UploadMove>& plan) {
  for (const fs::directory_entry& entry : sortedEntries(folder)) {
    const std::string name = entry.path().filename().string();
    const std::string path = joined(shown, name);
    std::error_code error;
    if (entry.is_directory(error) && entry.is_symlink(error)) {
      remote_.warn("skipped " + entry.path().string() + ": a symbolic link to a folder");
    } else if (entry.is_directory(error)) {
      plan.push_back({UploadMove::Kind::EnterFolder, entry.path(), name, path});
      planUpload(entry.path(), path, plan);
      plan.push_back({UploadMove::Kind::LeaveFolder, entry.path(), "..", shown.empty() ? "." : shown});
    } else if (entry.is_regular_file(error)) {
      plan.push_back({UploadMove::Kind::File, entry.path(), name, path});
    } else {
      remote_.warn("skipped " + entry.path().string() + ": neither a file nor a folder");
    }
  }
}

}  // namespace skein10::host
