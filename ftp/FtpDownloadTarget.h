#pragma once
// Where a listing or a download puts the received bytes, so that a failed
// transfer never costs the caller an existing file: a regular (or new) file
// is written beside the target, in a new file that only its owner may read
// or write, and renamed over it only when the transfer succeeded; anything
// else (a FIFO, a device) is written directly. The local
// file is bound to the sink's ftpWriteFileNum for the transfer and let go on
// every path.

#include <cstdint>
#include <filesystem>
#include <optional>

#include "ftp/FtpScopedValue.h"
#include "platform/files/NumberedFile.h"
#include "skein10/String.h"

namespace skein10 {

class FtpDownloadTarget {
 public:
  // Creates the file to write; its errors come before anything is sent.
  // `patience` bounds a wait for the reader of a FIFO target.
  FtpDownloadTarget(const String& localFileName, int16_t& fileNumberField, files::Patience patience);
  // Without commit(): closes and removes what was written beside the target.
  ~FtpDownloadTarget();
  FtpDownloadTarget(const FtpDownloadTarget&) = delete;
  FtpDownloadTarget& operator=(const FtpDownloadTarget&) = delete;

  // The transfer succeeded: the target gets the new content, with the
  // permission bits an existing target had (a new one gets 0666 less the
  // umask).
  void commit();

 private:
  void createBeside(files::Patience patience);

  std::filesystem::path target_;
  std::filesystem::path written_;  // the file being written: beside the target, or the target
  std::optional<files::NumberedFile> file_;
  std::optional<FtpScopedValue<int16_t>> binding_;
  bool committed_ = false;
};

}  // namespace skein10
