#pragma once
// `skein10 cache has|add|remove URL` and `skein10 cache list`: the URL cache store.

#include "host/CommandLine.h"

namespace skein10::host {

int runCache(CommandLine& words);

}  // namespace skein10::host
