#pragma once
// `skein10 about`: the library's about box.

#include "host/CommandLine.h"

namespace skein10::host {

int runAbout(CommandLine& words);

}  // namespace skein10::host
