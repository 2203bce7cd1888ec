#pragma once
// The type library record: the library's classes, interfaces and
// enumerations as text, written from the classes' own type tables.

#include <string>

namespace skein10 {

// UTF-8 text, one declaration per line.
std::string typeLibraryText();

}  // namespace skein10
