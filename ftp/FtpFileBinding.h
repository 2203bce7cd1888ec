#pragma once
// Binds a local file's number to the sink's ftpWriteFileNum for the length
// of a transfer, and puts 0 back on every way out.

#include <cstdint>

namespace skein10 {

class FtpFileBinding {
 public:
  FtpFileBinding(int16_t& field, int16_t number) : field_(field) { field_ = number; }
  ~FtpFileBinding() { field_ = 0; }
  FtpFileBinding(const FtpFileBinding&) = delete;
  FtpFileBinding& operator=(const FtpFileBinding&) = delete;

 private:
  int16_t& field_;
};

}  // namespace skein10
