#pragma once
// The classes of the framework component, for registration by ProgID.

#include <vector>

#include "skein10/ClassRegistry.h"

// "KvMarrow10.clsKvcoreErrorHandlerA" and "KvMarrow10.clsKvMarrow10A" with
// their class identifiers and factories.
const std::vector<skein10::ClassEntry>& kvmarrow10Classes();

// Registers the component's classes in this process.
void registerKvMarrow10Classes();
