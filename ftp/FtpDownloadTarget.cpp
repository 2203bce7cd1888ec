#include "ftp/FtpDownloadTarget.h"

#include <unistd.h>

#include <atomic>
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
  } else {
    // A folder can't be the target, as it couldn't be written directly.
    std::error_code ec;
    if (fs::is_directory(target_, ec)) throw Error::runtime(errc::PathFileAccess);
    written_ = besideName(target_);
  }
  file_.emplace(fromUtf8(written_.string()), files::FileMode::Output, patience);
  binding_.emplace(fileNumberField, file_->number(), int16_t{0});
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
  if (!ec && fs::exists(old)) fs::permissions(written_, old.permissions(), ec);
  fs::rename(written_, target_, ec);
  if (ec) {
    committed_ = false;
    throw Error::runtime(ec == std::errc::permission_denied ? errc::PermissionDenied : errc::PathFileAccess);
  }
}

}  // namespace skein10
