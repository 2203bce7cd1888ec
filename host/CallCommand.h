#pragma once
// `skein10 call PROGID MEMBER [ARG...]`: a late-bound call from the command line.

#include <vector>

#include "host/CommandLine.h"
#include "skein10/Object.h"
#include "skein10/Variant.h"

namespace skein10::host {

// The words as the arguments of `member`: each converted to the type of the
// parameter at its position (for a Variant parameter, a whole number
// becomes a Long and anything else stays text); words beyond the parameters stay text (the
// call then fails with the member's wrong-number-of-arguments error).
std::vector<Variant> convertArguments(const Object& object, const String& member,
                                      const std::vector<std::string>& words);

int runCall(CommandLine& words);

}  // namespace skein10::host
