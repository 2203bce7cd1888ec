#pragma once
// The enumerations of the public surface (32-bit).

#include <cstdint>

namespace skein10 {

enum TransferModes : int32_t { ftp_BINARY = 0, ftp_ASCII = 1 };

enum ErrorReturns : int32_t { ERR_OK = 0, ERR_Returned = 1 };

// The runtime's picture kinds.
enum LoadResConstants : int32_t { resBitmap = 0, resIcon = 1, resCursor = 2 };

}  // namespace skein10
