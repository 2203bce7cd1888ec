#pragma once
// A transfer whose local file is "-": standard input for put, standard
// output for ls and get. The session member works on a temporary file in
// its place: standard input is copied into it before an upload, and a
// listing or download is copied to standard output once it succeeded. The
// temporary file is removed when the object goes.

#include <optional>
#include <string>

#include "host/FtpSteps.h"
#include "host/TemporaryFile.h"

namespace skein10::host {

class StreamFile {
 public:
  // For a local file of "-": the stand-in, with `local` pointed at it.
  // Throws Error 75 when standard input can't be read.
  static std::optional<StreamFile> standIn(std::string& local, Traffic traffic);

  // After a listing or download: copies the file to standard output; Error
  // 75 "Failure writing output" when that fails (a closed pipe, a full disk).
  void deliver() const;

 private:
  explicit StreamFile(Traffic traffic) : traffic_(traffic) {}

  TemporaryFile file_;
  Traffic traffic_;
};

}  // namespace skein10::host
