#include "ftp/FtpLocalFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <utility>

#include "skein10/Error.h"

namespace skein10 {

namespace {

// The numbers of this thread's open transfer files.
std::map<int16_t, FtpLocalFile*>& openFiles() {
  thread_local std::map<int16_t, FtpLocalFile*> files;
  return files;
}

int16_t freeNumber() {
  int16_t number = 1;
  for (const auto& [used, file] : openFiles()) {
    if (used != number) break;
    ++number;
  }
  if (number <= 0) throw Error::runtime(errc::PathFileAccess);
  return number;
}

Error errorOf(int code, int32_t missingError) {
  switch (code) {
    case ENOENT:
    case ENOTDIR:
      return Error::runtime(missingError);
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
      return Error::runtime(errc::DiskFull);
    case EACCES:
    case EPERM:
    case EROFS:
      return Error::runtime(errc::PermissionDenied);
    default:
      return Error::runtime(errc::PathFileAccess);
  }
}

}  // namespace

FtpLocalFile::~FtpLocalFile() { close(); }

FtpLocalFile::FtpLocalFile(FtpLocalFile&& other) noexcept { take(other); }

FtpLocalFile& FtpLocalFile::operator=(FtpLocalFile&& other) noexcept {
  if (this != &other) {
    close();
    take(other);
  }
  return *this;
}

void FtpLocalFile::take(FtpLocalFile& other) noexcept {
  fd_ = std::exchange(other.fd_, -1);
  number_ = std::exchange(other.number_, 0);
  if (number_ > 0) openFiles()[number_] = this;
}

FtpLocalFile FtpLocalFile::open(const std::filesystem::path& file, int flags, int32_t missingError) {
  FtpLocalFile opened;
  opened.number_ = freeNumber();
  opened.fd_ = ::open(file.c_str(), flags | O_CLOEXEC, 0666);
  if (opened.fd_ < 0) {
    opened.number_ = 0;
    throw errorOf(errno, missingError);
  }
  openFiles()[opened.number_] = &opened;
  return opened;
}

FtpLocalFile FtpLocalFile::createForWriting(const std::filesystem::path& file) {
  return open(file, O_WRONLY | O_CREAT | O_TRUNC, errc::PathNotFound);
}

FtpLocalFile FtpLocalFile::createNew(const std::filesystem::path& file) {
  return open(file, O_WRONLY | O_CREAT | O_EXCL, errc::PathNotFound);
}

FtpLocalFile FtpLocalFile::openForReading(const std::filesystem::path& file) {
  FtpLocalFile opened = open(file, O_RDONLY, errc::FileNotFound);
  struct stat info {};
  if (::fstat(opened.fd_, &info) == 0 && S_ISDIR(info.st_mode)) throw Error::runtime(errc::PathFileAccess);
  return opened;
}

int64_t FtpLocalFile::length() const {
  struct stat info {};
  if (::fstat(fd_, &info) != 0) throw Error::runtime(errc::BadFileNumber);
  return info.st_size;
}

std::size_t FtpLocalFile::read(std::span<uint8_t> into) {
  for (;;) {
    ssize_t n = ::read(fd_, into.data(), into.size());
    if (n >= 0) return static_cast<std::size_t>(n);
    if (errno != EINTR) throw errorOf(errno, errc::FileNotFound);
  }
}

void FtpLocalFile::write(std::span<const uint8_t> bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) throw errorOf(errno, errc::PathNotFound);
    bytes = bytes.subspan(static_cast<std::size_t>(n));
  }
}

void FtpLocalFile::close() {
  if (number_ > 0) openFiles().erase(number_);
  number_ = 0;
  if (fd_ >= 0) ::close(std::exchange(fd_, -1));
}

FtpLocalFile* FtpLocalFile::byNumber(int16_t number) {
  auto found = openFiles().find(number);
  return found == openFiles().end() ? nullptr : found->second;
}

}  // namespace skein10
