#pragma once
// An error as the runtime knows it: a number, a source and a description,
// and the cause a host can act on (skein10/Failure.h).

#include <cstdint>
#include <exception>
#include <string>

#include "skein10/Failure.h"
#include "skein10/String.h"
#include "skein10/Export.h"

namespace skein10 {

// Numbers of the runtime's own errors.
namespace errc {
inline constexpr int32_t InvalidCall = 5;
inline constexpr int32_t Overflow = 6;
inline constexpr int32_t OutOfMemory = 7;
inline constexpr int32_t SubscriptOutOfRange = 9;
inline constexpr int32_t TypeMismatch = 13;
inline constexpr int32_t LoadLibraryFailed = 48;
inline constexpr int32_t InternalError = 51;
inline constexpr int32_t BadFileNumber = 52;
inline constexpr int32_t FileNotFound = 53;
inline constexpr int32_t BadFileMode = 54;
inline constexpr int32_t FileAlreadyOpen = 55;
inline constexpr int32_t DeviceIoError = 57;
inline constexpr int32_t DiskFull = 61;
inline constexpr int32_t InputPastEndOfFile = 62;
inline constexpr int32_t TooManyFiles = 67;
inline constexpr int32_t PermissionDenied = 70;
inline constexpr int32_t PathFileAccess = 75;
inline constexpr int32_t PathNotFound = 76;
inline constexpr int32_t ObjectNotSet = 91;
inline constexpr int32_t ResourceNotFound = 326;
inline constexpr int32_t CantCreateObject = 429;
inline constexpr int32_t EntryPointNotFound = 453;
inline constexpr int32_t MemberNotFound = 438;
inline constexpr int32_t WrongArguments = 450;
inline constexpr int32_t DuplicateKey = 457;
// An object's member called on a thread other than the one that created it.
inline constexpr int32_t WrongThread = 1001;
}  // namespace errc

// Source of the errors this library's runtime raises.
inline constexpr char16_t kRuntimeSource[] = u"skein10";

class SKEIN10_API Error : public std::exception {
 public:
  // The cause is derived from the number: the runtime's local file errors
  // are FailureKind::LocalFile, 1001 is WrongThread, anything else
  // Unclassified.
  Error(int32_t number, String source, String description);
  // An error whose raiser names its cause.
  Error(int32_t number, String source, String description, Failure failure);

  // A runtime error with its standard text.
  static Error runtime(int32_t number, String source = kRuntimeSource);
  // 326 "Resource with identifier 'N' not found".
  static Error resourceNotFound(int32_t id, String source = kRuntimeSource);

  int32_t number() const noexcept { return number_; }
  const String& source() const noexcept { return source_; }
  const String& description() const noexcept { return description_; }
  // Why the call failed, as far as a host acts on it.
  const Failure& failure() const noexcept { return failure_; }

  // "error NUMBER (SOURCE): DESCRIPTION" in UTF-8.
  const char* what() const noexcept override { return what_.c_str(); }

 private:
  int32_t number_;
  String source_;
  String description_;
  Failure failure_;
  std::string what_;
};

// The standard text of a runtime error number; "Application-defined or
// object-defined error" for numbers the runtime does not define.
SKEIN10_API String runtimeErrorText(int32_t number);

}  // namespace skein10
