#include "platform/files/FileTable.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <optional>
#include <string>
#include <thread>

#include "platform/files/FileError.h"
#include "platform/files/SignalShield.h"

namespace skein10::files {
namespace {

int openFlags(FileMode mode) {
  switch (mode) {
    case FileMode::Output: return O_WRONLY | O_CREAT | O_TRUNC;
    case FileMode::BinaryWrite: return O_WRONLY | O_CREAT;
    case FileMode::BinaryRead: return O_RDONLY;
    case FileMode::NewPrivate: return O_WRONLY | O_CREAT | O_EXCL;
  }
  return O_RDONLY;
}

// The permission bits a file created in `mode` gets, before the umask.
mode_t creationPermissions(FileMode mode) { return mode == FileMode::NewPrivate ? 0600 : 0666; }

bool valid(int16_t number) { return number > 0 && number <= FileTable::kMaxNumber; }

constexpr char16_t kNoReader[] = u"The local file is a FIFO that no program has open for reading.";
constexpr char16_t kNothingToRead[] = u"The local file gave nothing to read in time: no program is writing to it.";
constexpr char16_t kNothingTaken[] = u"The local file took nothing in time: no program is reading it.";

Error accessError(const char16_t* description) { return Error(errc::PathFileAccess, kRuntimeSource, description); }

// Waits until `fd` is ready for `events` (or hung up, or failed: the next
// call tells which); false when the patience ran out first.
bool waitReady(int fd, short events, Patience patience) {
  const int timeout = patience < Patience::zero() ? -1 : static_cast<int>(std::min<Patience::rep>(patience.count(), INT_MAX));
  pollfd watched{fd, events, 0};
  for (;;) {
    const int n = ::poll(&watched, 1, timeout);
    if (n > 0) return true;
    if (n == 0) return false;
    if (errno != EINTR) return true;
  }
}

// Moves `size` bytes by calls of `step(done)` (one read or write of what is
// left after the first `done`), until they have all moved or a call moves
// nothing (the end of what there is to read, a file that takes no more); the
// count moved. An interrupted call is made again; one that would block waits
// until `fd` is ready for `events`, failing with `stalled` when the patience
// runs out first.
template <class Step>
std::size_t transferAll(int fd, std::size_t size, short events, Patience patience, const char16_t* stalled,
                        Step step) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = step(done);
    if (n == 0) break;
    if (n > 0) {
      done += static_cast<std::size_t>(n);
    } else if (errno != EINTR) {
      if (errno != EAGAIN) throw fileError(errno, "", false);
      if (!waitReady(fd, events, patience)) throw accessError(stalled);
    }
  }
  return done;
}

// Opens without blocking. A FIFO opened for writing has no reader yet when
// the open fails with ENXIO; the kernel can't be asked to wait for one
// without blocking for good, so the open is tried again, within the patience.
UniqueFd openWithin(const std::string& name, FileMode mode, Patience patience) {
  const auto deadline = std::chrono::steady_clock::now() + patience;
  for (;;) {
    UniqueFd fd(::open(name.c_str(), openFlags(mode) | O_CLOEXEC | O_NONBLOCK, creationPermissions(mode)));
    if (fd || errno != ENXIO) return fd;
    const auto left = deadline - std::chrono::steady_clock::now();
    if (patience >= Patience::zero() && left <= Patience::zero()) throw accessError(kNoReader);
    const auto step = std::chrono::milliseconds(10);
    std::this_thread::sleep_for(patience < Patience::zero() ? step : std::min<std::chrono::nanoseconds>(step, left));
  }
}

bool fileSizeLimited() {
  rlimit limit{};
  return ::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY;
}

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

void FileTable::open(int16_t number, const String& path, FileMode mode, Patience patience) {
  if (!valid(number)) throw fileError(errc::BadFileNumber);
  if (entries_[number].fd) throw fileError(kFileAlreadyOpen);
  if (path.empty()) throw fileError(errc::PathFileAccess);
  const std::string name = toUtf8(path);
  // Never blocks: a FIFO without its other end would hold the open forever.
  UniqueFd fd = openWithin(name, mode, patience);
  if (!fd) throw fileError(errno, name.c_str(), true);
  // A folder opens for reading, but is no file to read.
  struct stat info {};
  if (::fstat(fd.get(), &info) == 0 && S_ISDIR(info.st_mode)) throw fileError(errc::PathFileAccess);
  const bool regular = S_ISREG(info.st_mode);
  if (!regular && mode == FileMode::BinaryRead && !waitReady(fd.get(), POLLIN, patience)) {
    throw accessError(kNothingToRead);
  }
  entries_[number] = Entry{std::move(fd), mode, regular, !regular || fileSizeLimited(), patience};
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

const FileTable::Entry& FileTable::entryFor(int16_t number, bool writing) const {
  const Entry& e = entry(number);
  if ((e.mode != FileMode::BinaryRead) != writing) throw fileError(kBadFileMode);
  return e;
}

int64_t FileTable::length(int16_t number) const {
  struct stat info {};
  if (::fstat(entry(number).fd.get(), &info) != 0) throw fileError(errno, "", false);
  return info.st_size;
}

bool FileTable::isRegular(int16_t number) const { return entry(number).regular; }

std::size_t FileTable::read(int16_t number, std::span<uint8_t> into) {
  const Entry& e = entryFor(number, false);
  return transferAll(e.fd.get(), into.size(), POLLIN, e.patience, kNothingToRead, [&](std::size_t done) {
    return ::read(e.fd.get(), into.data() + done, into.size() - done);
  });
}

// A write that the file takes nothing of (a full device) is a full disk.
void FileTable::write(int16_t number, std::span<const uint8_t> bytes) {
  const Entry& e = entryFor(number, true);
  std::optional<SignalShield> shield;
  if (e.shieldWrites) shield.emplace();
  const std::size_t done = transferAll(e.fd.get(), bytes.size(), POLLOUT, e.patience, kNothingTaken,
                                       [&](std::size_t done) {
                                         return ::write(e.fd.get(), bytes.data() + done, bytes.size() - done);
                                       });
  if (done < bytes.size()) throw fileError(errc::DiskFull);
}

}  // namespace skein10::files
