#include "platform/automation/RegistrationStore.h"

#include "platform/automation/ComponentServer.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "skein10/Error.h"
#include "skein10/Component.h"

namespace skein10 {
namespace {

[[noreturn]] void storeError(const std::filesystem::path& file, const char* what) {
  const std::string text = std::string(what) + " " + file.string() + ": " + std::strerror(errno);
  throw Error(errc::PathFileAccess, kRuntimeSource, fromUtf8(text));
}

// An open file descriptor, closed on scope exit.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

RegistrationStore::Entries parse(std::istream& in) {
  RegistrationStore::Entries entries;
  std::string line;
  while (std::getline(in, line)) {
    const auto eq = line.find('=');
    if (line.empty() || line[0] == '#' || eq == std::string::npos) continue;
    entries[line.substr(0, eq)] = line.substr(eq + 1);
  }
  return entries;
}

void writeAll(int fd, const std::string& text, const std::filesystem::path& file) {
  for (std::size_t done = 0; done < text.size();) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) storeError(file, "can't write");
    done += static_cast<std::size_t>(n);
  }
}

std::string format(const RegistrationStore::Entries& entries) {
  std::string text = "# Skein10 class registrations\n";
  for (const auto& [key, value] : entries) text += key + "=" + value + "\n";
  return text;
}

}  // namespace

std::filesystem::path registryPath() {
  if (const char* path = std::getenv("SKEIN10_REGISTRY"); path && *path) return path;
  std::filesystem::path base;
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config) {
    base = config;
  } else {
    const char* home = std::getenv("HOME");
    base = std::filesystem::path(home ? home : "/") / ".config";
  }
  return base / "skein10" / "registry";
}

std::filesystem::path installedRegistryPath() {
  if (const char* path = std::getenv("SKEIN10_INSTALLED_REGISTRY")) return path;
  const auto runtime = moduleFileOf(reinterpret_cast<const void*>(&installedRegistryPath));
  return runtime.empty() ? std::filesystem::path() : runtime.parent_path() / "skein10" / "registry";
}

RegistrationStore::RegistrationStore(std::filesystem::path file) : file_(std::move(file)) {}

RegistrationStore::Entries RegistrationStore::read() const {
  std::ifstream in(file_);
  return in ? parse(in) : Entries();
}

void RegistrationStore::update(const std::function<void(Entries&)>& change) const {
  std::error_code ignored;
  if (file_.has_parent_path()) std::filesystem::create_directories(file_.parent_path(), ignored);
  const std::filesystem::path lockPath = file_.string() + ".lock";
  Fd lock(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
  if (lock.get() < 0) storeError(lockPath, "can't open");
  while (::flock(lock.get(), LOCK_EX) != 0)
    if (errno != EINTR) storeError(lockPath, "can't lock");

  Entries entries = read();
  change(entries);

  const std::filesystem::path temp = file_.string() + ".new." + std::to_string(::getpid());
  {
    Fd out(::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (out.get() < 0) storeError(temp, "can't create");
    writeAll(out.get(), format(entries), temp);
    if (::fsync(out.get()) != 0) storeError(temp, "can't flush");
  }
  if (::rename(temp.c_str(), file_.c_str()) != 0) {
    ::unlink(temp.c_str());
    storeError(file_, "can't replace");
  }
}

}  // namespace skein10
