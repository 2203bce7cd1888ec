#pragma once
// Gives a field a value for the length of a scope and sets it to its resting
// value on every way out: the session's busy mark, the local file number a
// transfer binds to the sink.

namespace skein10 {

template <class T>
class FtpScopedValue {
 public:
  FtpScopedValue(T& field, T value, T resting) : field_(field), resting_(resting) { field_ = value; }
  ~FtpScopedValue() { field_ = resting_; }
  FtpScopedValue(const FtpScopedValue&) = delete;
  FtpScopedValue& operator=(const FtpScopedValue&) = delete;

 private:
  T& field_;
  T resting_;
};

}  // namespace skein10
