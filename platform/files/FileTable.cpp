#include "platform/files/FileTable.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/files/FileError.h"

namespace skein10::files {
namespace {

int openFlags(FileMode mode) {
  switch (mode) {
    case FileMode::Output: return O_WRONLY | O_CREAT | O_TRUNC;
    case FileMode::BinaryWrite: return O_WRONLY | O_CREAT;
    case FileMode::BinaryRead: return O_RDONLY;
  }
  return O_RDONLY;
}

bool valid(int16_t number) { return number > 0 && number <= FileTable::kMaxNumber; }

}  // namespace

FileTable& FileTable::current() {
  thread_local FileTable table;
  return table;
}

int16_t FileTable::freeFile() const {
  for (int16_t n = 1; n <= kMaxNumber; ++n) {
    if (!entries_[n].fd) return n;
  }
  throw fileError(kTooManyFiles);
}

void FileTable::open(int16_t number, const String& path, FileMode mode) {
  if (!valid(number)) throw fileError(errc::BadFileNumber);
  if (entries_[number].fd) throw fileError(kFileAlreadyOpen);
  if (path.empty()) throw fileError(errc::PathFileAccess);
  const std::string name = toUtf8(path);
  UniqueFd fd(::open(name.c_str(), openFlags(mode) | O_CLOEXEC, 0666));
  if (!fd) throw fileError(errno, name.c_str(), true);
  // A folder opens for reading, but is no file to read.
  struct stat info {};
  if (::fstat(fd.get(), &info) == 0 && S_ISDIR(info.st_mode)) throw fileError(errc::PathFileAccess);
  entries_[number] = Entry{std::move(fd), mode};
}

void FileTable::close(int16_t number) {
  entry(number);
  entries_[number].fd.reset();
}

bool FileTable::isOpen(int16_t number) const { return valid(number) && entries_[number].fd; }

bool FileTable::isOpenForWriting(int16_t number) const {
  return isOpen(number) && entries_[number].mode != FileMode::BinaryRead;
}

const FileTable::Entry& FileTable::entry(int16_t number) const {
  if (!isOpen(number)) throw fileError(errc::BadFileNumber);
  return entries_[number];
}

int FileTable::fdFor(int16_t number, bool writing) const {
  const Entry& e = entry(number);
  if ((e.mode != FileMode::BinaryRead) != writing) throw fileError(kBadFileMode);
  return e.fd.get();
}

int64_t FileTable::length(int16_t number) const {
  struct stat info {};
  if (::fstat(entry(number).fd.get(), &info) != 0) throw fileError(errno, "", false);
  return info.st_size;
}

std::size_t FileTable::read(int16_t number, std::span<uint8_t> into) {
  const int fd = fdFor(number, false);
  std::size_t done = 0;
  while (done < into.size()) {
    const ssize_t n = ::read(fd, into.data() + done, into.size() - done);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      throw fileError(errno, "", false);
    }
    done += static_cast<std::size_t>(n);
  }
  return done;
}

void FileTable::write(int16_t number, std::span<const uint8_t> bytes) {
  const int fd = fdFor(number, true);
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n == 0) throw fileError(errc::DiskFull);
    if (n < 0) {
      if (errno == EINTR) continue;
      throw fileError(errno, "", false);
    }
    done += static_cast<std::size_t>(n);
  }
}

}  // namespace skein10::files
