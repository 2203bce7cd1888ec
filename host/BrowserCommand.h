#pragma once
// `skein10 browser`: the current user's browser folders and cookie names.

#include "host/CommandLine.h"

namespace skein10::host {

int runBrowser(CommandLine& words);

}  // namespace skein10::host
