#pragma once
// Error 429 for a class that could not be created, with a description that
// says why, so that every host can show it as it is: the ProgID, the
// registration stores that were searched, and for a registered class why its
// library or factory failed.

#include <optional>

#include "skein10/Error.h"
#include "skein10/String.h"

namespace skein10 {

// `cause` is the error the creation ran into, if any.
Error creationError(StringView progId, const std::optional<Error>& cause);

}  // namespace skein10
