#include "common/LibraryModule.h"

namespace skein10 {

ModuleUsage& libraryModule() {
  static ModuleUsage usage;
  return usage;
}

}  // namespace skein10
