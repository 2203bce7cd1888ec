#include "skein10/ErrorInfo.h"

namespace skein10 {
namespace {
thread_local std::optional<Error> tlsError;
}

void setErrorInfo(const Error& error) { tlsError = error; }
void clearErrorInfo() { tlsError.reset(); }
std::optional<Error> errorInfo() { return tlsError; }

}  // namespace skein10
