#include "skein10/Error.h"

#include <algorithm>
#include <array>
#include <string>

namespace skein10 {
namespace {

// The runtime's errors of local files.
constexpr std::array<int32_t, 11> kLocalFileErrors{
    errc::BadFileNumber, errc::FileNotFound,       errc::BadFileMode,  errc::FileAlreadyOpen,
    errc::DeviceIoError, errc::DiskFull,           errc::InputPastEndOfFile, errc::TooManyFiles,
    errc::PermissionDenied, errc::PathFileAccess, errc::PathNotFound};

FailureKind kindOf(int32_t number) {
  if (std::find(kLocalFileErrors.begin(), kLocalFileErrors.end(), number) != kLocalFileErrors.end()) {
    return FailureKind::LocalFile;
  }
  return number == errc::WrongThread ? FailureKind::WrongThread : FailureKind::Unclassified;
}

}  // namespace

Error::Error(int32_t number, String source, String description)
    : Error(number, std::move(source), std::move(description), Failure{kindOf(number), {}, {}}) {}

Error::Error(int32_t number, String source, String description, Failure failure)
    : number_(number), source_(std::move(source)), description_(std::move(description)),
      failure_(std::move(failure)) {
  what_ = "error " + std::to_string(number_) + " (" + toUtf8(source_) + "): " + toUtf8(description_);
}

Error Error::runtime(int32_t number, String source) {
  return Error(number, std::move(source), runtimeErrorText(number));
}

Error Error::resourceNotFound(int32_t id, String source) {
  const std::string text = "Resource with identifier '" + std::to_string(id) + "' not found";
  return Error(errc::ResourceNotFound, std::move(source), fromUtf8(text));
}

String runtimeErrorText(int32_t number) {
  switch (number) {
    case errc::InvalidCall: return u"Invalid procedure call or argument";
    case errc::Overflow: return u"Overflow";
    case errc::OutOfMemory: return u"Out of memory";
    case errc::SubscriptOutOfRange: return u"Subscript out of range";
    case errc::TypeMismatch: return u"Type mismatch";
    case errc::LoadLibraryFailed: return u"Error in loading DLL";
    case errc::InternalError: return u"Internal error";
    case errc::BadFileNumber: return u"Bad file name or number";
    case errc::FileNotFound: return u"File not found";
    case errc::BadFileMode: return u"Bad file mode";
    case errc::FileAlreadyOpen: return u"File already open";
    case errc::DeviceIoError: return u"Device I/O error";
    case errc::DiskFull: return u"Disk full";
    case errc::InputPastEndOfFile: return u"Input past end of file";
    case errc::TooManyFiles: return u"Too many files";
    case errc::PermissionDenied: return u"Permission denied";
    case errc::PathFileAccess: return u"Path/File access error";
    case errc::PathNotFound: return u"Path not found";
    case errc::ObjectNotSet: return u"Object variable or With block variable not set";
    case errc::CantCreateObject: return u"Can't create object";
    case errc::EntryPointNotFound: return u"Can't find DLL entry point";
    case errc::MemberNotFound: return u"Object doesn't support this property or method";
    case errc::WrongArguments: return u"Wrong number of arguments or invalid property assignment";
    case errc::DuplicateKey: return u"This key is already associated with an element of this collection";
    case errc::WrongThread:
      return u"The object belongs to another thread: call its members only on the thread that created it";
    default: return u"Application-defined or object-defined error";
  }
}

}  // namespace skein10
