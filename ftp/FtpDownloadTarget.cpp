#include "ftp/FtpDownloadTarget.h"

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <string>
#include <system_error>

#include "skein10/Error.h"

namespace skein10 {

namespace fs = std::filesystem;

namespace {

// A name beside the target that no one else uses.
fs::path besideName(const fs::path& target) {
  static std::atomic<unsigned> counter{0};
  // Built step by step: GCC 12 at -O3 misreads the one-expression form as
  // overlapping copies (-Wrestrict).
  std::string name = ".";
  name += target.filename().string();
  name += ".part-";
  name += std::to_string(::getpid());
  name += '-';
  name += std::to_string(++counter);
  return target.parent_path() / name;
}

// The file a symbolic link finally names, so the link itself stays.
fs::path resolved(const fs::path& target) {
  std::error_code ec;
  if (!fs::is_symlink(target, ec)) return target;
  fs::path real = fs::weakly_canonical(target, ec);
  return ec ? target : real;
}

// How many names beside the target are tried before giving up: one is taken
// only by a file an earlier process left behind.
constexpr int kBesideAttempts = 8;

// The permission bits of a file created new: 0666 less the process's umask
// (read, not set: setting it would race with other threads' file creation).
// Owner read and write only when the umask can't be read.
fs::perms newFilePermissions() {
  std::ifstream status("/proc/self/status");
  std::string field;
  while (status >> field) {
    if (field != "Umask:") continue;
    unsigned mask = 0;
    if (status >> std::oct >> mask) return fs::perms(0666 & ~mask);
    break;
  }
  return fs::perms::owner_read | fs::perms::owner_write;
}

bool writtenDirectly(const fs::path& target) {
  std::error_code ec;
  fs::file_status status = fs::status(target, ec);
  return fs::exists(status) && !fs::is_regular_file(status);
}

}  // namespace

FtpDownloadTarget::FtpDownloadTarget(const String& localFileName, int16_t& fileNumberField,
                                     files::Patience patience)
    : target_(resolved(fs::path(toUtf8(localFileName)))) {
  if (writtenDirectly(target_)) {
    written_ = target_;
    file_.emplace(fromUtf8(written_.string()), files::FileMode::Output, patience);
  } else {
    // A folder can't be the target, as it couldn't be written directly.
    std::error_code ec;
    if (fs::is_directory(target_, ec)) throw Error::runtime(errc::PathFileAccess);
    createBeside(patience);
  }
  binding_.emplace(fileNumberField, file_->number(), int16_t{0});
}

// The file beside the target is new, so no one else's file (or link) is
// written through its name, and it is the owner's alone until commit() gives
// it the target's permission bits.
void FtpDownloadTarget::createBeside(files::Patience patience) {
  for (int attempt = 1;; ++attempt) {
    written_ = besideName(target_);
    try {
      file_.emplace(fromUtf8(written_.string()), files::FileMode::NewPrivate, patience);
      return;
    } catch (const Error&) {
      std::error_code ec;
      if (!fs::exists(fs::symlink_status(written_, ec)) || attempt == kBesideAttempts) throw;
    }
  }
}

FtpDownloadTarget::~FtpDownloadTarget() {
  binding_.reset();
  file_.reset();
  if (!committed_ && written_ != target_) {
    std::error_code ignored;
    fs::remove(written_, ignored);
  }
}

void FtpDownloadTarget::commit() {
  binding_.reset();
  file_.reset();
  committed_ = true;
  if (written_ == target_) return;
  std::error_code ec;
  fs::file_status old = fs::status(target_, ec);
  fs::permissions(written_, !ec && fs::exists(old) ? old.permissions() : newFilePermissions(), ec);
  fs::rename(written_, target_, ec);
  if (ec) {
    committed_ = false;
    throw Error::runtime(ec == std::errc::permission_denied ? errc::PermissionDenied : errc::PathFileAccess);
  }
}

}  // namespace skein10
