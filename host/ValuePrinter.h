#pragma once
// How the host prints a value a member handed back.

#include <ostream>

#include "skein10/Variant.h"

namespace skein10::host {

// Empty prints nothing; a collection (an object with late-bound Count and
// Item) one item per line; a byte array as one line of hexadecimal; any
// other object as the name of its interface; an array one element per line;
// everything else as its text.
void printValue(const Variant& value, std::ostream& out);

}  // namespace skein10::host
