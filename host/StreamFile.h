#pragma once
// A transfer step whose local file is "-": standard input for put, standard
// output for ls and get. The session member works on a temporary file in
// its place: standard input is copied into it before an upload, and a
// listing or download is copied to standard output once it succeeded. The
// temporary file is removed when the object goes.

#include <filesystem>
#include <optional>

#include "host/FtpSteps.h"

namespace skein10::host {

class StreamFile {
 public:
  // For a step with "-" as its local file: the stand-in, with the step's
  // argument pointed at it. Throws Error 75 when standard input can't be read.
  static std::optional<StreamFile> standIn(FtpStep& step);

  ~StreamFile();
  StreamFile(StreamFile&& other) noexcept;
  StreamFile& operator=(StreamFile&&) = delete;

  // After a listing or download: copies the file to standard output; Error 75
  // when that fails.
  void deliver() const;

 private:
  StreamFile(std::filesystem::path file, Traffic traffic) : file_(std::move(file)), traffic_(traffic) {}

  std::filesystem::path file_;
  Traffic traffic_;
};

}  // namespace skein10::host
